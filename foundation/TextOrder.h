#pragma once

#include <QCollator>
#include <QString>

namespace ht {

// The one order for texts in lists: Chinese collation (pinyin), and texts it calls
// equal still put in one fixed order.
const QCollator &chineseCollator();
int compareTexts(const QString &a, const QString &b);
// Bytes that compare (as unsigned bytes, shorter first) in the order compareTexts gives,
// so that the engine can keep an index in the lists' text order.
QByteArray textSortKey(const QString &text);

} // namespace ht
