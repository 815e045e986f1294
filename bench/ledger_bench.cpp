// Cost of filling a ledger list from a large encrypted store, against the floor of
// reading the same rows from an unencrypted copy, and the memory two full lists hold;
// and what a user waits for on a list shown under "全部": its first rows, its total,
// the End key and a sort.
#include "bench/LedgerFixture.h"

#include "ledger/LedgerLoad.h"

#include "book/QueryConditions.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeView>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Fewer at a million records, so that a run stays within a few minutes.
int repetitions = 7;
// Rows a tall window shows at once.
constexpr int screenful = 40;
const QString &user = bench::user;

double median(const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    return bench::medianMs(repetitions, work, prepare);
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

// Display texts of a run of rows, as a view painting them asks for them; a checksum.
qint64 readRows(const ht::LedgerModel &model, int first, int count)
{
    qint64 sum = 0;
    for (int r = first; r < std::min(first + count, model.rowCount()); ++r)
        for (int c = 0; c < model.columnCount(); ++c)
            sum += model.data(model.index(r, c)).toString().size();
    return sum;
}

// A list that fills after its loader returns is waited for; today's fills before.
void untilFilled(const ht::LedgerModel &model)
{
    const QDeadlineTimer deadline(60'000);
    while (model.rowCount() == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A key pressed in the list and the rows then in view painted.
void press(QTreeView &view, Qt::Key key)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
    view.viewport()->repaint();
}

// The expense list switched to "全部" the way the window does it: from this month's
// rows, through the window's loader, shown in a view set up as the window's lists.
// Prints each figure; returns them on one line.
QString measureShownList(QTextStream &out)
{
    const QDate today = ht::program::today();
    const ht::SqlFilter all = ht::periodFilter(1, today);
    ht::LedgerModel model;
    const auto load = [&] { ht::LoadLedgerList(model, 0, all, nullptr); };
    const auto thisMonth = [&] { ht::LoadLedgerList(model, 0, ht::periodFilter(3, today), nullptr); };

    qint64 check = 0;
    const double firstRows = median(
        [&] {
        load();
        untilFilled(model);
        check = readRows(model, 0, screenful);
        },
        thisMonth);
    out << "all_first_rows_ms=" << firstRows << " (" << model.rowCount() << " rows, first " << screenful
        << " read, checksum " << check << ")" << Qt::endl;
    ht::Money total;
    const double totalAll = median(
        [&] {
        load();
        total = model.total();
        },
        thisMonth);
    out << "total_all_ms=" << totalAll << " (total " << total.text() << ")" << Qt::endl;

    QTreeView view;
    view.setRootIsDecorated(false);
    view.setItemsExpandable(false);
    view.setUniformRowHeights(true);
    view.setAllColumnsShowFocus(true);
    view.setAlternatingRowColors(true);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.resize(800, 900);
    view.setModel(&model);
    view.show();
    load();
    QCoreApplication::processEvents(); // laid out and painted before the user presses a key
    const double end = median([&] { press(view, Qt::Key_End); }, [&] { press(view, Qt::Key_Home); });
    out << "all_end_ms=" << end << " (row " << view.currentIndex().row() + 1 << " of " << model.rowCount()
        << " current)" << Qt::endl;

    // As a header click: the model sorts itself, the view keeps its current row and repaints.
    const auto sortBy = [&](int column) {
        return median(
            [&] {
            model.setSortState(true, column, Qt::AscendingOrder);
            view.viewport()->repaint();
            },
            [&] {
            model.setSortState(false, 0, Qt::AscendingOrder);
            press(view, Qt::Key_Home);
        });
    };
    const double sortAmount = sortBy(2);
    const double sortRemark = sortBy(3);
    out << "sort_amount_ms=" << sortAmount << " sort_remark_ms=" << sortRemark << Qt::endl;

    return QStringLiteral("all_first_rows_ms=%1 all_end_ms=%2 sort_amount_ms=%3 sort_remark_ms=%4 total_all_ms=%5")
        .arg(QString::number(firstRows, 'f', 1), QString::number(end, 'f', 1), QString::number(sortAmount, 'f', 1),
             QString::number(sortRemark, 'f', 1), QString::number(totalAll, 'f', 1));
}

// What the paged lists will read: counts and totals, a page at either end and in a sorted
// order, the every-256th-row keys, and the upgrade an older database needs once.
// Prints each figure; returns them on one line.
QString measureDataSide(ht::clsADO &db, QTextStream &out)
{
    namespace store = ht::LedgerStore;
    constexpr int pageRows = 200;
    const auto drop = [&] {
        for (const char *object :
             {"INDEX pursewicks_owner_class_day", "INDEX pursewicks_owner_class_amount",
              "INDEX pursewicks_owner_class_memo", "TRIGGER pursewicks_days_insert", "TRIGGER pursewicks_days_delete",
              "TRIGGER pursewicks_days_update", "TABLE pursewicksDays"})
            db.execute(QStringLiteral("DROP ") + QString::fromLatin1(object));
    };
    // An upgrade builds every index afresh; once is enough even at a million records.
    drop();
    QElapsedTimer timer;
    timer.start();
    QStringList steps; // when each step ended
    store::upgrade(db, [&](int, int) { return steps << QString::number(timer.elapsed()), true; });
    const double upgrade = double(timer.nsecsElapsed()) / 1e6;
    out << "upgrade_ms=" << upgrade << " (steps ended at " << steps.join(QLatin1Char(',')) << " ms)" << Qt::endl;

    ht::LedgerSummary sum;
    const double summaryAll = median([&] { sum = store::summary(db, user, 0, {}); });
    // The same by one summing query, as any filter other than a period is summed.
    const ht::SqlFilter notAPeriod{QStringLiteral(" AND A.ID>?"), {0}};
    ht::LedgerSummary queried;
    const double summaryQuery = median([&] { queried = store::summary(db, user, 0, notAPeriod); });
    out << "summary_all_ms=" << summaryAll << " summary_query_ms=" << summaryQuery << " (" << sum.rows
        << " rows, total " << sum.total.text() << (sum.total == queried.total ? ", equal" : ", DIFFERENT") << ")"
        << Qt::endl;

    const auto pageMs = [&](ht::LedgerOrder order, bool backward) {
        size_t rows = 0;
        const double ms = median(
            [&] { rows = store::page(db, user, 0, {}, order, {}, pageRows, backward).rows.size(); });
        return rows == pageRows ? ms : -1;
    };
    const double first = pageMs({}, false);
    const double last = pageMs({}, true);
    const double amount = pageMs({2, true}, false);
    const double remark = pageMs({3, false}, false);
    const double remarkLast = pageMs({3, true}, true);
    out << "page_first_ms=" << first << " page_last_ms=" << last << " page_sorted_amount_ms=" << amount
        << " page_sorted_remark_ms=" << remark << " page_sorted_remark_last_ms=" << remarkLast << " (" << pageRows
        << " rows a page; -1 for a short page)" << Qt::endl;

    std::vector<ht::LedgerKey> keys;
    const double positions = median([&] { keys = store::positions(db, user, 0, {}, {}, 256); });
    const double positionsRemark = median([&] { keys = store::positions(db, user, 0, {}, {3, true}, 256); });
    out << "position_index_ms=" << positions << " position_index_remark_ms=" << positionsRemark << " (" << keys.size()
        << " keys)" << Qt::endl;

    return QStringLiteral("summary_all_ms=%1 page_first_ms=%2 page_last_ms=%3 page_sorted_remark_ms=%4 "
                          "position_index_ms=%5 upgrade_ms=%6")
        .arg(QString::number(summaryAll, 'f', 2), QString::number(first, 'f', 2), QString::number(last, 'f', 2),
             QString::number(remark, 'f', 2), QString::number(positions, 'f', 1), QString::number(upgrade, 'f', 0));
}

// A batch delete of up to 100,000 records into the bin and their restore, and the totals
// while they wait there, which must not read them.
QString measureBin(ht::clsADO &db, QTextStream &out, int records)
{
    namespace bin = ht::RecycleBin;
    const int n = std::min(records, 100'000);
    const qint64 last = db.count(QStringLiteral("SELECT ID FROM [pursewicks] WHERE username=? ORDER BY ID LIMIT 1 "
                                                "OFFSET ?"),
                                 {user, n - 1});
    const ht::SqlFilter picked{QStringLiteral(" AND A.ID<=?"), {last}};
    bin::eraseAll(db, user);
    const ht::LedgerSummary before = ht::LedgerStore::summary(db, user, 0, {});
    qint64 moved = 0;
    int restored = 0;
    const auto remove = [&] { moved = ht::QueryConditions::deletePicked(db, user, picked); };
    const auto restore = [&] {
        for (const bin::Entry &e : bin::entries(db, user))
            restored = bin::restore(db, user, e.id)->records;
    };
    const double deleteMs = bench::medianMs(3, remove, restore);
    ht::LedgerSummary held;
    const double summaryHeld = median([&] { held = ht::LedgerStore::summary(db, user, 0, {}); });
    const double restoreMs = bench::medianMs(3, restore, [&] {
        if (bin::entries(db, user).isEmpty())
            remove();
    });
    const bool same = ht::LedgerStore::summary(db, user, 0, {}).total == before.total;
    out << "batch_delete_ms=" << deleteMs << " restore_batch_ms=" << restoreMs << " summary_all_bin_ms=" << summaryHeld
        << " (" << moved << " moved, " << restored << " restored, " << held.rows << " rows left; totals "
        << (same ? "equal" : "DIFFERENT") << " after)" << Qt::endl;
    return QStringLiteral("batch_delete_ms=%1 restore_batch_ms=%2")
        .arg(QString::number(deleteMs, 'f', 1), QString::number(restoreMs, 'f', 1));
}

} // namespace

int main(int argc, char **argv)
{
    // The shown list needs a view; no screen is needed to paint it.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int records = 0;
    QString keepDir;
    if (!bench::householdOptions(app, records, keepDir))
        return 2;
    if (records >= 500'000)
        repetitions = 3;

    QTemporaryDir dir;
    QTextStream out(stdout);
    out << "records=" << records << " repetitions=" << repetitions << Qt::endl;
    ht::clsADO &db = bench::openFilledStore(dir, out, records, keepDir);
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
    // just its row of the full list brought up to date.
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
    // Both lists settled and what the runs before left on the heap given back, as the
    // program's lists give theirs back once their page keys are in.
    model.settle();
    incomeModel.settle();
    ht::trimWorkingSet();
    const double rss = residentMb();
    out << "rss_mb=" << rss << " (" << model.rowCount() << " + " << incomeModel.rowCount() << " rows held)" << Qt::endl;
    model.setRows({});
    incomeModel.setRows({});

    const QString shownSummary = measureShownList(out);
    const QString dataSummary = measureDataSide(db, out);
    const QString binSummary = measureBin(db, out, records);

    out << "load_all_ms=" << QString::number(loadAll, 'f', 1) << " raw_all_ms=" << QString::number(rawAll, 'f', 1)
        << " ratio=" << QString::number(loadAll / rawAll, 'f', 2)
        << " load_month_ms=" << QString::number(loadMonth, 'f', 2) << " rss_mb=" << QString::number(rss, 'f', 1)
        << Qt::endl;
    out << shownSummary << Qt::endl;
    out << dataSummary << Qt::endl;
    out << binSummary << Qt::endl;
    return 0;
}
