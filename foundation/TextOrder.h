#pragma once

#include <QCollator>
#include <QString>

namespace ht {

// The one order for texts in lists: Chinese collation (pinyin), and texts it calls
// equal still put in one fixed order.
const QCollator &chineseCollator();
int compareTexts(const QString &a, const QString &b);

} // namespace ht
