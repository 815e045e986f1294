#pragma once

#include <QString>
#include <QStringList>

namespace ht {

class clsADO;

// The data side of user management and the password change, on an open connection.
// Names are matched ignoring letter case; passwords are stored as hashes of exactly what was typed.
namespace UserStore {

QStringList names(clsADO &db);
bool exists(clsADO &db, const QString &name);
void add(clsADO &db, const QString &name, const QString &password);
// Removes the login and the remembered login; the user's records stay, so the name
// registered again has them back. False when no such user is registered.
bool remove(clsADO &db, const QString &name);
// Also ends the user's remembered login.
void setPassword(clsADO &db, const QString &name, const QString &password);

} // namespace UserStore
} // namespace ht
