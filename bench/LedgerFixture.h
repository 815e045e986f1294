#pragma once

#include "foundation/SqlFilter.h"

#include <QString>

#include <functional>

class QCoreApplication;
class QTemporaryDir;
class QTextStream;
struct sqlite3;

namespace ht {
class clsADO;
}

// The household the benchmarks measure: ten years of records, 100,000 of each class for
// the user "bench", 50,000 of two other users, in date order as entered day by day.
// Other sizes spread the user's records over twenty years, and the other users hold a
// quarter as many as the user.
namespace bench {

inline const QString user = QStringLiteral("bench");
constexpr int perClass = 100'000;
constexpr int defaultRecords = 2 * perClass;
// Raised whenever the household changes, so that kept databases of the old one are not reused.
constexpr int fixtureVersion = 1;

// The median time of work in milliseconds; prepare runs untimed before each repetition.
double medianMs(int repetitions, const std::function<void()> &work, const std::function<void()> &prepare = {});

// The household a run asks for: --records N (default defaultRecords) and --keep DIR (or
// HT_BENCH_KEEP). False, having said why, when N is not a count of at least 2.
bool householdOptions(const QCoreApplication &app, int &records, QString &keepDir);

// A program folder in dir holding a fresh copy of the shipped database, as the shared
// store, with the user "bench" logged in.
ht::clsADO &openShippedStore(const QTemporaryDir &dir);

// A program folder in dir holding the shipped database filled with the household of
// that many records of the user, the store left open; says how long filling took. With
// keepDir, a database filled by an earlier run for the same size, household and shipped
// database is reused, and a new one is kept there. Ends the run when it cannot be made.
ht::clsADO &openFilledStore(const QTemporaryDir &dir, QTextStream &out, int records = defaultRecords,
                            const QString &keepDir = {});

// An unencrypted copy of the open store, for the floor of a measurement; null on failure.
sqlite3 *plainCopy(ht::clsADO &db, const QString &path);
// The ledger list statement of one class under the filter, run on the plain copy with
// every column touched; a checksum.
qint64 rawList(sqlite3 *plain, int cls, const ht::SqlFilter &filter = {});

} // namespace bench
