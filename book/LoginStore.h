#pragma once

#include <QList>
#include <QString>

namespace ht {

class clsADO;

struct RememberedUser {
    QString name;
    bool focus = false;  // the box was ticked at the last login
    bool usable = false; // and the remembered login still lets the user in from here
};

enum class LoginResult { Ok, NoSuchUser, WrongPassword };

// The data side of the login window, on an open connection.
namespace LoginStore {

// A remembered login lets the user in for this long after it was made.
inline constexpr int tokenDays = 30;

// Newest first. Throws DbError (no such column) on a database from before remembered logins.
QList<RememberedUser> remembered(clsADO &db);
// Adds the remembered-login columns to an older autouser table.
void upgradeAutouser(clsADO &db);
// The remembered row of that name, or a row with focus false when there is none.
RememberedUser rememberedRow(clsADO &db, const QString &name);

// Where this computer keeps the token of a remembered user.
QString tokenKey(const QString &storedName);
// Ends a remembered login, in the database and on this computer.
void revoke(clsADO &db, const QString &storedName);

struct LoginOutcome {
    LoginResult result = LoginResult::NoSuchUser;
    QString userName;      // the name as stored for the user that matched, whatever was typed
    qint32 loginCount = 0; // logins before this one
    bool readOnly = false; // the database could not be written: the user may still look
};

enum class Proof { Password, Remembered };

// Checks the name (cleaned, ignoring letter case) and the password (exactly) or the
// remembered login; on success counts the login, replaces a password stored as typed by
// its hash and remembers (with a new token) or forgets the user, in one transaction. A
// database that may only be read still lets the user in, without those writes.
LoginOutcome login(clsADO &db, const QString &name, const QString &password, bool remember,
                   Proof proof = Proof::Password);

} // namespace LoginStore
} // namespace ht
