#include "book/ChartStore.h"

#include "book/LedgerStore.h"

#include "foundation/clsADO.h"

#include <algorithm>
#include <map>

namespace ht {
namespace {

QString dayStart(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
}

// The lists turn each stored amount into cents on its own (Money::fromDouble); adding the
// doubles would drift by cents. The engine's round() gives the same cents for an amount
// well away from a half cent and not huge, so it sums those as whole cents; the others
// (1.005, typed with a third decimal) are grouped by amount, counted, and rounded here.
// The whole rule lives here, in one place.
class Amounts {
public:
    // The odd amount (NULL for the engine's cents), the cents, the count: to be grouped by
    // the odd amount after the keys.
    static QString columns()
    {
        return QStringLiteral("CASE WHEN %1 THEN NULL ELSE A.money END,SUM(CASE WHEN %1 THEN %2 ELSE 0 END),COUNT(*)")
            .arg(plain, cents);
    }
    // A row's amount, its columns from the first on.
    static Money at(const Query &q, int first)
    {
        Money m = Money::fromCents(q.int64(first + 1));
        if (!q.isNull(first))
            m += Money::fromCents(Money::fromDouble(q.real(first)).cents() * Money::Cents(q.int64(first + 2)));
        return m;
    }

private:
    static inline const QString plain = QStringLiteral(
        "(abs(A.money*100)<1e12 AND abs(abs(A.money*100-round(A.money*100))-0.5)>=0.25)");
    static inline const QString cents = QStringLiteral("CAST(round(A.money*100) AS INTEGER)");
};

bool wholeMonths(const DayPeriod &p)
{
    return p.first.day() == 1 && p.last.addDays(1).day() == 1;
}

// One user's records of a class under the filter, by category and a key of the caller's:
// the typeid, the key, the amount's columns from 2 on, and the category's name last. The
// names are joined to the few groups, not to every record.
Query byCategory(clsADO &db, const QString &user, int cls, const SqlFilter &filter, const SqlFilter &key = {})
{
    return db.query(QStringLiteral("SELECT G.*,B.typename FROM (SELECT A.typeid AS typeid,")
                        + (key.isEmpty() ? QStringLiteral("0") : key.sql) + u',' + Amounts::columns()
                        + QStringLiteral(" FROM [pursewicks] AS A WHERE A.username=? AND A.style=?") + filter.sql
                        + QStringLiteral(" GROUP BY 1,2,3) AS G LEFT JOIN [types] AS B ON G.typeid=B.ID"),
                    key.values + QVariantList{user, cls} + filter.values);
}

// Categories by typeid; those whose name is gone all become one "N/A", as the lists show them.
class ByCategory {
public:
    // A row of byCategory().
    CategoryCompare &at(const Query &q)
    {
        const int nameColumn = q.columnCount() - 1;
        const bool named = !q.isNull(nameColumn);
        const qint64 id = named ? q.int64(0) : -1;
        auto [it, fresh] = m_rows.try_emplace(id);
        CategoryCompare &row = it->second;
        if (fresh)
            row.name = named ? q.text(nameColumn) : QStringLiteral("N/A");
        if (q.isNull(0))
            row.key.withoutType = true;
        else if (std::ranges::find(row.key.typeIds, q.int64(0)) == row.key.typeIds.end())
            row.key.typeIds.push_back(q.int64(0));
        return row;
    }
    std::vector<CategoryCompare> rows() const
    {
        std::vector<CategoryCompare> out;
        for (const auto &[id, row] : m_rows)
            out.push_back(row);
        return out;
    }

private:
    std::map<qint64, CategoryCompare> m_rows;
};

} // namespace

SqlFilter DayPeriod::filter() const
{
    return dateRange(first, last);
}

DayPeriod previousPeriod(const DayPeriod &p)
{
    if (wholeMonths(p)) {
        const int months = (p.last.year() - p.first.year()) * 12 + p.last.month() - p.first.month() + 1;
        return {p.first.addMonths(-months), p.first.addDays(-1)};
    }
    const qint64 days = p.first.daysTo(p.last) + 1;
    return {p.first.addDays(-days), p.first.addDays(-1)};
}

DayPeriod yearEarlier(const DayPeriod &p)
{
    if (wholeMonths(p))
        return {p.first.addYears(-1), p.last.addDays(1).addYears(-1).addDays(-1)};
    return {p.first.addYears(-1), p.last.addYears(-1)};
}

SqlFilter CategoryKey::filter(int cls) const
{
    QStringList terms;
    QVariantList values{cls};
    if (!typeIds.empty()) {
        terms << QStringLiteral("A.typeid IN (%1)")
                     .arg(QStringList(qsizetype(typeIds.size()), QStringLiteral("?")).join(u','));
        for (qint64 id : typeIds)
            values << id;
    }
    if (withoutType)
        terms << QStringLiteral("A.typeid IS NULL");
    if (terms.isEmpty())
        terms << QStringLiteral("0");
    SqlFilter f;
    f.add(QStringLiteral(" AND A.style=? AND (%1)").arg(terms.join(QStringLiteral(" OR "))), values);
    return f;
}

void CategoryKey::add(const CategoryKey &other)
{
    typeIds.insert(typeIds.end(), other.typeIds.begin(), other.typeIds.end());
    withoutType = withoutType || other.withoutType;
}

YearSums ChartStore::yearSums(clsADO &db, const QString &user, int year)
{
    // A record's month is the number of month starts at or before it, so that a month
    // holds exactly what the lists show under that month's filter.
    QStringList after;
    QVariantList values;
    for (int m = 2; m <= 12; ++m) {
        after << QStringLiteral("(A.postdate>=?)");
        values << dayStart(QDate(year, m, 1));
    }
    values << user << dayStart(QDate(year, 1, 1)) << dayStart(QDate(year + 1, 1, 1));
    Query q = db.query(QStringLiteral("SELECT A.style,%1,%2 FROM [pursewicks] AS A WHERE A.username=? AND "
                                      "A.style IN (0,1) AND A.postdate>=? AND A.postdate<? GROUP BY 1,2,3")
                           .arg(after.join(u'+'), Amounts::columns()),
                       values);
    YearSums out;
    while (q.next()) {
        auto &months = q.int64(0) == 1 ? out.income : out.expense;
        months[size_t(q.int64(1))] += Amounts::at(q, 2);
    }
    return out;
}

std::vector<CategorySum> ChartStore::categorySums(clsADO &db, const QString &user, int cls, const DayPeriod &period)
{
    const SqlFilter f = period.filter();
    Query q = byCategory(db, user, cls, f);
    ByCategory categories;
    while (q.next())
        categories.at(q).now += Amounts::at(q, 2);
    std::vector<CategorySum> out;
    for (const CategoryCompare &c : categories.rows())
        out.push_back({c.name, c.key, c.now, false});
    std::stable_sort(out.begin(), out.end(), [](const auto &a, const auto &b) { return a.amount > b.amount; });
    return out;
}

std::vector<CategoryCompare> ChartStore::compareSums(clsADO &db, const QString &user, int cls, const DayPeriod &period)
{
    const DayPeriod before = previousPeriod(period);
    const DayPeriod lastYear = yearEarlier(period);
    // Each record counts in every period it falls in (a long range and the one a year
    // before may overlap): its group says which, one bit each.
    SqlFilter in;
    QStringList bits;
    int bit = 1;
    for (const DayPeriod &p : {period, before, lastYear}) {
        bits << QStringLiteral("(A.postdate>=? AND A.postdate<?)*%1").arg(bit);
        in.values << dayStart(p.first) << dayStart(p.last.addDays(1));
        bit *= 2;
    }
    in.sql = bits.join(u'+');
    Query q = byCategory(db, user, cls, dateRange(std::min(before.first, lastYear.first), period.last), in);
    ByCategory categories;
    while (q.next()) {
        CategoryCompare &row = categories.at(q);
        const qint64 within = q.int64(1);
        const Money amount = Amounts::at(q, 2);
        for (auto [mask, sum] : {std::pair{1, &row.now}, {2, &row.previous}, {4, &row.yearAgo}}) {
            if (within & mask)
                *sum += amount;
        }
    }
    std::vector<CategoryCompare> rows = categories.rows();
    std::erase_if(rows, [](const CategoryCompare &c) {
        return c.now == Money() && c.previous == Money() && c.yearAgo == Money();
    });
    std::stable_sort(rows.begin(), rows.end(), [](const auto &a, const auto &b) { return a.now > b.now; });
    return rows;
}

std::vector<CategorySum> gatherSmall(std::vector<CategorySum> sums, int maxSlices, double minShare)
{
    Money whole;
    for (const CategorySum &s : sums)
        whole += s.amount;
    const auto small = [&](size_t i) {
        return int(i) >= maxSlices - 1 || whole <= Money()
            || double(sums[i].amount.cents()) < minShare * double(whole.cents());
    };
    size_t keep = 0;
    while (keep < sums.size() && !small(keep))
        ++keep;
    if (sums.size() - keep < 2)
        return sums;
    CategorySum others{QStringLiteral("其他"), {}, {}, true};
    for (size_t i = keep; i < sums.size(); ++i) {
        others.key.add(sums[i].key);
        others.amount += sums[i].amount;
    }
    sums.resize(keep);
    sums.push_back(others);
    return sums;
}

QString changePercent(Money earlier, Money now)
{
    if (earlier == Money())
        return QStringLiteral("—");
    const double change = double((now - earlier).cents())
        / double(earlier.cents() < 0 ? -earlier.cents() : earlier.cents()) * 100.0;
    return (change >= 0 ? QStringLiteral("+") : QString()) + QString::number(change, 'f', 1) + u'%';
}

} // namespace ht
