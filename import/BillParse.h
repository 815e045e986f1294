#pragma once

#include "book/BillRow.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ht::bill {

// A statement larger than this is no statement of a household's month or year.
inline constexpr qint64 maxFileBytes = 20 * 1024 * 1024;

// Text by its byte-order mark, else as UTF-8 when it is valid UTF-8, else as GB18030
// (which covers GBK).
QString decode(const QByteArray &bytes);

// Comma-separated lines; quoted fields may hold commas, doubled quotes and line breaks.
QList<QStringList> splitCsv(const QString &text);

// An amount as the statements write it: "¥4.50", "￥1,234.00", " 12.3 ". Only positive
// amounts; none for anything else.
std::optional<Money> amount(const QString &text);
// "2025-01-02 03:04:05", "2025/1/2 3:04", a day alone, or a spreadsheet day number.
std::optional<QDateTime> moment(const QString &text);

// A statement's table: the header row is found by its column names wherever it is.
Bill fromTable(const QList<QStringList> &table);
// A file's bytes, CSV or .xlsx, recognised by their contents.
Bill parse(const QByteArray &bytes);
// The same from a file, refusing an empty or oversized one.
Bill readFile(const QString &path);

} // namespace ht::bill
