#pragma once

#include <QString>

namespace ht {

// Whole database files: the copy a backup takes, the check a file must pass before it
// may stand in for the database, and the swap that restores one. Each returns an empty
// text on success, otherwise the reason in the program's words.

// Copies the database at dbPath to target while holding its read lock, so no write of
// another program lands halfway through; a database another program keeps busy is
// refused. The copy is written beside target and renamed into place: a failure leaves no
// half-written file under that name.
QString copyDatabaseFile(const QString &dbPath, const QString &target);

// A database of this program: it opens with the key for its own salt, passes the
// engine's integrity check and holds exactly the program's tables, columns, indexes and
// triggers, no view (an older database lacking only what the upgrades add passes).
// The reason tells a damaged backup from a file that is none of this program's.
QString checkDatabaseFile(const QString &path);

// Puts a copy of source in place of the database at dbPath (or of the file it links to)
// once the copy has passed the check above; the database it replaces is kept as keptAs.
// A database another program keeps busy is refused. Nothing changes on failure.
QString replaceDatabaseFile(const QString &dbPath, const QString &source, const QString &keptAs);

// Removes what a killed copy or restore left of the files written beside the database,
// its kept copy and the daily copies. Only the first running copy may call it.
void removeLeftoverCopies(const QString &dbPath);

// Where the daily automatic copies of the database at dbPath are kept: "backups" beside it.
QString dailyBackupFolder(const QString &dbPath);

} // namespace ht
