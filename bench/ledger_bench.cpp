// Cost of filling a ledger list from a large encrypted store, against the floor of
// reading the same rows from an unencrypted copy, and the memory two full lists hold.
#include "ledger/LedgerStore.h"
#include "ledger/RecordStore.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int repetitions = 7;
constexpr int perClass = 100'000;
constexpr int otherUsersRecords = 50'000;
const char *const loadSql = "SELECT A.ID,A.postdate,B.typename,A.money,A.memo FROM [pursewicks] AS A "
                            "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.username=? AND A.style=?"
                            " ORDER BY A.postdate ASC,A.ID ASC";

struct Record {
    QString user;
    int style;
    qint64 typeId;
    QString postdate;
    double money;
    QString memo; // null for no remark
};

double median(const std::function<void()> &work)
{
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < repetitions; ++i) {
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

QString remark(QRandomGenerator &rng)
{
    static const char16_t *const parts[] = {
        u"午饭", u"和同事聚餐", u"超市购物：牛奶、面包、鸡蛋", u"地铁充值", u"打车回家", u"给孩子买书",
        u"交电费", u"水费和燃气费", u"手机话费", u"周末看电影", u"买菜", u"给父母的红包", u"网购衣服",
        u"年终奖", u"项目奖金", u"报销差旅费", u"基金分红", u"朋友还钱", u"加油", u"停车费",
        u"物业费（第三季度）", u"感冒买药", u"宽带续费一年", u"生日礼物", u"早餐：豆浆油条"};
    const int kind = int(rng.bounded(100));
    if (kind < 12)
        return {};
    if (kind < 15)
        return QStringLiteral(""); // an empty text rather than none
    QString s;
    const int n = 1 + int(rng.bounded(3));
    for (int i = 0; i < n; ++i) {
        if (i)
            s += u'，';
        s += QString::fromUtf16(parts[rng.bounded(int(std::size(parts)))]);
    }
    if (rng.bounded(10) == 0)
        s += QStringLiteral("。备注：这笔需要月底再核对一下金额是否正确，发票已经放在抽屉里");
    return s;
}

std::vector<Record> makeRecords(const std::vector<qint64> &expenseTypes, const std::vector<qint64> &incomeTypes)
{
    QRandomGenerator rng(20240305);
    const QDateTime end(QDate::currentDate(), QTime(23, 59, 59));
    const qint64 span = qint64(3652) * 86400; // ten years back from tonight
    std::vector<Record> out;
    const auto add = [&](const QString &user, int style) {
        const auto &types = style ? incomeTypes : expenseTypes;
        const qint64 typeId = types[rng.bounded(int(types.size()))];
        const QString when = end.addSecs(-rng.bounded(span)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const qint64 cents = style ? 100000 + rng.bounded(2000000) : 100 + rng.bounded(200000);
        out.push_back({user, style, typeId, when, double(cents) / 100.0, remark(rng)});
    };
    for (int style : {0, 1})
        for (int i = 0; i < perClass; ++i)
            add(QStringLiteral("bench"), style);
    for (int i = 0; i < otherUsersRecords; ++i)
        add(i % 2 ? QStringLiteral("alice") : QStringLiteral("老王"), int(rng.bounded(2)));
    // Records are entered roughly as the days go by, so the file holds them in date order.
    std::stable_sort(out.begin(), out.end(), [](const Record &a, const Record &b) { return a.postdate < b.postdate; });
    return out;
}

void fill(ht::clsADO &db)
{
    std::vector<qint64> expense{1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<qint64> income{10, 11, 12, 13, 14, 15};
    ht::Transaction t(db);
    for (const char16_t *name : {u"宠物", u"健身", u"孩子教育"})
        expense.push_back(db.insert(QStringLiteral("types"), {{QStringLiteral("typename"), QString::fromUtf16(name)},
                                                              {QStringLiteral("class"), 0},
                                                              {QStringLiteral("username"), QStringLiteral("bench")}}));
    income.push_back(db.insert(QStringLiteral("types"), {{QStringLiteral("typename"), QStringLiteral("兼职")},
                                                         {QStringLiteral("class"), 1},
                                                         {QStringLiteral("username"), QStringLiteral("bench")}}));
    // Categories the user has since deleted.
    expense.push_back(901);
    income.push_back(902);

    const QString insert = QStringLiteral(
        "INSERT INTO [pursewicks]([username],[typeid],[postdate],[money],[style],[memo]) VALUES(?,?,?,?,?,?)");
    for (const Record &r : makeRecords(expense, income))
        db.execute(insert, {r.user, r.typeId, r.postdate, r.money, r.style,
                            r.memo.isNull() ? QVariant() : QVariant(r.memo)});
    t.commit();
}

// Steps the ledger query on an unencrypted file and touches every column.
qint64 rawRead(sqlite3 *plain)
{
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(plain, loadSql, -1, &stmt, nullptr);
    sqlite3_bind_text(stmt, 1, "bench", -1, SQLITE_STATIC);
    sqlite3_bind_int(stmt, 2, 0);
    qint64 sum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sum += sqlite3_column_int64(stmt, 0);
        sum += sqlite3_column_text(stmt, 1) ? sqlite3_column_bytes(stmt, 1) : 0;
        sum += sqlite3_column_text(stmt, 2) ? sqlite3_column_bytes(stmt, 2) : 0;
        sum += qint64(sqlite3_column_double(stmt, 3));
        sum += sqlite3_column_text(stmt, 4) ? sqlite3_column_bytes(stmt, 4) : 0;
    }
    sqlite3_finalize(stmt);
    return sum;
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
    QTextStream out(stdout);
    QTemporaryDir dir;
    ht::program::setDir(dir.path());
    const QString path = ht::program::pathIn(QStringLiteral("syslibs.dll"));
    if (!QFile::copy(QStringLiteral(HT_TEMPLATE_DB), path)) {
        out << "cannot copy the template database\n";
        return 1;
    }
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    ht::clsADO &db = ht::program::db();
    ht::Connection connection(db);

    QElapsedTimer timer;
    timer.start();
    fill(db);
    out << "created " << db.count(QStringLiteral("SELECT count(*) FROM [pursewicks]")) << " records in "
        << timer.elapsed() << " ms; file " << QFile(path).size() / (1024 * 1024) << " MB" << Qt::endl;

    const QString user = QStringLiteral("bench");
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

    const QString plainPath = dir.filePath(QStringLiteral("plain.db"));
    // The store never creates files, so the copy starts as an empty file; an empty
    // key makes it unencrypted.
    QFile(plainPath).open(QIODevice::WriteOnly);
    db.execute(QStringLiteral("ATTACH DATABASE ? AS plaintext KEY ?"), {plainPath, QStringLiteral("")});
    db.execute(QStringLiteral("SELECT sqlcipher_export('plaintext')"));
    db.execute(QStringLiteral("DETACH DATABASE plaintext"));
    sqlite3 *plain = nullptr;
    if (sqlite3_open_v2(plainPath.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        out << "cannot open the plain copy\n";
        return 1;
    }
    qint64 check = 0;
    const double rawAll = median([&] { check = rawRead(plain); });
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
    out << "add_reload_ms=" << QString::number(addReload, 'f', 2) << " change_reload_ms="
        << QString::number(changeReload, 'f', 2) << " delete_reload_ms=" << QString::number(deleteReload, 'f', 2)
        << " add_sorted_by_remark_ms=" << QString::number(addSortedReload, 'f', 2) << " (" << model.rowCount()
        << " rows after; total moved from " << before.text() << " to " << model.total().text() << ")" << Qt::endl;
    model.setSortState(false, 0, Qt::AscendingOrder);

    ht::LedgerModel incomeModel;
    ht::LedgerStore::loadInto(model, db, user, 0, {});
    ht::LedgerStore::loadInto(incomeModel, db, user, 1, {});
    const double rss = residentMb();
    out << "rss_mb=" << rss << " (" << model.rowCount() << " + " << incomeModel.rowCount() << " rows held)" << Qt::endl;

    out << "load_all_ms=" << QString::number(loadAll, 'f', 1) << " raw_all_ms=" << QString::number(rawAll, 'f', 1)
        << " ratio=" << QString::number(loadAll / rawAll, 'f', 2) << " load_month_ms=" << QString::number(loadMonth, 'f', 2)
        << " rss_mb=" << QString::number(rss, 'f', 1) << Qt::endl;
    return 0;
}
