#include "book/TypesStore.h"

#include "book/BuiltIn.h"
#include "book/Changes.h"

#include "foundation/clsADO.h"

namespace ht::TypesStore {

bool upgradeOwners(clsADO &db)
{
    if (columnExists(db, QStringLiteral("username"), QStringLiteral("types")))
        return false;
    Transaction t(db);
    db.execute(QStringLiteral("ALTER TABLE [types] ADD username TEXT(50) COLLATE NOCASE"));
    db.execute(QStringLiteral("UPDATE [types] SET username='admin'"));
    QVariantList values{builtInOwner};
    QStringList marks;
    for (const BuiltInCategory &c : builtInCategories) {
        values << QString::fromUtf8(c.name);
        marks << QStringLiteral("?");
    }
    db.execute(QStringLiteral("UPDATE [types] SET username=? WHERE [typename] IN(") + marks.join(u',') + u')', values);
    t.commit();
    return true;
}

void addBuiltIns(clsADO &db)
{
    Transaction t(db);
    for (const BuiltInCategory &c : builtInCategories)
        db.execute(QStringLiteral("INSERT INTO [types]([typename],[class],[username]) VALUES(?,?,?)"),
                   {QString::fromUtf8(c.name), c.cls, builtInOwner});
    t.commit();
}

std::optional<Type> visible(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(
        QStringLiteral("SELECT typename,class,username FROM [types] WHERE ID=? AND (username=? OR username=?)"),
        {id, user, builtInOwner});
    if (!q.next())
        return std::nullopt;
    return Type{q.text(0), int(q.int64(1)), q.text(2) == builtInOwner};
}

bool nameTaken(clsADO &db, const QString &user, int cls, const QString &name, qint64 exceptId)
{
    return db.count(QStringLiteral("SELECT COUNT(*) FROM [types] WHERE (username=? OR username=?) AND typename=? "
                                   "AND class=? AND ID<>?"),
                    {user, builtInOwner, name, cls, exceptId})
        > 0;
}

namespace {

// The class of the user's own category; none when it is not theirs.
std::optional<int> ownClass(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(QStringLiteral("SELECT class FROM [types] WHERE ID=? AND username=?"), {id, user});
    if (!q.next())
        return std::nullopt;
    return int(q.int64(0));
}

} // namespace

qint64 add(clsADO &db, const QString &user, int cls, const QString &name)
{
    const qint64 id = db.insert(
        QStringLiteral("types"),
        {{QStringLiteral("typename"), name}, {QStringLiteral("class"), cls}, {QStringLiteral("username"), user}});
    book::changes().announce(book::Change::Categories, cls);
    return id;
}

bool rename(clsADO &db, const QString &user, qint64 id, const QString &name)
{
    const std::optional<int> cls = ownClass(db, user, id);
    if (!cls
        || db.update(QStringLiteral("types"), {{QStringLiteral("typename"), name}},
                     QStringLiteral("ID=? AND username=?"), {id, user})
            == 0)
        return false;
    book::changes().announce(book::Change::Categories, *cls);
    return true;
}

bool remove(clsADO &db, const QString &user, qint64 id)
{
    const std::optional<int> cls = ownClass(db, user, id);
    if (!cls || db.execute(QStringLiteral("DELETE FROM [types] WHERE ID=? AND username=?"), {id, user}) == 0)
        return false;
    book::changes().announce(book::Change::Categories, *cls);
    return true;
}

} // namespace ht::TypesStore
