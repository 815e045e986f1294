#pragma once

#include "book/BillRow.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace ht {

class clsADO;

// The data side of the bill import, on an open connection: what was imported already,
// the user's category rules, the writing of an import and its undoing. Every statement
// matches the user.
namespace ImportStore {

// Brings a database from before the bill import up to date, in one transaction.
void upgrade(clsADO &db);

struct Rule {
    QString pattern; // found in the counterparty or the goods, letter case ignored
    int cls = 0;
    QString category;
};
QList<Rule> rules(clsADO &db, const QString &user);
// Replaces the user's rules, in their order.
void saveRules(clsADO &db, const QString &user, const QList<Rule> &rules);

// What the import proposes for a row.
struct Plan {
    QString category; // empty for a row that is not imported
    QString why;      // the rule, the earlier record or the default that chose it
    bool duplicate = false;
};
// For each row: whether it came in before (or twice in this file) and its category: by
// the first matching rule, else the category of the last record imported from the same
// counterparty, else the built-in "其他开支"/"其他收入". A row already imported gets
// its reason into skipped.
QList<Plan> plan(clsADO &db, const QString &user, const QString &provider, QList<BillRow> &rows);

struct Item {
    BillRow row;
    QString category;
};
// Asked now and then with the rows written so far; false cancels.
using Progress = std::function<bool(int done, int total)>;
// Writes the items in one transaction, leaving out any imported before; the number of
// records added, or none when cancelled (then nothing is written).
std::optional<int> write(clsADO &db, const QString &user, const QString &provider, const QList<Item> &items,
                         const Progress &progress = {});

struct Undone {
    int removed = 0;
    int kept = 0; // changed or deleted by the user since
};
// Removes the records of the user's last import that are as it wrote them; none when the
// user has no import left to undo.
std::optional<Undone> undoLast(clsADO &db, const QString &user);

} // namespace ImportStore
} // namespace ht
