#pragma once

#include <QString>

#include <compare>
#include <optional>

namespace ht {

// An exact amount of money in cents. Totals and differences never lose a cent: the
// cents are kept in 128 bits, so even millions of the largest amounts a user can type
// add up exactly.
class Money {
public:
    using Cents = __int128;

    constexpr Money() = default;
    static constexpr Money fromCents(Cents cents) { return Money(cents); }
    // A stored floating-point amount, rounded to cents with halves away from zero.
    static Money fromDouble(double value);
    // Typed text: optional sign, digits with optional "," grouping by threes, optional "." and
    // decimals, optional exponent; blanks around it are ignored. Rounded to cents,
    // halves away from zero. No value for anything else or an absurd size.
    static std::optional<Money> parse(const QString &text);

    constexpr Cents cents() const { return m_cents; }
    double toDouble() const;

    // "1,234.50", "-0.50", "0.00"
    QString text() const;
    // The balance shape: no grouping, no trailing zeros, no point for a whole
    // positive amount ("749.5", "200"), ".00" kept on a whole negative ("-200.00"),
    // and "0.00" for zero.
    QString balanceText() const;
    // A money text as the lists and totals show it: "￥" before it.
    static QString yuan(const QString &amountText) { return QStringLiteral("￥") + amountText; }

    constexpr Money operator+(Money o) const { return Money(m_cents + o.m_cents); }
    constexpr Money operator-(Money o) const { return Money(m_cents - o.m_cents); }
    constexpr Money &operator+=(Money o)
    {
        m_cents += o.m_cents;
        return *this;
    }
    constexpr auto operator<=>(const Money &) const = default;

private:
    constexpr explicit Money(Cents cents) : m_cents(cents) { }
    Cents m_cents = 0;
};

} // namespace ht
