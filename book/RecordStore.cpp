#include "book/RecordStore.h"

#include "book/Changes.h"
#include "book/RecycleBin.h"

#include "foundation/DateText.h"
#include "foundation/clsADO.h"

namespace ht::RecordStore {

QList<Category> categories(clsADO &db, const QString &user, int cls)
{
    QList<Category> list;
    auto collect = [&](Query q) {
        while (q.next())
            list.append({q.int64(0), q.text(1)});
    };
    try {
        collect(db.query(QStringLiteral("SELECT ID,typename FROM [types] WHERE class=? AND (username=? OR username=?) "
                                        "ORDER BY ID"),
                         {cls, user, builtInOwner}));
    } catch (const DbError &e) {
        // A database from before categories had owners: every category is shared.
        if (e.kind() != DbErrorKind::NoSuchColumn)
            throw;
        collect(db.query(QStringLiteral("SELECT ID,typename FROM [types] WHERE class=? ORDER BY ID"), {cls}));
    }
    return list;
}

std::optional<qint64> categoryId(clsADO &db, const QString &user, int cls, const QString &name)
{
    for (const Category &c : categories(db, user, cls)) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0 && c.id != 0)
            return c.id;
    }
    return std::nullopt;
}

std::optional<Record> record(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(QStringLiteral("SELECT A.postdate,A.money,B.ID,B.typename,A.memo,A.style FROM [pursewicks] AS A "
                                      "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.ID=? AND A.username=?"),
                       {id, user});
    if (!q.next())
        return std::nullopt;
    Record r;
    r.id = id;
    r.postdate = toDateTime(q.value(0));
    r.amount = Money::fromDouble(q.real(1));
    r.category = q.isNull(3) ? QString() : q.text(3);
    r.memo = q.text(4);
    r.style = int(q.int64(5));
    return r;
}

qint64 save(clsADO &db, const QString &user, const Record &r, qint64 typeId)
{
    const Columns values = {{QStringLiteral("username"), user},       {QStringLiteral("typeid"), typeId},
                            {QStringLiteral("postdate"), r.postdate}, {QStringLiteral("money"), r.amount.toDouble()},
                            {QStringLiteral("style"), r.style},       {QStringLiteral("memo"), r.memo}};
    qint64 id = r.id;
    if (id <= 0)
        id = db.insert(QStringLiteral("pursewicks"), values);
    else if (db.update(QStringLiteral("pursewicks"), values, QStringLiteral("ID=? AND username=?"), {id, user}) == 0)
        return id;
    book::changes().announce(book::Change::Records, r.style, id);
    return id;
}

bool remove(clsADO &db, const QString &user, qint64 id)
{
    return RecycleBin::move(db, RecycleBin::Kind::Record, user, QStringLiteral("单条删除"),
                            QStringLiteral(" AND A.ID=?"), {id})
        > 0;
}

} // namespace ht::RecordStore
