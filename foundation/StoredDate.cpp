#include "foundation/StoredDate.h"

#include <QString>

namespace ht {
namespace {

int code(char c)
{
    return static_cast<unsigned char>(c);
}

int code(QChar c)
{
    return c.unicode();
}

template <typename Char> bool isDigit(Char c)
{
    return code(c) >= '0' && code(c) <= '9';
}

template <typename Text> int digits(const Text &s, size_t from, size_t count)
{
    int v = 0;
    for (size_t i = from; i < from + count; ++i)
        v = v * 10 + code(s[i]) - '0';
    return v;
}

template <typename Text> std::optional<StoredDate> storedShape(const Text &s)
{
    const size_t n = size_t(s.size());
    if (n < 10 || code(s[4]) != '-' || code(s[7]) != '-')
        return std::nullopt;
    for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(s[i]))
            return std::nullopt;
    StoredDate d;
    d.year = digits(s, 0, 4);
    d.month = digits(s, 5, 2);
    d.day = digits(s, 8, 2);
    if (!QDate::isValid(d.year, d.month, d.day))
        return std::nullopt;
    if (n == 10)
        return d;
    if (n < 16 || (code(s[10]) != ' ' && code(s[10]) != 'T') || !isDigit(s[11]) || !isDigit(s[12]) || code(s[13]) != ':'
        || !isDigit(s[14]) || !isDigit(s[15]))
        return std::nullopt;
    d.hour = digits(s, 11, 2);
    d.minute = digits(s, 14, 2);
    if (n >= 19 && code(s[16]) == ':' && isDigit(s[17]) && isDigit(s[18]))
        d.second = digits(s, 17, 2);
    if (!QTime::isValid(d.hour, d.minute, d.second))
        return std::nullopt;
    return d;
}

} // namespace

QDateTime StoredDate::toDateTime() const
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

StoredDate StoredDate::from(const QDateTime &dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    return {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

std::optional<StoredDate> parseStoredDate(QStringView text)
{
    const QStringView s = text.trimmed();
    if (auto d = storedShape(s))
        return d;
    const QString t = s.toString();
    QDateTime v = QDateTime::fromString(t, Qt::ISODate);
    if (!v.isValid())
        v = QDateTime::fromString(t, QStringLiteral("yyyy/M/d H:mm:ss"));
    if (!v.isValid()) {
        const QDate day = QDate::fromString(t, QStringLiteral("yyyy/M/d"));
        if (day.isValid())
            v = QDateTime(day, QTime(0, 0));
    }
    if (!v.isValid())
        return std::nullopt;
    return StoredDate::from(v);
}

std::optional<StoredDate> parseStoredDate(std::string_view utf8)
{
    if (auto d = storedShape(utf8))
        return d;
    return parseStoredDate(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

} // namespace ht
