#include "book/QueryConditions.h"

#include "book/LedgerStore.h"
#include "book/RecycleBin.h"

#include "foundation/Money.h"
#include "foundation/clsADO.h"

namespace ht::QueryConditions {
namespace {

void addCategory(SqlFilter &f, int cls, qint64 typeId)
{
    f.add(QStringLiteral(" AND A.style=? AND A.typeid=?"), {cls, typeId});
}

} // namespace

SqlFilter common(const SearchConditions &c)
{
    SqlFilter f;
    if (c.byDate)
        f = dateRange(c.from, c.to);
    if (c.byAmount) {
        // Stored amounts are floating point; compare them in whole cents.
        if (const std::optional<Money> m = Money::parse(c.amount); m && m->cents() != 0)
            f.add(QStringLiteral(" AND CAST(round(A.money*100) AS INTEGER)=?"), {qint64(m->cents())});
    }
    if (c.byMemo && !c.memo.isEmpty())
        f.add(containingText(QStringLiteral("A.memo"), c.memo));
    return f;
}

QueryPlan forQuery(const SearchConditions &c)
{
    QueryPlan plan{common(c), -1};
    if (c.byCategory && c.incomeType > 0)
        plan.cls = 1;
    else if (c.byCategory && c.expenseType > 0)
        plan.cls = 0;
    if (plan.cls >= 0)
        addCategory(plan.filter, plan.cls, plan.cls == 1 ? c.incomeType : c.expenseType);
    return plan;
}

SqlFilter forDelete(const SearchConditions &c)
{
    SqlFilter f = common(c);
    if (!c.byCategory)
        return f;
    if (c.incomeType > 0 && c.expenseType > 0)
        f.add(QStringLiteral(" AND ((A.style=1 AND A.typeid=?) OR (A.style=0 AND A.typeid=?))"),
              {c.incomeType, c.expenseType});
    else if (c.incomeType > 0)
        addCategory(f, 1, c.incomeType);
    else if (c.expenseType > 0)
        addCategory(f, 0, c.expenseType);
    return f;
}

namespace {
const QString picked = QStringLiteral("FROM [pursewicks] AS A WHERE A.username=?");
}

qint64 countPicked(clsADO &db, const QString &user, const SqlFilter &filter)
{
    return db.count(QStringLiteral("SELECT COUNT(*) ") + picked + filter.sql, QVariantList{user} + filter.values);
}

qint64 deletePicked(clsADO &db, const QString &user, const SqlFilter &filter)
{
    if (filter.isEmpty())
        return 0;
    return RecycleBin::move(db, RecycleBin::Kind::Record, user, QStringLiteral("批量删除"), filter.sql, filter.values);
}

} // namespace ht::QueryConditions
