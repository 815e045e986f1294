#include "book/RecycleBin.h"

#include "book/BuiltIn.h"
#include "book/Changes.h"
#include "book/RecordStore.h"

#include "foundation/DateText.h"
#include "foundation/clsADO.h"

namespace ht::RecycleBin {
namespace {

// The built-in "其他" category of the class, by its name, as this user sees it.
std::optional<qint64> otherCategory(clsADO &db, const QString &user, int cls)
{
    for (const BuiltInCategory &c : builtInCategories) {
        const QString name = QString::fromUtf8(c.name);
        if (c.cls == cls && name.startsWith(QStringLiteral("其他")))
            return RecordStore::categoryId(db, user, cls, name);
    }
    return std::nullopt;
}

// Erases the user's entries that match, with what they hold.
int eraseWhere(clsADO &db, const QString &user, const QString &condition, const QVariantList &values)
{
    upgrade(db);
    const QString picked = QStringLiteral("SELECT ID FROM [binEntries] WHERE username=?") + condition;
    const QVariantList args = QVariantList{user} + values;
    Transaction t(db);
    db.execute(QStringLiteral("DELETE FROM [pursewicksBin] WHERE binEntry IN (") + picked + QLatin1Char(')'), args);
    const int erased = db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID IN (") + picked + QLatin1Char(')'),
                                  args);
    t.commit();
    return erased;
}

} // namespace

void upgrade(clsADO &db)
{
    // The same statements as the schema's, so that an upgraded file passes the restore check.
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS [binEntries] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT NULL "
        "COLLATE NOCASE, [kind] TEXT NOT NULL, [command] TEXT NOT NULL, [deletedAt] DATETIME NOT NULL, [count] INTEGER "
        "NOT NULL)",
        "CREATE INDEX IF NOT EXISTS [binEntries_owner] ON [binEntries]([username], [ID])",
        "CREATE TABLE IF NOT EXISTS [pursewicksBin] ([ID] INTEGER NOT NULL, [username] TEXT(50) NOT NULL COLLATE "
        "NOCASE, [typeid] INTEGER, [postdate] DATETIME NOT NULL, [money] REAL NOT NULL DEFAULT 0, [style] INTEGER NOT "
        "NULL, [memo] TEXT, [binEntry] INTEGER NOT NULL)",
        "CREATE INDEX IF NOT EXISTS [pursewicksBin_entry] ON [pursewicksBin]([binEntry])"};
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='pursewicksBin_entry'")) != 0)
        return;
    Transaction t(db);
    for (const char *sql : statements)
        db.execute(QString::fromUtf8(sql));
    t.commit();
}

qint64 moveRecordsWithin(clsADO &db, const QString &user, const QString &command, const QString &condition,
                         const QVariantList &values)
{
    const qint64 entry = db.insert(QStringLiteral("binEntries"),
                                   {{QStringLiteral("username"), user},
                                    {QStringLiteral("kind"), QStringLiteral("record")},
                                    {QStringLiteral("command"), command},
                                    {QStringLiteral("deletedAt"), QDateTime::currentDateTime()},
                                    {QStringLiteral("count"), 0}});
    const int moved = db.execute(
        QStringLiteral("INSERT INTO [pursewicksBin](ID,username,typeid,postdate,money,style,memo,"
                       "binEntry) SELECT A.ID,A.username,A.typeid,A.postdate,A.money,A.style,"
                       "A.memo,? FROM [pursewicks] AS A WHERE A.username=?")
            + condition,
        QVariantList{entry, user} + values);
    if (moved == 0) {
        db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID=?"), {entry});
        return 0;
    }
    // The engine's triggers take the rows out of the per-day sums as they go.
    db.execute(QStringLiteral("DELETE FROM [pursewicks] WHERE ID IN (SELECT ID FROM [pursewicksBin] WHERE binEntry=?)"),
               {entry});
    db.execute(QStringLiteral("UPDATE [binEntries] SET [count]=? WHERE ID=?"), {moved, entry});
    return moved;
}

