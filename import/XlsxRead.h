#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace ht::bill {

// The cells of a workbook's first sheet as texts, row by row, each cell at its column;
// numbers as written in the file. None, with the reason in Chinese, for a damaged file.
std::optional<QList<QStringList>> readXlsx(const QByteArray &bytes, QString *error);

} // namespace ht::bill
