#pragma once

#include <QString>

#include <optional>

namespace ht {

class clsADO;

// The data side of the category manager and its dialog, on an open connection. Listing
// is RecordStore::categories: the user's own categories of a class and the built-in ones.
namespace TypesStore {

// A types table from before categories had owners gets them: everything belongs to
// admin but the fifteen built-in names. False when the table has owners already.
bool upgradeOwners(clsADO &db);
// A new database gets the built-in categories, in their order.
void addBuiltIns(clsADO &db);

struct Type {
    QString name;
    int cls = 0;
    bool builtIn = false;
};
// A category this user sees (their own or a built-in one); none for any other.
std::optional<Type> visible(clsADO &db, const QString &user, qint64 id);

// Whether the user sees another category of that class and name (letter case ignored),
// leaving out the one being renamed.
bool nameTaken(clsADO &db, const QString &user, int cls, const QString &name, qint64 exceptId = 0);

qint64 add(clsADO &db, const QString &user, int cls, const QString &name);
// Only the user's own categories change; false when it is not theirs.
bool rename(clsADO &db, const QString &user, qint64 id, const QString &name);
bool remove(clsADO &db, const QString &user, qint64 id);

} // namespace TypesStore
} // namespace ht
