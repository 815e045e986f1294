#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace ht {

// "2024年03月05日 08点07分"; empty for a value that is not a date.
QString chsDateTime(const QVariant &dt);
// "2024年03月05日 " with the blank kept; empty for a value that is not a date.
QString chsDate(const QVariant &dt);
QString chsDate(int year, int month, int day);
// "星期天" … "星期六"
QString chsWeek(const QVariant &dt);
// The current time of day, "HH:mm:ss" on the 24-hour clock.
QString fullTime();
QString fullTime(const QTime &time);

// A date-time value, or its stored text (see parseStoredDate); invalid for anything else.
QDateTime toDateTime(const QVariant &dt);

} // namespace ht
