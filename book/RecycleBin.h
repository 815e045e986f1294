#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

#include <optional>

namespace ht {

class clsADO;

// The data side of the recycle bin, on an open connection. A delete moves what it takes
// into one entry of the user's bin; restoring puts it back as it was, erasing ends it.
// Each write is one transaction; every statement matches the user.
namespace RecycleBin {

// Brings a database from before the bin up to date, in one transaction; the writes below
// do it themselves, so a restored older backup needs nothing else.
void upgrade(clsADO &db);

enum class Kind { Record, Bank, Memo };

// The user's rows of that kind picked by the condition on their table AS A (" AND ..."
// with its values) go into a new entry made by that command; the number moved.
qint64 move(clsADO &db, Kind kind, const QString &user, const QString &command, const QString &condition,
            const QVariantList &values);
// The same inside the caller's transaction, after upgrade(); announces nothing. The
// entry made, none when nothing was picked, and the number moved into it.
struct Moved {
    qint64 entry = 0;
    qint64 count = 0;
};
Moved moveWithin(clsADO &db, Kind kind, const QString &user, const QString &command, const QString &condition,
                 const QVariantList &values);

struct Entry {
    qint64 id = 0;
    QString kind;    // record, bank or memo
    QString command; // the delete command, as the user saw it
    QDateTime deletedAt;
    int count = 0;
};
// The user's entries, newest first.
QList<Entry> entries(clsADO &db, const QString &user);

struct BinRecord {
    qint64 id = 0;
    QDateTime postdate;
    double money = 0;
    int style = 0;
    QString category; // empty when the category is gone
    QString memo;
};
struct Restored {
    int records = 0;                 // or bank accounts or memos
    int recategorized = 0;           // whose category was gone and who came back under "其他"
    int recategorizedIn[2] = {0, 0}; // the same by class: 0 expense, 1 income
};
// Puts the user's entry back with the same IDs and fields; none when it is not theirs.
std::optional<Restored> restore(clsADO &db, const QString &user, qint64 entry);
// Erases the user's entry for good; false when it is not theirs.
bool erase(clsADO &db, const QString &user, qint64 entry);
// Erases all the user's entries; how many there were.
int eraseAll(clsADO &db, const QString &user);
// Erases the user's entries deleted more than that many days before now (0 keeps them all);
// the number of entries erased.
int expire(clsADO &db, const QString &user, int days, const QDateTime &now = QDateTime::currentDateTime());

struct BinItem {
    qint64 id = 0;
    QString title;   // a bank account's bank, a memo's content
    QString account; // a bank account's account and card
    QString card;
    double money = 0; // a bank account's balance
    QDateTime when;   // a bank account's opening, a memo's time
};
// At most limit bank accounts or memos of the user's entry, in ID order.
QList<BinItem> firstItems(clsADO &db, const QString &user, qint64 entry, int limit);
// At most limit records of the user's entry, in date order.
QList<BinRecord> firstRecords(clsADO &db, const QString &user, qint64 entry, int limit);

// What the bin's list says of an entry without loading its rows.
struct Summary {
    int count[2] = {0, 0};           // records of each class: 0 expense, 1 income
    qint64 cents[2] = {0, 0};        // their sums, each amount rounded to the cent as the lists do
    QDateTime first, last;           // the records' dates
    std::optional<BinRecord> record; // the record of an entry of one
    std::optional<BinItem> item;     // the first bank account or memo
};
// The summaries of the user's entries by their ID, from a few aggregate queries.
QHash<qint64, Summary> summaries(clsADO &db, const QString &user);

// The user's entry, if it is still in the bin.
std::optional<Entry> entry(clsADO &db, const QString &user, qint64 id);

} // namespace RecycleBin
} // namespace ht
