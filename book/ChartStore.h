#pragma once

#include "foundation/Money.h"
#include "foundation/SqlFilter.h"

#include <QDate>
#include <QString>

#include <array>
#include <vector>

namespace ht {

class clsADO;

// Whole days from first to last, as the lists' date filter reads them.
struct DayPeriod {
    QDate first, last;

    SqlFilter filter() const;
    bool operator==(const DayPeriod &) const = default;
};

// The period just before: as many whole months when it is whole months, else as many days.
DayPeriod previousPeriod(const DayPeriod &p);
// The same days a year earlier (29 February becomes the 28th).
DayPeriod yearEarlier(const DayPeriod &p);

// One user's income and expense of each month of a year (index 0 is January).
struct YearSums {
    std::array<Money, 12> income{}, expense{};
};

// The categories a record can name (its typeid); a slice may gather several, and the
// records whose category is gone show as one "N/A", as in the lists.
struct CategoryKey {
    std::vector<qint64> typeIds;
    bool withoutType = false; // records with no typeid at all

    // The records of these categories of one class, as the lists' query filter.
    SqlFilter filter(int cls) const;
    void add(const CategoryKey &other);
};

struct CategorySum {
    QString name;
    CategoryKey key;
    Money amount;
    bool gathered = false; // the "其他" of small slices
};

// A category's amount in a period, the period before and the same period a year before.
struct CategoryCompare {
    QString name;
    CategoryKey key;
    Money now, previous, yearAgo;
};

namespace ChartStore {

// Each in one summing query on the database. The connection must be open.
YearSums yearSums(clsADO &db, const QString &user, int year);
// Largest first; a category without records in the period is left out.
std::vector<CategorySum> categorySums(clsADO &db, const QString &user, int cls, const DayPeriod &period);
// By the amount of the period, largest first; categories with nothing in any of the three left out.
std::vector<CategoryCompare> compareSums(clsADO &db, const QString &user, int cls, const DayPeriod &period);

} // namespace ChartStore

// Keeps at most maxSlices slices: the smallest ones, and any below minShare of the whole,
// are gathered into one "其他" at the end (unless only one would be gathered).
std::vector<CategorySum> gatherSmall(std::vector<CategorySum> sums, int maxSlices = 8, double minShare = 0.03);

// A change as a percentage of the earlier amount, one decimal ("+12.5%", "-3.0%"); "—"
// when there was nothing before.
QString changePercent(Money earlier, Money now);

} // namespace ht
