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
// The same from a file, refusing an empty or oversized one. A CSV of neither provider
// leaves its table for the column mapping.
Bill readFile(const QString &path, QList<QStringList> *table = nullptr);

// The columns of a CSV neither provider writes (a bank's card statement), as the user
// maps them once; -1 for none. The amount is one signed column, or income and expense
// columns; a direction column, when mapped, decides over the sign.
struct Columns {
    int date = -1, amount = -1, income = -1, expense = -1, direction = -1, remark = -1, id = -1;

    bool usable() const { return date >= 0 && (amount >= 0 || income >= 0 || expense >= 0); }
    // "0,3,-1,-1,-1,2,-1", as the settings keep it; none for anything else.
    QString text() const;
    static std::optional<Columns> fromText(const QString &text);
};
// The header row of such a CSV: the first row with three filled cells or more.
std::optional<qsizetype> plainHeader(const QList<QStringList> &table);
// The settings key of a header row, the same for every file with that row.
QString headerKey(const QStringList &header);
// Rows under the header by the mapping; the provider is named after the header row.
Bill fromColumns(const QList<QStringList> &table, qsizetype header, const Columns &map);

} // namespace ht::bill
