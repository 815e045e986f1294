#pragma once

#include "backup/ListTable.h"

#include <QString>

#include <functional>

class QPainter;
class QPrinter;

namespace ht::backup {

// What the top of every page names and the foot of the list sums.
struct PrintHeading {
    QString title; // the list's name
    QString user;
    QString period;  // the period or query the list shows
    QString printed; // the day it is printed
    QString total;   // the list's total as the main window shows it
};

// A list laid out on A4 pages, in twips (1440 to the inch): on every page the heading,
// the column headers and as many rows as fit; after the last row the total; at the
// foot the page number. Pages are drawn one at a time, when they are needed.
class ListPrintout {
public:
    static constexpr int pageWidth = 11907;
    static constexpr int pageHeight = 16840;

    ListPrintout(ListTable table, PrintHeading heading);

    int pageCount() const { return m_pages; }
    // Draws a page (from 0) with the painter's unit one twip and its origin the page's corner.
    void paintPage(QPainter &painter, int page) const;

private:
    ListTable m_table;
    PrintHeading m_heading;
    QList<int> m_columnLeft; // twips from the left margin
    QList<int> m_columnWidth;
    int m_rowsPerPage = 1;
    int m_pages = 1;
};

// Prints every page to the printer (or PDF file) it was set up for. progress is told the
// page before each page is drawn; false cancels, and a cancelled PDF file is removed.
using PrintProgress = std::function<bool(int page, int pages)>;
enum class PrintOutcome { Printed, Cancelled, Failed };
PrintOutcome printList(QPrinter &printer, const ListPrintout &printout, const PrintProgress &progress = {});

} // namespace ht::backup