qint64 moveRecords(clsADO &db, const QString &user, const QString &command, const QString &condition,
                   const QVariantList &values)
{
    upgrade(db);
    Transaction t(db);
    const qint64 moved = moveRecordsWithin(db, user, command, condition, values);
    if (moved == 0)
        return 0;
    const qint64 one = moved == 1 ? db.count(QStringLiteral("SELECT MAX(ID) FROM [pursewicksBin] WHERE username=? AND "
                                                            "binEntry=(SELECT MAX(ID) FROM [binEntries])"),
                                             {user})
                                  : 0;
    t.commit();
    book::changes().announce(book::Change::Records, book::anyClass, one);
    return moved;
}

QList<Entry> entries(clsADO &db, const QString &user)
{
    upgrade(db);
    QList<Entry> list;
    for (Query q = db.query(QStringLiteral("SELECT ID,kind,command,deletedAt,[count] FROM [binEntries] WHERE "
                                           "username=? ORDER BY ID DESC"),
                            {user});
         q.next();)
        list.append({q.int64(0), q.text(1), q.text(2), toDateTime(q.value(3)), int(q.int64(4))});
    return list;
}

QList<BinRecord> records(clsADO &db, const QString &user, qint64 entry)
{
    upgrade(db);
    QList<BinRecord> list;
    for (Query q =
             db.query(QStringLiteral("SELECT A.ID,A.postdate,A.money,A.style,B.typename,A.memo FROM "
                                     "[pursewicksBin] AS A LEFT JOIN [types] AS B ON A.typeid=B.ID AND "
                                     "B.class=A.style WHERE A.binEntry=? AND A.username=? ORDER BY A.postdate,A.ID"),
                      {entry, user});
         q.next();)
        list.append({q.int64(0), toDateTime(q.value(1)), q.real(2), int(q.int64(3)),
                     q.isNull(4) ? QString() : q.text(4), q.text(5)});
    return list;
}

std::optional<Restored> restore(clsADO &db, const QString &user, qint64 entry)
{
    upgrade(db);
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM [binEntries] WHERE ID=? AND username=?"), {entry, user}) == 0)
        return std::nullopt;
    const std::optional<qint64> other[] = {otherCategory(db, user, 0), otherCategory(db, user, 1)};
    Restored r;
    Transaction t(db);
    for (int cls : {0, 1}) {
        if (other[cls])
            r.recategorized += db.execute(QStringLiteral("UPDATE [pursewicksBin] SET typeid=? WHERE binEntry=? AND "
                                                         "style=? AND (typeid IS NULL OR typeid NOT IN (SELECT ID FROM "
                                                         "[types] WHERE class=?))"),
                                          {*other[cls], entry, cls, cls});
    }
    // Only a file whose numbering was started over can hold the ID again: that record gets a new one.
    db.execute(QStringLiteral("UPDATE [pursewicksBin] SET ID=-ID WHERE binEntry=? AND ID IN (SELECT ID FROM "
                              "[pursewicks])"),
               {entry});
    r.records = db.execute(QStringLiteral("INSERT INTO [pursewicks](ID,username,typeid,postdate,money,style,memo) "
                                          "SELECT CASE WHEN ID>0 THEN ID END,username,typeid,postdate,money,style,memo "
                                          "FROM [pursewicksBin] WHERE binEntry=? ORDER BY ID DESC"),
                           {entry});
    db.execute(QStringLiteral("DELETE FROM [pursewicksBin] WHERE binEntry=?"), {entry});
    db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID=?"), {entry});
    t.commit();
    if (r.records > 0)
        book::changes().announce(book::Change::Records);
    return r;
}

bool erase(clsADO &db, const QString &user, qint64 entry)
{
    return eraseWhere(db, user, QStringLiteral(" AND ID=?"), {entry}) > 0;
}

int eraseAll(clsADO &db, const QString &user)
{
    return eraseWhere(db, user, {}, {});
}

int expire(clsADO &db, const QString &user, int days, const QDateTime &now)
{
    if (days <= 0)
        return 0;
    return eraseWhere(db, user, QStringLiteral(" AND deletedAt<?"), {now.addDays(-days)});
}

} // namespace ht::RecycleBin
