#pragma once

#include <QList>
#include <QStringList>

#include <vector>

class QTreeView;

namespace ht::backup {

// What a list shows, taken out of its view for export and printing: the visible columns
// (width not 0) in the order shown, and the rows in list order, texts as displayed.
struct ListTable {
    QStringList headers;
    QList<int> widths;     // the columns' widths in the list, in pixels
    QList<int> alignments; // Qt::Alignment of each column's cells
    std::vector<QStringList> rows;
};

ListTable takeList(const QTreeView &view, bool selectedOnly);

// The width of a text in characters, as a spreadsheet column counts it: a wide (CJK)
// character counts two.
int displayWidth(const QString &text);

} // namespace ht::backup
