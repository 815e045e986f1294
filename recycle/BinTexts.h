#pragma once

#include "book/RecycleBin.h"

#include <QString>

namespace ht::recycle {

// What the bin window says of an entry: what it was, in words.
QString kindText(const RecycleBin::Entry &entry, const RecycleBin::Summary &summary);
// Its main texts: one record's date, category, amount and remark; a batch's count, dates
// and sums; a bank account's bank and numbers; a memo's first line.
QString mainText(const RecycleBin::Entry &entry, const RecycleBin::Summary &summary);
// The first line of a memo, cut to a list's width.
QString firstLine(const QString &text);
// A record's amount as the lists show it.
QString amountText(double money);

// What came back from the entries restored together, with how many of them the user will
// find under the class's "其他" category; their classes name the categories.
struct RestoredTotal {
    int records = 0, banks = 0, memos = 0;
    int recategorized = 0;
    bool income = false, expense = false; // the classes among the records recategorized

    void add(const RecycleBin::Entry &entry, const RecycleBin::Restored &restored);
    bool isEmpty() const { return records + banks + memos == 0; }
};
QString restoredText(const RestoredTotal &total);
// What the status bar says right after a delete.
QString deletedText(const RecycleBin::Entry &entry);

} // namespace ht::recycle
