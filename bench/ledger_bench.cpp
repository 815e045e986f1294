// Cost of filling a ledger list from a large encrypted store, against the floor of
// reading the same rows from an unencrypted copy, and the memory two full lists hold.
#include "bench/LedgerFixture.h"

#include "ledger/LedgerLoad.h"

#include "book/RecordStore.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlcipher/sqlite3.h>

#include <functional>
#include <vector>

namespace {

constexpr int repetitions = 7;
const QString &user = bench::user;

double median(const std::function<void()> &work)
{
    return bench::medianMs(repetitions, work);
}

double residentMb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QTextStream out(stdout);
    ht::clsADO &db = bench::openFilledStore(dir, out);
    QElapsedTimer timer;

    ht::LedgerModel model;
    int rows = 0;
    const auto loadPeriod = [&](int button) {
        return median([&] {
            ht::LedgerStore::loadInto(model, db, user, 0, ht::periodFilter(button, QDate::currentDate()));
            rows = model.rowCount();
        });
    };
    const double loadAll = loadPeriod(1);
    out << "load_all_ms=" << loadAll << " (" << rows << " rows, total " << model.total().text() << ")" << Qt::endl;
    const double loadYear = loadPeriod(2);
    out << "load_year_ms=" << loadYear << " (" << rows << " rows)" << Qt::endl;
    const double loadMonth = loadPeriod(3);
    out << "load_month_ms=" << loadMonth << " (" << rows << " rows)" << Qt::endl;

    sqlite3 *plain = bench::plainCopy(db, dir.filePath(QStringLiteral("plain.db")));
    if (!plain) {
        out << "cannot open the plain copy\n";
        return 1;
    }
    qint64 check = 0;
    const double rawAll = median([&] { check = bench::rawList(plain, 0); });
    sqlite3_close_v2(plain);
    out << "raw_all_ms=" << rawAll << " (unencrypted copy, checksum " << check << ")" << Qt::endl;

    // Sorting a full list by each column, once each.
    model.setRows(ht::LedgerStore::load(db, user, 0, {}));
    for (int column = 0; column < 4; ++column) {
        timer.restart();
        model.sort(column, Qt::DescendingOrder);
        out << "sort_column" << column << "_ms=" << double(timer.nsecsElapsed()) / 1e6 << Qt::endl;
    }
    model.setSortState(false, 0, Qt::AscendingOrder);

    // What the record dialog and the delete command do: one record saved or deleted, then
    // just its row of the 100,000-row list brought up to date.
    ht::LedgerStore::loadInto(model, db, user, 0, {});
    const ht::Money before = model.total();
    ht::Record added;
    added.style = 0;
    added.amount = ht::Money::fromCents(1250);
    added.memo = QStringLiteral("午饭");
    std::vector<qint64> addedIds;
    const auto saveAndRefresh = [&](ht::Record r) {
        const qint64 id = ht::RecordStore::save(db, user, r, 1);
        ht::LedgerStore::refreshRecord(model, db, user, 0, {}, id);
        return id;
    };
    const double addReload = median([&] {
        added.id = 0;
        added.postdate = QDateTime::currentDateTime();
        addedIds.push_back(saveAndRefresh(added));
    });
    const double changeReload = median([&] {
        added.id = addedIds[addedIds.size() / 2];
        added.amount = added.amount + ht::Money::fromCents(100);
        added.postdate = added.postdate.addDays(-400); // moves far up the list
        saveAndRefresh(added);
    });
    const double deleteReload = median([&] {
        const qint64 id = addedIds.back();
        addedIds.pop_back();
        ht::RecordStore::remove(db, user, id);
        ht::LedgerStore::refreshRecord(model, db, user, 0, {}, id);
    });
    model.sort(3, Qt::DescendingOrder);
    const double addSortedReload = median([&] {
        added.id = 0;
        addedIds.push_back(saveAndRefresh(added));
    });
    out << "add_reload_ms=" << QString::number(addReload, 'f', 2)
        << " change_reload_ms=" << QString::number(changeReload, 'f', 2)
        << " delete_reload_ms=" << QString::number(deleteReload, 'f', 2)
        << " add_sorted_by_remark_ms=" << QString::number(addSortedReload, 'f', 2) << " (" << model.rowCount()
        << " rows after; total moved from " << before.text() << " to " << model.total().text() << ")" << Qt::endl;
    model.setSortState(false, 0, Qt::AscendingOrder);

    ht::LedgerModel incomeModel;
    ht::LedgerStore::loadInto(model, db, user, 0, {});
    ht::LedgerStore::loadInto(incomeModel, db, user, 1, {});
    const double rss = residentMb();
    out << "rss_mb=" << rss << " (" << model.rowCount() << " + " << incomeModel.rowCount() << " rows held)" << Qt::endl;

    out << "load_all_ms=" << QString::number(loadAll, 'f', 1) << " raw_all_ms=" << QString::number(rawAll, 'f', 1)
        << " ratio=" << QString::number(loadAll / rawAll, 'f', 2)
        << " load_month_ms=" << QString::number(loadMonth, 'f', 2) << " rss_mb=" << QString::number(rss, 'f', 1)
        << Qt::endl;
    return 0;
}
