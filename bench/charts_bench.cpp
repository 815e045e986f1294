// Cost of the charts' summing queries on the benchmark household: the twelve months of
// the last whole year, that year's expense by category, and its comparison with the
// year before (which reads two years).
#include "bench/LedgerFixture.h"

#include "book/ChartStore.h"

#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    int records = 0;
    QString keepDir;
    if (!bench::householdOptions(app, records, keepDir))
        return 2;
    const int repetitions = records >= 500'000 ? 3 : 7;

    QTemporaryDir dir;
    QTextStream out(stdout);
    out << "records=" << records << " repetitions=" << repetitions << Qt::endl;
    ht::clsADO &db = bench::openFilledStore(dir, out, records, keepDir);
    const int year = QDate::currentDate().year() - 1;
    const ht::DayPeriod wholeYear{QDate(year, 1, 1), QDate(year, 12, 31)};

    ht::Money check;
    const double yearMs = bench::medianMs(repetitions, [&] {
        const ht::YearSums sums = ht::ChartStore::yearSums(db, bench::user, year);
        check = sums.income[0] + sums.expense[11];
    });
    size_t categories = 0;
    const double categoryMs = bench::medianMs(
        repetitions, [&] { categories = ht::ChartStore::categorySums(db, bench::user, 0, wholeYear).size(); });
    size_t rows = 0;
    const double compareMs = bench::medianMs(
        repetitions, [&] { rows = ht::ChartStore::compareSums(db, bench::user, 0, wholeYear).size(); });
    out << "year_chart_ms=" << QString::number(yearMs, 'f', 2) << " (" << year << ", checksum " << check.text() << ")"
        << Qt::endl;
    out << "category_chart_ms=" << QString::number(categoryMs, 'f', 2) << " (" << categories << " categories)"
        << Qt::endl;
    out << "compare_table_ms=" << QString::number(compareMs, 'f', 2) << " (" << rows << " rows)" << Qt::endl;
    return 0;
}
