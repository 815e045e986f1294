#pragma once

#include <QList>
#include <QString>

namespace ht {

class clsADO;

struct RememberedUser {
    QString name;
    QString password;
    bool focus = false; // the password is remembered and filled in
};

enum class LoginResult { Ok, NoSuchUser, WrongPassword };

// The data side of the login window, on an open connection.
namespace LoginStore {

// Newest first. Throws DbError (no such column) on a database from before remembered logins.
QList<RememberedUser> remembered(clsADO &db);
// Adds the remembered-login columns to an older autouser table.
void upgradeAutouser(clsADO &db);
// The remembered row of that name, or a row with focus false when there is none.
RememberedUser rememberedRow(clsADO &db, const QString &name);

struct LoginOutcome {
    LoginResult result = LoginResult::NoSuchUser;
    QString userName;      // the name as stored for the user that matched, whatever was typed
    qint32 loginCount = 0; // logins before this one
    bool readOnly = false; // the database could not be written: the user may still look
};

// Checks the name (cleaned, ignoring letter case) and the password (exactly); on
// success counts the login and remembers or forgets the user, in one transaction. A
// database that may only be read still lets the user in, without those writes.
LoginOutcome login(clsADO &db, const QString &name, const QString &password, bool remember);

} // namespace LoginStore
} // namespace ht
