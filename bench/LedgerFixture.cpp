#include "bench/LedgerFixture.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {
namespace {

QString remark(QRandomGenerator &rng)
{
    static const char16_t *const parts[] = {u"午饭",          u"和同事聚餐",   u"超市购物：牛奶、面包、鸡蛋",
                                            u"地铁充值",      u"打车回家",     u"给孩子买书",
                                            u"交电费",        u"水费和燃气费", u"手机话费",
                                            u"周末看电影",    u"买菜",         u"给父母的红包",
                                            u"网购衣服",      u"年终奖",       u"项目奖金",
                                            u"报销差旅费",    u"基金分红",     u"朋友还钱",
                                            u"加油",          u"停车费",       u"物业费（第三季度）",
                                            u"感冒买药",      u"宽带续费一年", u"生日礼物 50%_off",
                                            u"早餐：豆浆油条"};
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

} // namespace

double medianMs(int repetitions, const std::function<void()> &work, const std::function<void()> &prepare)
{
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < repetitions; ++i) {
        if (prepare)
            prepare();
        timer.start();
        work();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

static void fillLedger(ht::clsADO &db, int records)
{
    std::vector<qint64> expense{1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::vector<qint64> income{10, 11, 12, 13, 14, 15};
    ht::Transaction t(db);
    for (const char16_t *name : {u"宠物", u"健身", u"孩子教育"})
        expense.push_back(db.insert(QStringLiteral("types"),
                                    {{QStringLiteral("typename"), QString::fromUtf16(name)},
                                     {QStringLiteral("class"), 0},
                                     {QStringLiteral("username"), user}}));
    income.push_back(db.insert(QStringLiteral("types"),
                               {{QStringLiteral("typename"), QStringLiteral("兼职")},
                                {QStringLiteral("class"), 1},
                                {QStringLiteral("username"), user}}));
    // Categories the user has since deleted.
    expense.push_back(901);
    income.push_back(902);

    struct Record {
        QString user;
        int style;
        qint64 typeId;
        QString postdate;
        double money;
        QString memo; // null for no remark
    };
    QRandomGenerator rng(20240305);
    const QDateTime end(QDate::currentDate(), QTime(23, 59, 59));
    // The default household keeps its ten years, so that its figures compare with earlier runs.
    const qint64 days = records == defaultRecords ? 3652 : 7305;
    const qint64 span = days * 86400;
    const int otherUsersRecords = records / 4;
    std::vector<Record> all;
    all.reserve(size_t(records + otherUsersRecords));
    const auto add = [&](const QString &who, int style) {
        const auto &types = style ? income : expense;
        const qint64 typeId = types[rng.bounded(int(types.size()))];
        const QString when = end.addSecs(-rng.bounded(span)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const qint64 cents = style ? 100000 + rng.bounded(2000000) : 100 + rng.bounded(200000);
        all.push_back({who, style, typeId, when, double(cents) / 100.0, remark(rng)});
    };
    for (int style : {0, 1})
        for (int i = 0; i < (style ? records - records / 2 : records / 2); ++i)
            add(user, style);
    for (int i = 0; i < otherUsersRecords; ++i)
        add(i % 2 ? QStringLiteral("alice") : QStringLiteral("老王"), int(rng.bounded(2)));
    std::stable_sort(all.begin(), all.end(), [](const Record &a, const Record &b) { return a.postdate < b.postdate; });
    const QString insert = QStringLiteral(
        "INSERT INTO [pursewicks]([username],[typeid],[postdate],[money],[style],[memo]) VALUES(?,?,?,?,?,?)");
    const bool showProgress = all.size() >= 500'000;
    for (size_t i = 0; i < all.size(); ++i) {
        const Record &r = all[i];
        db.execute(insert,
                   {r.user, r.typeId, r.postdate, r.money, r.style, r.memo.isNull() ? QVariant() : QVariant(r.memo)});
        if (showProgress && (i + 1) % 100'000 == 0)
            std::fprintf(stderr, "filled %zu of %zu records\n", i + 1, all.size());
    }
    t.commit();
}

// A program folder in dir holding a copy of the database file at source, with the user
// "bench" logged in.
static ht::clsADO &openStoreCopy(const QTemporaryDir &dir, const QString &source)
{
    ht::program::setDir(dir.path());
    const QString path = ht::program::pathIn(QStringLiteral("syslibs.dll"));
    if (!QFile::copy(source, path))
        qFatal("cannot copy %s to %s", qPrintable(source), qPrintable(path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    ht::program::session().userName = user;
    return ht::program::db();
}

bool householdOptions(const QCoreApplication &app, int &records, QString &keepDir)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption recordsOption(QStringLiteral("records"),
                                           QStringLiteral("Records of the measured user, half of each class."),
                                           QStringLiteral("N"), QString::number(defaultRecords));
    const QCommandLineOption keepOption(
        QStringLiteral("keep"), QStringLiteral("Folder keeping filled databases for later runs (or HT_BENCH_KEEP)."),
        QStringLiteral("DIR"), qEnvironmentVariable("HT_BENCH_KEEP"));
    parser.addOptions({recordsOption, keepOption});
    parser.process(app);
    bool ok = false;
    records = parser.value(recordsOption).toInt(&ok);
    keepDir = parser.value(keepOption);
    if (!ok || records < 2) {
        std::fprintf(stderr, "--records needs a count of at least 2\n");
        return false;
    }
    return true;
}

ht::clsADO &openShippedStore(const QTemporaryDir &dir)
{
    return openStoreCopy(dir, QStringLiteral(HT_TEMPLATE_DB));
}

// A kept database's name: its size, the household's version and the shipped database it
// was filled from, so that one filled before a change of either is never reused.
static QString keptName(int records)
{
    QFile shipped(QStringLiteral(HT_TEMPLATE_DB));
    if (!shipped.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", HT_TEMPLATE_DB);
    const QByteArray hash = QCryptographicHash::hash(shipped.readAll(), QCryptographicHash::Sha256).toHex().left(8);
    return QStringLiteral("ledger-%1-v%2-%3.db").arg(records).arg(fixtureVersion).arg(QLatin1String(hash));
}

ht::clsADO &openFilledStore(const QTemporaryDir &dir, QTextStream &out, int records, const QString &keepDir)
{
    const QString kept = keepDir.isEmpty() ? QString() : QDir(keepDir).filePath(keptName(records));
    if (!kept.isEmpty() && QFile::exists(kept)) {
        ht::clsADO &db = openStoreCopy(dir, kept);
        db.OpenDB();
        out << "reused " << kept << " (" << db.count(QStringLiteral("SELECT count(*) FROM [pursewicks]"))
            << " records; dates as on the day it was filled)" << Qt::endl;
        return db;
    }
    ht::clsADO &db = openShippedStore(dir);
    const QString path = db.dbDir();
    db.OpenDB();
    QElapsedTimer timer;
    timer.start();
    fillLedger(db, records);
    out << "created " << db.count(QStringLiteral("SELECT count(*) FROM [pursewicks]")) << " records in "
        << timer.elapsed() << " ms; file " << QFile(path).size() / (1024 * 1024) << " MB" << Qt::endl;
    if (!kept.isEmpty()) {
        // Copied whole and renamed into place, so that an interrupted run leaves nothing half kept.
        db.CloseDB();
        const QString part = kept + QStringLiteral(".part");
        QFile::remove(part);
        if (!QDir().mkpath(keepDir) || !QFile::copy(path, part) || !QFile::rename(part, kept))
            qFatal("cannot keep the filled database as %s", qPrintable(kept));
        out << "kept as " << kept << Qt::endl;
        db.OpenDB();
    }
    return db;
}

sqlite3 *plainCopy(ht::clsADO &db, const QString &path)
{
    // The store never creates files, so the copy starts as an empty file; an empty key
    // makes it unencrypted.
    QFile(path).open(QIODevice::WriteOnly);
    db.execute(QStringLiteral("ATTACH DATABASE ? AS plaintext KEY ?"), {path, QStringLiteral("")});
    db.execute(QStringLiteral("SELECT sqlcipher_export('plaintext')"));
    db.execute(QStringLiteral("DETACH DATABASE plaintext"));
    sqlite3 *plain = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(plain);
        return nullptr;
    }
    return plain;
}

qint64 rawList(sqlite3 *plain, int cls, const ht::SqlFilter &filter)
{
    const QByteArray sql = ("SELECT A.ID,A.postdate,B.typename,A.money,A.memo FROM [pursewicks] AS A "
                            "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.username=? AND A.style=?"
                            + filter.sql + " ORDER BY A.postdate ASC,A.ID ASC")
                               .toUtf8();
    sqlite3_stmt *stmt = nullptr;
    sqlite3_prepare_v2(plain, sql.constData(), -1, &stmt, nullptr);
    const QByteArray who = user.toUtf8();
    sqlite3_bind_text(stmt, 1, who.constData(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 2, cls);
    for (int i = 0; i < filter.values.size(); ++i) {
        const QVariant &v = filter.values.at(i);
        if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
            sqlite3_bind_int64(stmt, i + 3, v.toLongLong());
        } else {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(stmt, i + 3, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    qint64 sum = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        sum += sqlite3_column_int64(stmt, 0);
        for (int c : {1, 2, 4})
            sum += sqlite3_column_text(stmt, c) ? sqlite3_column_bytes(stmt, c) : 0;
        sum += qint64(sqlite3_column_double(stmt, 3));
    }
    sqlite3_finalize(stmt);
    return sum;
}

} // namespace bench
