#include "foundation/Money.h"

#include <QTest>

#include <cmath>
#include <limits>

using ht::Money;

// Cents are 128 bits and QCOMPARE cannot print them: compare through qint64 or texts.
class TestMoney : public QObject {
    Q_OBJECT

private slots:
    void fromDouble()
    {
        // Halves go away from zero on the digits typed, not on the binary value stored.
        // clang-format off
        const std::pair<double, qint64> cases[] = {
            {0.0, 0}, {-0.0, 0}, {12.34, 1234}, {0.125, 13}, {-0.125, -13}, {1.005, 101}, {2.675, 268},
            {-2.675, -268}, {1.015, 102}, {1.0049, 100}, {0.1 + 0.2, 30}, {12345678.905, 1234567891},
            {0.004, 0}, {0.005, 1}, {std::nan(""), 0}};
        // clang-format on
        for (const auto &[value, cents] : cases)
            QCOMPARE(qint64(Money::fromDouble(value).cents()), cents);
        // What is stored as a double comes back as the same cents.
        for (qint64 cents = -100000; cents <= 100000; cents += 7)
            QCOMPARE(qint64(Money::fromDouble(Money::fromCents(cents).toDouble()).cents()), cents);
    }

    void parse()
    {
        // clang-format off
        const std::pair<const char *, qint64> accepted[] = {
            {"5", 500}, {"  12.5\t", 1250}, {"+3", 300}, {"-3.2", -320}, {"1,234,567", 123456700},
            {"1,234.56", 123456}, {".5", 50}, {"5.", 500}, {"1.5e3", 150000}, {"12e-1", 120},
            {"2E+2", 20000}, {"0.005", 1}, {"-0.005", -1}, {"0.00499999", 0}, {"-0.001", 0}, {"1.23456789", 123},
            {"000000000000000000000042", 4200}, {"5e-9", 0}, {"0e99999999999", 0},
            {"9999999999999.99", 999999999999999}}; // the largest amount taken
        // clang-format on
        for (const auto &[text, cents] : accepted) {
            const std::optional<Money> m = Money::parse(QString::fromUtf8(text));
            QVERIFY2(m, text);
            QCOMPARE(qint64(m->cents()), cents);
        }
        // clang-format off
        for (const char *text : {"", "   ", "abc", "1.2.3", "--1", "1e", "1e+", "￥5", ".", "-", ",123", "123,",
                                 "1,,234", "1,.5", "1,23", "0,005", "12,34", "1,2345", "1234,567", "1,234,56", "1.234,5",
                                 "1 234", "５", "12元", "10000000000000.01", "1e14", "1e99999999999"})
            QVERIFY2(!Money::parse(QString::fromUtf8(text)), text);
        // clang-format on
    }

    void texts()
    {
        const qint64 least = std::numeric_limits<qint64>::min();
        // clang-format off
        const std::tuple<qint64, QString, QString> cases[] = { // cents, text(), balanceText()
            {0, "0.00", "0.00"}, {1, "0.01", "0.01"}, {-1, "-0.01", "-0.01"}, {50, "0.50", "0.5"},
            {1205, "12.05", "12.05"}, {-1250, "-12.50", "-12.5"}, {74950, "749.50", "749.5"}, {20000, "200.00", "200"},
            {-20000, "-200.00", "-200.00"}, {99900, "999.00", "999"}, {123450, "1,234.50", "1234.5"},
            {100000000, "1,000,000.00", "1000000"}, {-123456789, "-1,234,567.89", "-1234567.89"},
            {1234567891000000, "12,345,678,910,000.00", "12345678910000"},
            {least, "-92,233,720,368,547,758.08", "-92233720368547758.08"}};
        // clang-format on
        for (const auto &[cents, text, balance] : cases) {
            QCOMPARE(Money::fromCents(cents).text(), text);
            QCOMPARE(Money::fromCents(cents).balanceText(), balance);
        }

        // Ten thousand of the largest amount a user can type pass what 64 bits hold; the
        // balance of one such income against them stays exact.
        const Money largest = Money::parse(QStringLiteral("9999999999999.99")).value();
        Money expense;
        for (int i = 0; i < 10000; ++i)
            expense = expense + largest;
        const Money balance = largest - expense;
        QCOMPARE(balance.balanceText(), QStringLiteral("-99989999999999900.01"));
        QVERIFY(balance + expense == largest);
    }
};

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
