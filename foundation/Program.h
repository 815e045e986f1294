#pragma once

#include "SqlFilter.h"

#include <QString>

namespace ht {

class clsADO;
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

// Values that one window hands to the next for the whole run.
struct Session {
    QString userName;      // exactly as typed at login
    qint32 loginCount = 0; // logins before this one
    qint64 editId = 0;     // row a dialog modifies; 0 adds a row
    qint16 frmStyle = 0;   // 1 income, 0 expense (and the dialogs' other modes)
    SqlFilter whereStr;    // the ledger's current filter
    SqlFilter memoWhere;
    qint32 memoPage = 0;
};
Session &session();

// The shared data store, created on first use.
clsADO &db();
// The shared settings-file object (pointed at config.ini by the main window).
clsRWIni &ini();
// The per-user settings store: the running program's process id and window id.
void writeStoreValue(const QString &key, const QString &value);
QString readStoreValue(const QString &key);
// Drops the shared objects; the next use creates them again.
void releaseShared();

} // namespace program

// Hands freed heap pages back to the system when a window goes away.
void trimWorkingSet();

} // namespace ht
