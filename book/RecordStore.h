#pragma once

#include "book/BuiltIn.h"

#include "foundation/Money.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace ht {

class clsADO;

struct Category {
    qint64 id = 0;
    QString name;
};

struct Record {
    qint64 id = 0;
    QDateTime postdate;
    Money amount;
    QString category; // empty when the category is gone
    QString memo;
    int style = 0;
};

// The data side of the record dialog. The caller holds the connection open.
namespace RecordStore {

// The categories this user may use for a class: their own and the built-in ones.
QList<Category> categories(clsADO &db, const QString &user, int cls);
// The category of that name among those, or none.
std::optional<qint64> categoryId(clsADO &db, const QString &user, int cls, const QString &name);
// The user's record of that ID, or none when it is not theirs.
std::optional<Record> record(clsADO &db, const QString &user, qint64 id);
// Adds the record (id 0) or changes the user's record of that ID; the record's ID.
qint64 save(clsADO &db, const QString &user, const Record &r, qint64 typeId);
// Moves the user's record of that ID into their recycle bin; false when there was none.
bool remove(clsADO &db, const QString &user, qint64 id);

} // namespace RecordStore
} // namespace ht
