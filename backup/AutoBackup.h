#pragma once

#include <QDate>
#include <QString>

namespace ht::backup {

// The daily copies left when the main window closes, in dailyBackupFolder: one file a
// day named by its date, the newest ten kept.
constexpr int keptDailyBackups = 10;

// Writes today's copy unless there is one already; then drops all but the newest ten.
// Empty text, or the reason it failed.
QString writeDailyBackup(const QString &dbPath, const QDate &today);

// A failure is told at the next start, once: noted in the settings file, taken (and
// cleared) when read.
void noteBackupFailure(const QString &iniPath, const QString &reason);
QString takeBackupFailure(const QString &iniPath);

} // namespace ht::backup
