#pragma once

#include "backup/ListTable.h"

#include <QString>

#include <functional>

namespace ht::backup {

struct ExportOutcome {
    enum Kind { Written, Cancelled, Failed };
    Kind kind = Written;
    int code = 0;        // the writer's error number when failed
    QString description; // and its text
};

// Told how many rows are written of how many; false stops the export.
using ExportProgress = std::function<bool(qsizetype done, qsizetype total)>;

// Writes the table to an .xlsx at path: the headers in row 1 of "Sheet1", the rows from
// row 2, columns as wide as their longest text. Amounts in the lists' money form become
// numbers shown in that same form, so a spreadsheet can sum them. The file is written
// beside path and renamed into place: cancelled or failed, nothing is left under path.
ExportOutcome writeXlsx(const QString &path, const ListTable &table, const ExportProgress &progress = {});

// A date or date-time as the locale writes it, made a part of a file name: without
// separators, blanks or the morning/afternoon marks.
QString makeFilename(QString dateText);

} // namespace ht::backup
