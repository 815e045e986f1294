#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>
#include <string_view>

namespace ht {

// A date-time as the database stores it: "yyyy-MM-dd HH:mm:ss" in local time.
struct StoredDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

    qint32 dayNumber() const { return year * 10000 + month * 100 + day; }      // yyyymmdd
    qint32 timeNumber() const { return hour * 10000 + minute * 100 + second; } // hhmmss
    QDateTime toDateTime() const;
    static StoredDate from(const QDateTime &dt);
};

// The one reader of stored dates. The stored shape "yyyy-MM-dd[ HH:mm[:ss]]" is read
// without Qt's general parser, since the lists read it for every row; ISO texts and
// "yyyy/M/d[ H:mm:ss]" are accepted too. None for anything else or an impossible date.
std::optional<StoredDate> parseStoredDate(QStringView text);
std::optional<StoredDate> parseStoredDate(std::string_view utf8);

} // namespace ht
