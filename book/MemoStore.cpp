#include "book/MemoStore.h"

#include "book/Changes.h"
#include "book/RecycleBin.h"

#include "foundation/StoredDate.h"
#include "foundation/clsADO.h"

#include <QRegularExpression>

#include <algorithm>

namespace ht {
namespace {

const QString notAvailable = QStringLiteral("N/A");

QDateTime storedMoment(const Query &q, int column)
{
    const auto d = parseStoredDate(q.utf8(column));
    return d ? d->toDateTime() : QDateTime();
}

Columns values(const QString &user, const MemoNote &note)
{
    return {{QStringLiteral("username"), user},
            {QStringLiteral("fontBold"), note.style.fontBold},
            {QStringLiteral("fontItalic"), note.style.fontItalic},
            {QStringLiteral("fontSize"), note.style.fontSize},
            {QStringLiteral("fontName"), note.style.fontName},
            {QStringLiteral("foreColor"), note.style.foreColor},
            {QStringLiteral("noteDateTime"), note.when},
            {QStringLiteral("noteContent"), note.content}};
}

// A date as people type it: 2026-12-7, 2026/12/7 (a time after it is allowed) or 2026年12月7日.
std::optional<QDate> typedDate(const QString &typed)
{
    const QString text = typed.trimmed();
    static const QRegularExpression chinese(QStringLiteral("^(\\d{4})年(\\d{1,2})月(\\d{1,2})日$"));
    if (const QRegularExpressionMatch m = chinese.match(text); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
    }
    if (const auto d = parseStoredDate(QStringView(text)))
        return QDate(d->year, d->month, d->day);
    return std::nullopt;
}

} // namespace

namespace MemoStore {

MemoPage loadPage(clsADO &db, const QString &user, const SqlFilter &condition, qint32 page)
{
    const QString from = QStringLiteral(" FROM [MyNotes] WHERE username=?") + condition.sql;
    QVariantList values{user};
    values += condition.values;

    MemoPage result;
    const qint64 own = db.count(QStringLiteral("SELECT [n] FROM [MyNotesCount] WHERE username=?"), {user});
    if (condition.isEmpty()) {
        result.total = own;
    } else {
        // Counting most of the table goes faster in its own order than through the index.
        const bool most = own * 2 > db.count(QStringLiteral("SELECT SUM([n]) FROM [MyNotesCount]"));
        result.total = db.count(QStringLiteral("SELECT COUNT(*) FROM [MyNotes] WHERE ")
                                    + (most ? QStringLiteral("+username=?") : QStringLiteral("username=?"))
                                    + condition.sql,
                                values);
    }
    const qint64 pages = std::max<qint64>(1, (result.total + pageSize - 1) / pageSize);
    result.pages = qint32(std::min<qint64>(pages, std::numeric_limits<qint32>::max()));
    result.page = std::clamp(page, 1, result.pages);
    const qint64 skipped = qint64(result.page - 1) * pageSize;
    const qint64 wanted = std::min<qint64>(pageSize, result.total - skipped);
    if (wanted <= 0)
        return result;

    // A page in the second half is read from the oldest end, so the last page costs what
    // the first does.
    const bool fromOldest = skipped > result.total / 2;
    values << wanted << (fromOldest ? result.total - skipped - wanted : skipped);
    Query q = db.query(QStringLiteral("SELECT ID,noteDateTime,noteContent") + from
                           + (fromOldest ? QStringLiteral(" ORDER BY noteDateTime ASC,ID ASC")
                                         : QStringLiteral(" ORDER BY noteDateTime DESC,ID DESC"))
                           + QStringLiteral(" LIMIT ? OFFSET ?"),
                       values);
    while (q.next())
        result.rows.push_back({q.int64(0), storedMoment(q, 1), q.text(2)});
    if (fromOldest)
        std::reverse(result.rows.begin(), result.rows.end());
    return result;
}

void createTables(clsADO &db)
{
    // The same statements as the schema's (a test compares them), then every count afresh.
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS [MyNotes]([ID] INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL,"
        "[username] text(50) NOT NULL COLLATE NOCASE,[fontBold] text(50),[fontItalic] text(50),"
        "[fontName] text(200),[fontSize] text(50),[foreColor] text(50),[noteDateTime] datetime NOT NULL,"
        "[noteContent] memo NOT NULL)",
        "CREATE INDEX IF NOT EXISTS [MyNotes_owner_date] ON [MyNotes]([username], [noteDateTime])",
        "CREATE TABLE IF NOT EXISTS [MyNotesCount]([username] text(50) PRIMARY KEY NOT NULL COLLATE NOCASE,[n] INTEGER "
        "NOT NULL)",
        "CREATE TRIGGER IF NOT EXISTS [MyNotes_count_insert] AFTER INSERT ON [MyNotes] BEGIN\n"
        "    INSERT OR IGNORE INTO [MyNotesCount]([username],[n]) VALUES(NEW.username,0);\n"
        "    UPDATE [MyNotesCount] SET [n]=[n]+1 WHERE [username]=NEW.username;\n"
        "END",
        "CREATE TRIGGER IF NOT EXISTS [MyNotes_count_delete] AFTER DELETE ON [MyNotes] BEGIN\n"
        "    UPDATE [MyNotesCount] SET [n]=[n]-1 WHERE [username]=OLD.username;\n"
        "END",
        "CREATE TRIGGER IF NOT EXISTS [MyNotes_count_owner] AFTER UPDATE OF [username] ON [MyNotes] BEGIN\n"
        "    UPDATE [MyNotesCount] SET [n]=[n]-1 WHERE [username]=OLD.username;\n"
        "    INSERT OR IGNORE INTO [MyNotesCount]([username],[n]) VALUES(NEW.username,0);\n"
        "    UPDATE [MyNotesCount] SET [n]=[n]+1 WHERE [username]=NEW.username;\n"
        "END",
        "INSERT OR REPLACE INTO [MyNotesCount]([username],[n]) SELECT username,COUNT(*) FROM [MyNotes] GROUP BY "
        "username"};
    Transaction t(db);
    for (const char *sql : statements)
        db.execute(QString::fromUtf8(sql));
    t.commit();
}

std::optional<MemoNote> load(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(QStringLiteral("SELECT ID,noteDateTime,noteContent,fontName,fontBold,fontItalic,fontSize,"
                                      "foreColor FROM [MyNotes] WHERE username=? AND ID=?"),
                       {user, id});
    if (!q.next())
        return std::nullopt;
    MemoNote note;
    note.id = q.int64(0);
    note.when = storedMoment(q, 1);
    note.content = q.text(2);
    // A column left empty by another program reads as no choice.
    const auto attribute = [&q](int column) {
        const QString t = q.text(column);
        return t.isEmpty() ? notAvailable : t;
    };
    note.style = {attribute(3), attribute(4), attribute(5), attribute(6), attribute(7)};
    return note;
}

qint64 add(clsADO &db, const QString &user, const MemoNote &note)
{
    const qint64 id = db.insert(QStringLiteral("MyNotes"), values(user, note));
    book::changes().announce(book::Change::Memos);
    return id;
}

bool update(clsADO &db, const QString &user, const MemoNote &note)
{
    if (db.update(QStringLiteral("MyNotes"), values(user, note), QStringLiteral("ID=? AND username=?"), {note.id, user})
        == 0)
        return false;
    book::changes().announce(book::Change::Memos);
    return true;
}

int remove(clsADO &db, const QString &user, const QList<qint64> &ids)
{
    if (ids.isEmpty())
        return 0;
    QVariantList values;
    QStringList marks;
    for (qint64 id : ids) {
        values << id;
        marks << QStringLiteral("?");
    }
    return int(RecycleBin::move(db, RecycleBin::Kind::Memo, user,
                                ids.size() > 1 ? QStringLiteral("批量删除") : QStringLiteral("单条删除"),
                                QStringLiteral(" AND A.ID IN(") + marks.join(QLatin1Char(',')) + u')', values));
}

SqlFilter quickSearch(const QString &typed)
{
    if (const auto d = typedDate(typed))
        return days(*d, *d);
    return containing(typed);
}

SqlFilter containing(const QString &text)
{
    return containingText(QStringLiteral("noteContent"), text);
}

SqlFilter days(const QDate &first, const QDate &last)
{
    return dayRange(QStringLiteral("noteDateTime"), first, last);
}

} // namespace MemoStore
} // namespace ht
