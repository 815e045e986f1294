// Cost of the query dialog on a large encrypted store: a query by dates and memo text
// with both lists loaded (against the same statement on an unencrypted copy), a batch
// delete of half the records with both lists loaded, and filling the category boxes.
#include "bench/LedgerFixture.h"

#include "book/LedgerStore.h"
#include "book/QueryConditions.h"
#include "book/RecordStore.h"

#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlcipher/sqlite3.h>

namespace {

constexpr int repetitions = 5;
constexpr int userCategories = 1'000;
const QString &user = bench::user;

double median(const std::function<void()> &work, const std::function<void()> &prepare = {})
{
    return bench::medianMs(repetitions, work, prepare);
}

void addCategories(ht::clsADO &db)
{
    ht::Transaction t(db);
    for (int i = 0; i < userCategories; ++i)
        db.insert(QStringLiteral("types"),
                  {{QStringLiteral("typename"), QStringLiteral("类别%1").arg(i)},
                   {QStringLiteral("class"), i % 2},
                   {QStringLiteral("username"), user}});
    for (int i = 0; i < 200; ++i)
        db.insert(QStringLiteral("types"),
                  {{QStringLiteral("typename"), QStringLiteral("别人的%1").arg(i)},
                   {QStringLiteral("class"), i % 2},
                   {QStringLiteral("username"), QStringLiteral("alice")}});
    t.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    ht::clsADO &db = bench::openFilledStore(dir, out);
    const QString path = db.dbDir();
    addCategories(db);

    // The last year's lunches.
    ht::SearchConditions query;
    query.byDate = true;
    query.from = QDate::currentDate().addYears(-1);
    query.to = QDate::currentDate();
    query.byMemo = true;
    query.memo = QStringLiteral("午饭");
    const ht::SqlFilter filter = ht::QueryConditions::forQuery(query).filter;
    size_t found = 0;
    const double queryMs = median([&] {
        found = ht::LedgerStore::load(db, user, 1, filter).size() + ht::LedgerStore::load(db, user, 0, filter).size();
    });

    sqlite3 *plain = bench::plainCopy(db, dir.filePath(QStringLiteral("plain.db")));
    if (!plain) {
        out << "cannot open the plain copy\n";
        return 1;
    }
    qint64 check = 0;
    const double rawMs = median([&] { check = bench::rawList(plain, 1, filter) + bench::rawList(plain, 0, filter); });
    sqlite3_close_v2(plain);
    out << "query_ms=" << QString::number(queryMs, 'f', 2) << " (" << found << " rows)" << Qt::endl;
    out << "query_raw_ms=" << QString::number(rawMs, 'f', 2) << " (unencrypted copy, checksum " << check << ")"
        << Qt::endl;
    out << "query_ratio=" << QString::number(queryMs / rawMs, 'f', 2) << Qt::endl;

    const double typesMs = median([&] {
        found = ht::RecordStore::categories(db, user, 1).size() + ht::RecordStore::categories(db, user, 0).size();
    });
    out << "types_load_ms=" << QString::number(typesMs, 'f', 2) << " (" << found << " categories)" << Qt::endl;

    // Everything before the middle day of the user's records: about half of them.
    ht::SearchConditions older;
    older.byDate = true;
    older.from = QDate(1990, 1, 1);
    {
        ht::Query q = db.query(QStringLiteral("SELECT substr(postdate,1,10) FROM [pursewicks] WHERE username=? "
                                              "ORDER BY postdate LIMIT 1 OFFSET ?"),
                               {user, bench::perClass});
        q.next();
        older.to = QDate::fromString(q.text(0), Qt::ISODate).addDays(-1);
    }
    const ht::SqlFilter doomed = ht::QueryConditions::forDelete(older);
    db.CloseDB();
    const QString pristine = dir.filePath(QStringLiteral("pristine.dll"));
    QFile::copy(path, pristine);
    qint64 deleted = 0;
    size_t left = 0;
    const double deleteMs = median(
        [&] {
        deleted = ht::QueryConditions::countPicked(db, user, doomed);
        ht::QueryConditions::deletePicked(db, user, doomed);
        left = ht::LedgerStore::load(db, user, 1, {}).size() + ht::LedgerStore::load(db, user, 0, {}).size();
        },
        [&] {
        db.CloseDB();
        QFile::remove(path);
        QFile::copy(pristine, path);
        db.OpenDB();
    });
    db.CloseDB();
    out << "batch_delete_ms=" << QString::number(deleteMs, 'f', 1) << " (" << deleted << " deleted, " << left
        << " rows loaded after)" << Qt::endl;
    return 0;
}
