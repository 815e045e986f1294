#include "book/LedgerStore.h"

#include "foundation/StoredDate.h"
#include "foundation/clsADO.h"

#include <algorithm>
#include <string_view>

namespace ht {
namespace {

Query select(clsADO &db, const QString &user, int cls, const SqlFilter &filter, const QString &more = {},
             const QVariantList &moreValues = {})
{
    QVariantList values{user, cls > 1 ? 1 : cls};
    values += filter.values;
    values += moreValues;
    return db.query(QStringLiteral("SELECT A.ID,A.postdate,B.typename,A.money,A.memo FROM [pursewicks] AS A "
                                   "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.username=? AND A.style=?")
                        + filter.sql + more + QStringLiteral(" ORDER BY A.postdate ASC,A.ID ASC"),
                    values);
}

// A category name occurs on thousands of rows; they all share one string. A user
// has a few dozen names at most, and a plain scan beats hashing every row.
class CategoryNames {
public:
    QString shared(std::string_view bytes)
    {
        auto it = std::find_if(m_names.begin(), m_names.end(),
                               [bytes](const auto &c) { return std::string_view(c.first) == bytes; });
        if (it == m_names.end()) {
            const QByteArray utf8(bytes.data(), qsizetype(bytes.size()));
            it = m_names.insert(m_names.end(), {utf8, QString::fromUtf8(utf8)});
        }
        return it->second;
    }

private:
    std::vector<std::pair<QByteArray, QString>> m_names;
};

LedgerRow readRow(const Query &q, CategoryNames &names)
{
    LedgerRow r;
    r.id = q.int64(0);
    if (const std::optional<StoredDate> d = parseStoredDate(q.utf8(1))) {
        r.date = d->dayNumber();
        r.time = d->timeNumber();
    }
    if (!q.isNull(2)) {
        r.category = names.shared(q.utf8(2));
        r.hasCategory = true;
    }
    r.amount = Money::fromDouble(q.real(3));
    if (const std::string_view memo = q.utf8(4); !memo.empty())
        r.memo = QString::fromUtf8(memo.data(), qsizetype(memo.size()));
    return r;
}

} // namespace

std::vector<LedgerRow> LedgerStore::load(clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    Query q = select(db, user, cls, filter);
    CategoryNames names;
    std::vector<LedgerRow> rows;
    while (q.next())
        rows.push_back(readRow(q, names));
    return rows;
}

std::optional<LedgerRow> LedgerStore::row(clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id)
{
    Query q = select(db, user, cls, filter, QStringLiteral(" AND A.ID=?"), {id});
    CategoryNames names;
    if (!q.next())
        return std::nullopt;
    return readRow(q, names);
}

SqlFilter dateRange(const QDate &first, const QDate &last)
{
    return dayRange(QStringLiteral("A.postdate"), first, last);
}

SqlFilter periodFilter(int buttonIndex, const QDate &today)
{
    const int year = today.year();
    switch (buttonIndex) {
    case 2: return dateRange(QDate(year, 1, 1), QDate(year, 12, 31));
    case 3: {
        const QDate first(year, today.month(), 1);
        return dateRange(first, first.addMonths(1).addDays(-1));
    }
    case 4: return dateRange(today, today);
    default:
        if (buttonIndex >= 5 && buttonIndex <= 16) {
            const QDate first(year, buttonIndex - 4, 1);
            return dateRange(first, first.addMonths(1).addDays(-1));
        }
        return {};
    }
}

} // namespace ht
