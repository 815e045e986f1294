#include "Money.h"

#include <QTest>

using ht::Money;

class TestMoney : public QObject {
    Q_OBJECT
private slots:
    void fromDouble_data();
    void fromDouble();
    void parse_data();
    void parse();
    void text_data();
    void text();
    void balanceText_data();
    void balanceText();
    void storedAmountsRoundTrip();
};

void TestMoney::fromDouble_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("cents");
    QTest::newRow("zero") << 0.0 << qint64(0);
    QTest::newRow("negative zero") << -0.0 << qint64(0);
    QTest::newRow("plain") << 12.34 << qint64(1234);
    QTest::newRow("binary half 0.125") << 0.125 << qint64(13);
    QTest::newRow("negative half") << -0.125 << qint64(-13);
    QTest::newRow("typed 1.005") << 1.005 << qint64(101);
    QTest::newRow("typed 2.675") << 2.675 << qint64(268);
    QTest::newRow("typed -2.675") << -2.675 << qint64(-268);
    QTest::newRow("typed 1.015") << 1.015 << qint64(102);
    QTest::newRow("below half") << 1.0049 << qint64(100);
    QTest::newRow("sum noise") << 0.1 + 0.2 << qint64(30);
    QTest::newRow("large") << 12345678.91 << qint64(1234567891);
    QTest::newRow("large half") << 12345678.905 << qint64(1234567891);
    QTest::newRow("tiny") << 0.004 << qint64(0);
    QTest::newRow("half cent") << 0.005 << qint64(1);
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(0);
}

void TestMoney::fromDouble()
{
    QFETCH(double, value);
    QFETCH(qint64, cents);
    QCOMPARE(Money::fromDouble(value).cents(), cents);
}

void TestMoney::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("cents");
    const auto ok = [](const char *name, const QString &text, qint64 cents) {
        QTest::newRow(name) << text << true << cents;
    };
    const auto bad = [](const char *name, const QString &text) { QTest::newRow(name) << text << false << qint64(0); };

    ok("integer", "5", 500);
    ok("decimals", "12.34", 1234);
    ok("blanks trimmed", "  12.5\t", 1250);
    ok("plus", "+3", 300);
    ok("minus", "-3.2", -320);
    ok("grouped", "1,234,567", 123456700);
    ok("grouped decimals", "1,234.56", 123456);
    ok("loose grouping", "12,34", 123400);
    ok("leading point", ".5", 50);
    ok("trailing point", "5.", 500);
    ok("exponent", "1.5e3", 150000);
    ok("negative exponent", "12e-1", 120);
    ok("exponent sign plus", "2E+2", 20000);
    ok("half up", "0.005", 1);
    ok("half away from zero", "-0.005", -1);
    ok("below half", "0.00499999", 0);
    ok("large half", "12345678.905", 1234567891);
    ok("many decimals", "1.23456789", 123);
    ok("leading zeros", "000000000000000000000042", 4200);
    ok("tiny exponent", "5e-9", 0);
    ok("negative to zero", "-0.001", 0);
    ok("at the limit", "10000000000000", qint64(1000000000000000));
    ok("zero exponent huge", "0e99999999999", 0);
    bad("empty", "");
    bad("blank", "   ");
    bad("letters", "abc");
    bad("two points", "1.2.3");
    bad("double sign", "--1");
    bad("bare exponent", "1e");
    bad("exponent sign only", "1e+");
    bad("currency sign", "￥5");
    bad("point only", ".");
    bad("sign only", "-");
    bad("leading comma", ",123");
    bad("trailing comma", "123,");
    bad("double comma", "1,,234");
    bad("comma before point", "1,.5");
    bad("comma after point", "1.234,5");
    bad("inner blank", "1 234");
    bad("full-width digit", "５");
    bad("above the limit", "10000000000000.01");
    bad("above by exponent", "1e14");
    bad("huge exponent", "1e99999999999");
    bad("trailing text", "12元");
}

void TestMoney::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(qint64, cents);
    const std::optional<Money> m = Money::parse(text);
    QCOMPARE(m.has_value(), valid);
    if (valid)
        QCOMPARE(m->cents(), cents);
}

void TestMoney::text_data()
{
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0.00";
    QTest::newRow("half") << qint64(50) << "0.50";
    QTest::newRow("one cent") << qint64(1) << "0.01";
    QTest::newRow("minus one cent") << qint64(-1) << "-0.01";
    QTest::newRow("no group") << qint64(99900) << "999.00";
    QTest::newRow("one group") << qint64(123450) << "1,234.50";
    QTest::newRow("two groups") << qint64(-123456789) << "-1,234,567.89";
    QTest::newRow("exact groups") << qint64(100000000) << "1,000,000.00";
    QTest::newRow("big total") << qint64(1234567891000) << "12,345,678,910.00";
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "-92,233,720,368,547,758.08";
}

void TestMoney::text()
{
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(Money::fromCents(cents).text(), text);
}

void TestMoney::balanceText_data()
{
    QTest::addColumn<qint64>("cents");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0.00";
    QTest::newRow("one trailing zero") << qint64(74950) << "749.5";
    QTest::newRow("whole") << qint64(20000) << "200";
    QTest::newRow("whole negative") << qint64(-20000) << "-200.00";
    QTest::newRow("tenths") << qint64(1250) << "12.5";
    QTest::newRow("tenths negative") << qint64(-1250) << "-12.5";
    QTest::newRow("no grouping") << qint64(1234567891) << "12345678.91";
    QTest::newRow("huge never exponent") << qint64(1234567891000000) << "12345678910000";
    QTest::newRow("cent") << qint64(1) << "0.01";
    QTest::newRow("minus cent") << qint64(-1) << "-0.01";
    QTest::newRow("below one") << qint64(50) << "0.5";
    QTest::newRow("hundredths") << qint64(1205) << "12.05";
}

void TestMoney::balanceText()
{
    QFETCH(qint64, cents);
    QFETCH(QString, text);
    QCOMPARE(Money::fromCents(cents).balanceText(), text);
}

// What is stored as a double comes back as the same cents, and sums stay exact.
void TestMoney::storedAmountsRoundTrip()
{
    Money total;
    for (qint64 cents = -100000; cents <= 100000; cents += 7) {
        const Money m = Money::fromCents(cents);
        QCOMPARE(Money::fromDouble(m.toDouble()).cents(), cents);
        total += m;
    }
    qint64 expected = 0;
    for (qint64 cents = -100000; cents <= 100000; cents += 7)
        expected += cents;
    QCOMPARE(total.cents(), expected);
    QCOMPARE(Money::fromCents(1234).toDouble(), 12.34);
}

QTEST_GUILESS_MAIN(TestMoney)
#include "tst_money.moc"
