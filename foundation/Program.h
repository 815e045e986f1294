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

// The folder that holds the running executable, unless a test has pointed it elsewhere.
QString dir();
QString pathIn(const QString &fileName);
void setDir(const QString &folder);

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
