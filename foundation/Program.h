#pragma once

#include "foundation/SqlFilter.h"

#include <QDate>
#include <QString>

namespace ht {

class clsRWIni;

namespace program {

inline constexpr const char *title = "Hearthtally";
inline constexpr const char *exeName = "pursewick";

// "1.2.8": major, minor and revision in plain decimal.
QString versionText();

// The desktop entry, icon and AppStream id the package installs.
inline constexpr const char *desktopId = "org.hearthtally.Hearthtally";

// The folder of the database, config.ini, update.ini and backups/: the program folder,
// unless the start chose the user's data folder or a test has pointed it elsewhere.
QString dir();
QString pathIn(const QString &fileName);
void setDir(const QString &folder);

// Where the data lives. Portable: the program folder holds the database and may be
// written (a build folder), so everything stays beside the program. Installed: the
// program folder belongs to the package manager, so each system user keeps the data in
// a folder of their own, made at the first start from the shipped database.
struct DataPlace {
    bool installed = false;
    QString folder;
    QString error; // why the user's folder could not be made ready; empty when it is
};
// True when the program folder exeDir is a portable one.
bool keepsDataBeside(const QString &exeDir);
// exeDir is the program folder; the shipped database is then ../share/hearthtally/syslibs.dll
// from it. Makes userDir (0700) and its database (0600) when they are missing.
DataPlace settleDataPlace(const QString &exeDir, const QString &userDir);
// The start's choice: settleDataPlace for this executable and this system user, then
// useDataPlace. Returns the choice.
DataPlace chooseDataPlace();
// dir() points at the place's folder for the rest of the run.
void useDataPlace(const DataPlace &place);
bool installed();
// What 在线升级 says in an installed program.
QString updatedByPackageManager();
// The folder of the running executables (pursewick and update).
QString exeDir();

// Today's date. A test may set another day to see the program follow the calendar;
// an invalid date goes back to the system clock.
QDate today();
void setToday(const QDate &date);

// The logged-in user, for the whole run.
struct Session {
    QString userName;      // exactly as typed at login
    qint32 loginCount = 0; // logins before this one
};
Session &session();

// The shared settings-file object (pointed at config.ini by the main window).
clsRWIni &ini();
// The per-user settings store, readable by this system user only: the running program's
// process id and window id, and the remembered logins' tokens.
void writeStoreValue(const QString &key, const QString &value);
void removeStoreValue(const QString &key);
QString readStoreValue(const QString &key);
// Drops the shared settings-file object; the next use creates it again.
void releaseShared();

} // namespace program

// Hands freed heap pages back to the system when a window goes away.
void trimWorkingSet();

} // namespace ht
