#include "foundation/Money.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace ht {
namespace {

// Ten trillion in cents: anything larger is a typing accident, not an amount.
constexpr qint64 parseLimitCents = qint64(10'000'000'000'000) * 100;
constexpr qint64 maxCents = std::numeric_limits<qint64>::max();

// digits × 10^scale, rounded to a whole number with halves away from zero, all in
// decimal so that no binary fraction can tip a half. Empty when above the limit.
std::optional<qint64> roundDecimal(std::string_view digits, qint64 scale, quint64 limit)
{
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    if (digits.empty())
        return 0;

    const qint64 length = qint64(digits.size());
    const qint64 kept = length + scale; // digits left of the point after scaling
    if (kept > 19)
        return std::nullopt;

    quint64 value = 0;
    for (qint64 i = 0; i < kept; ++i) {
        const quint64 digit = i < length ? quint64(digits[size_t(i)] - '0') : 0;
        if (value > (limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    // Only the first dropped digit decides: a half rounds up in magnitude.
    if (kept >= 0 && kept < length && digits[size_t(kept)] >= '5') {
        if (value + 1 > limit)
            return std::nullopt;
        ++value;
    }
    return qint64(value);
}

qint64 signedCents(quint64 magnitude, bool negative)
{
    return negative ? -qint64(magnitude) : qint64(magnitude);
}

QString plainDecimal(Money::Cents cents, bool grouped)
{
    using Magnitude = unsigned __int128;
    const Magnitude mag = cents < 0 ? Magnitude(0) - Magnitude(cents) : Magnitude(cents);
    char buf[64];
    char *p = buf + sizeof buf;
    const auto put = [&p](char c) { *--p = c; };
    Magnitude v = mag;
    put(char('0' + int(v % 10)));
    v /= 10;
    put(char('0' + int(v % 10)));
    v /= 10;
    put('.');
    int run = 0;
    do {
        if (grouped && run == 3) {
            put(',');
            run = 0;
        }
        put(char('0' + int(v % 10)));
        v /= 10;
        ++run;
    } while (v != 0);
    if (cents < 0)
        put('-');
    return QString::fromLatin1(p, int(buf + sizeof buf - p));
}

} // namespace

Money Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        return Money();
    // The common case: a value clearly away from a half cent rounds the same way
    // as its decimal text would, and needs no formatting.
    const double scaled = value * 100.0;
    if (std::fabs(scaled) < 1e15) {
        const double whole = std::round(scaled);
        const double distanceFromHalf = std::fabs(std::fabs(scaled - whole) - 0.5);
        if (distanceFromHalf > std::fabs(scaled) * 1e-13 + 1e-9)
            return Money(qint64(whole));
    }

    // Near a half cent: decide on the 15 significant digits the user typed, so that
    // 1.005 (stored as 1.00499999…) becomes 1.01.
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view text(buf, size_t(res.ptr - buf));
    const size_t e = text.find('e');
    std::string mantissa;
    mantissa.reserve(16);
    for (char c : text.substr(0, e)) {
        if (c != '.')
            mantissa += c;
    }
    int exponent = 0;
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText.front() == '+')
        expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);

    // mantissa holds d.ddd… × 10^exponent; in cents that is digits × 10^(exponent - 14 + 2).
    const auto cents = roundDecimal(mantissa, qint64(exponent) - 14 + 2, quint64(maxCents));
    const bool negative = value < 0;
    if (!cents)
        return Money(negative ? -maxCents : maxCents);
    return Money(signedCents(quint64(*cents), negative));
}

std::optional<Money> Money::parse(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    const auto at = [&](qsizetype k) { return k < n ? t.at(k).unicode() : char16_t(0); };
    const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };

    bool negative = false;
    if (at(i) == u'+' || at(i) == u'-') {
        negative = at(i) == u'-';
        ++i;
    }

    std::string digits;
    digits.reserve(size_t(n));
    qint64 fractionLength = 0;

    // Integer part: commas group the digits in threes, as the money text shows them, so
    // "1,23" is a slip and not 123, and "0,005" a decimal comma, not five.
    qsizetype group = 0; // digits since the start or the last comma
    bool grouped = false;
    while (i < n) {
        const char16_t c = at(i);
        if (isDigit(c)) {
            digits += char(c);
            ++group;
            ++i;
        } else if (c == u',' && group >= 1 && group <= 3 && (grouped ? group == 3 : digits.front() != '0')) {
            grouped = true;
            group = 0;
            ++i;
        } else {
            break;
        }
    }
    if (grouped && group != 3)
        return std::nullopt;
    const bool hasIntegerDigits = !digits.empty();
    bool hasFractionDigits = false;
    if (at(i) == u'.') {
        ++i;
        while (isDigit(at(i))) {
            digits += char(at(i));
            ++fractionLength;
            hasFractionDigits = true;
            ++i;
        }
    }
    if (!hasIntegerDigits && !hasFractionDigits)
        return std::nullopt;

    qint64 exponent = 0;
    if (at(i) == u'e' || at(i) == u'E') {
        ++i;
        bool expNegative = false;
        if (at(i) == u'+' || at(i) == u'-') {
            expNegative = at(i) == u'-';
            ++i;
        }
        if (!isDigit(at(i)))
            return std::nullopt;
        while (isDigit(at(i))) {
            // Past this size the answer is already zero or absurd; stop growing.
            if (exponent < 1'000'000)
                exponent = exponent * 10 + (at(i) - u'0');
            ++i;
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != n)
        return std::nullopt;

    const auto cents = roundDecimal(digits, exponent - fractionLength + 2, quint64(parseLimitCents));
    if (!cents)
        return std::nullopt;
    return Money(signedCents(quint64(*cents), negative));
}

double Money::toDouble() const
{
    return double(m_cents) / 100.0;
}

QString Money::text() const
{
    return plainDecimal(m_cents, true);
}

QString Money::balanceText() const
{
    if (m_cents == 0)
        return QStringLiteral("0.00");
    QString s = plainDecimal(m_cents, false);
    if (m_cents % 100 == 0)
        return m_cents < 0 ? s : s.chopped(3);
    if (m_cents % 10 == 0)
        s.chop(1);
    return s;
}

} // namespace ht
