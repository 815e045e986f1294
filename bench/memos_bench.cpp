// Cost of the memo window on 100,000 notes of the user among 150,000: opening it (the
// first page), the last page, and a quick search for a word over all the user's notes,
// beside the same search statements on an unencrypted copy.
#include "bench/LedgerFixture.h"

#include "memos/frmMemoNote.h"

#include "book/MemoStore.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextStream>
#include <sqlcipher/sqlite3.h>

namespace {

constexpr int ownNotes = 100'000;
constexpr int otherNotes = 50'000;
using bench::user;
const QString word = QStringLiteral("体检");

void fill(ht::clsADO &db)
{
    static const char16_t *const topics[] = {u"买菜", u"交电费", u"接孩子", u"还信用卡", u"体检", u"家长会", u"修水管"};
    ht::Connection c(db);
    ht::Transaction t(db);
    const QDateTime start(QDate(2016, 1, 1), QTime(8, 0));
    for (int i = 0; i < ownNotes + otherNotes; ++i) {
        const QString topic = QString::fromUtf16(topics[(i * 7 + i / 3) % 7]);
        db.insert(
            QStringLiteral("MyNotes"),
            {{QStringLiteral("username"), i % 3 == 2 ? QStringLiteral("other") : user},
             {QStringLiteral("noteDateTime"), start.addSecs(qint64(i) * 2100)},
             {QStringLiteral("noteContent"), QStringLiteral("记得%1，第%2件事，别忘了带上东西。").arg(topic).arg(i)},
             {QStringLiteral("fontName"), QStringLiteral("N/A")}});
    }
    t.commit();
}

// The count and the first page of the search, as the store runs them, on the plain copy.
qint64 rawSearch(sqlite3 *plain, const ht::SqlFilter &condition)
{
    qint64 sum = 0;
    const QString statements[] = {QStringLiteral("SELECT COUNT(*) FROM [MyNotes] WHERE +username=?") + condition.sql,
                                  QStringLiteral("SELECT ID,noteDateTime,noteContent FROM [MyNotes] WHERE username=?")
                                      + condition.sql + QStringLiteral(" ORDER BY noteDateTime DESC,ID DESC LIMIT 30")};
    for (const QString &statement : statements) {
        const QByteArray sql = statement.toUtf8();
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(plain, sql.constData(), -1, &stmt, nullptr);
        const QByteArray who = user.toUtf8();
        const QByteArray pattern = condition.values.value(0).toString().toUtf8();
        sqlite3_bind_text(stmt, 1, who.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(stmt, 2, pattern.constData(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            sum += sqlite3_column_int64(stmt, 0) + sqlite3_column_bytes(stmt, 2);
        sqlite3_finalize(stmt);
    }
    return sum;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ht::clsADO &db = bench::openShippedStore(dir);
    fill(db);
    QTextStream out(stdout);

    QString shown;
    const double firstMs = bench::medianMs(7, [&] {
        ht::frmMemoNote window;
        shown = window.statusPanel1->text();
    });
    out << "memo_first_page_ms=" << QString::number(firstMs, 'f', 2) << " (" << shown << ")" << Qt::endl;

    ht::frmMemoNote window;
    const qint32 last = (ownNotes + ht::MemoStore::pageSize - 1) / ht::MemoStore::pageSize;
    const double lastMs = bench::medianMs(7, [&] { window.memoList({}, last); });
    out << "memo_last_page_ms=" << QString::number(lastMs, 'f', 2) << " (" << window.statusPanel1->text() << ")"
        << Qt::endl;

    const ht::SqlFilter search = ht::MemoStore::quickSearch(word);
    const double searchMs = bench::medianMs(7, [&] { window.memoList(search, 1); });
    out << "memo_search_ms=" << QString::number(searchMs, 'f', 2) << " (" << window.statusPanel1->text() << ")"
        << Qt::endl;

    sqlite3 *plain = [&] {
        ht::Connection c(db);
        return bench::plainCopy(db, dir.filePath(QStringLiteral("plain.db")));
    }();
    if (!plain) {
        out << "cannot make the unencrypted copy\n";
        return 1;
    }
    qint64 check = 0;
    const double floorMs = bench::medianMs(7, [&] { check = rawSearch(plain, search); });
    sqlite3_close_v2(plain);
    out << "memo_search_floor_ms=" << QString::number(floorMs, 'f', 2) << " (unencrypted copy, engine only)"
        << Qt::endl;
    out << "memo_search_ratio=" << QString::number(searchMs / floorMs, 'f', 2) << Qt::endl;
    return check > 0 ? 0 : 1;
}
