#include "categories/TypesStore.h"

#include "ledger/RecordStore.h"

#include "foundation/clsADO.h"

namespace ht::TypesStore {

bool upgradeOwners(clsADO &db)
{
    if (ColumnExists(db, QStringLiteral("username"), QStringLiteral("types")))
        return false;
    Transaction t(db);
    db.execute(QStringLiteral("ALTER TABLE [types] ADD username TEXT(50) COLLATE NOCASE"));
    db.execute(QStringLiteral("UPDATE [types] SET username='admin'"));
    db.execute(QStringLiteral("UPDATE [types] SET username=? WHERE [typename] IN('日常','手机/上网','房租','房贷',"
                              "'交通/旅游','礼物','休闲/娱乐','吃','其他开支','工资','股市/证券','外汇','奖金','补助/福利','其他收入')"),
               {builtInOwner});
    t.commit();
    return true;
}

std::optional<Type> visible(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(QStringLiteral("SELECT typename,class,username FROM [types] WHERE ID=? AND (username=? OR username=?)"),
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

qint64 add(clsADO &db, const QString &user, int cls, const QString &name)
{
    return db.insert(QStringLiteral("types"),
                     {{QStringLiteral("typename"), name}, {QStringLiteral("class"), cls}, {QStringLiteral("username"), user}});
}

bool rename(clsADO &db, const QString &user, qint64 id, const QString &name)
{
    return db.update(QStringLiteral("types"), {{QStringLiteral("typename"), name}}, QStringLiteral("ID=? AND username=?"),
                     {id, user})
        > 0;
}

bool remove(clsADO &db, const QString &user, qint64 id)
{
    return db.execute(QStringLiteral("DELETE FROM [types] WHERE ID=? AND username=?"), {id, user}) > 0;
}

} // namespace ht::TypesStore
