#include "LedgerStore.h"
#include "TestSupport.h"
#include "clsADO.h"

#include <QTest>

#include <memory>

using ht::LedgerModel;
using ht::LedgerRow;
using ht::LedgerStore::load;
using ht::LedgerStore::loadInto;
using ht::SqlFilter;

namespace {

// Built-in category IDs of the shipped database.
constexpr qint64 eatType = 8;    // 吃, expense
constexpr qint64 salaryType = 10; // 工资, income
constexpr qint64 goneType = 999;  // a deleted category

qint64 addRecord(ht::clsADO &db, const QString &user, int style, const QString &postdate, double money,
                 const QVariant &typeId = eatType, const QVariant &memo = QString())
{
    return db.insert(QStringLiteral("pursewicks"), {{QStringLiteral("username"), user},
                                                    {QStringLiteral("typeid"), typeId},
                                                    {QStringLiteral("postdate"), postdate},
                                                    {QStringLiteral("money"), money},
                                                    {QStringLiteral("style"), style},
                                                    {QStringLiteral("memo"), memo}});
}

QList<qint64> ids(const std::vector<LedgerRow> &rows)
{
    QList<qint64> out;
    for (const LedgerRow &r : rows)
        out << r.id;
    return out;
}

QStringList memos(const std::vector<LedgerRow> &rows)
{
    QStringList out;
    for (const LedgerRow &r : rows)
        out << r.memo;
    return out;
}

// Records around the period edges; each memo is its own postdate.
const QStringList periodDates{
    QStringLiteral("2023-12-31 23:59:59"), QStringLiteral("2024-01-01 00:00:00"),
    QStringLiteral("2024-02-29 23:59:59"), QStringLiteral("2024-03-01 00:00:00"),
    QStringLiteral("2024-03-14 12:00:00"), QStringLiteral("2024-03-15 00:00:00"),
    QStringLiteral("2024-03-15 23:59:59"), QStringLiteral("2024-03-16 00:00:00"),
    QStringLiteral("2024-03-31 23:59:59"), QStringLiteral("2024-04-01 00:00:00"),
    QStringLiteral("2024-12-31 23:59:59"), QStringLiteral("2025-01-01 00:00:00"),
};

} // namespace

class TestLedgerStore : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void onlyThatUsersRowsOfThatClass();
    void orderedByDateThenId();
    void missingCategoryStillCounts();
    void classAboveOneIsIncome();
    void exactLargeTotal();
    void quoteInUserNameIsBound();
    void periods_data();
    void periods();
    void periodFilterShape();
    void loadIntoKeepsModelSort();

private:
    std::unique_ptr<ht::test::ProgramFolder> m_folder;
    ht::clsADO *m_db = nullptr;
};

void TestLedgerStore::init()
{
    m_folder = std::make_unique<ht::test::ProgramFolder>();
    m_db = &m_folder->openDb();
}

void TestLedgerStore::cleanup()
{
    m_db = nullptr;
    m_folder.reset();
}

void TestLedgerStore::onlyThatUsersRowsOfThatClass()
{
    const qint64 a = addRecord(*m_db, QStringLiteral("Alice"), 0, QStringLiteral("2024-03-05 08:07:00"), 12.5);
    addRecord(*m_db, QStringLiteral("Bob"), 0, QStringLiteral("2024-03-05 09:00:00"), 7);
    addRecord(*m_db, QStringLiteral("Alice"), 1, QStringLiteral("2024-03-05 10:00:00"), 3000, salaryType);
    const qint64 b = addRecord(*m_db, QStringLiteral("aLiCe"), 0, QStringLiteral("2024-03-06 08:00:00"), -2.25,
                               eatType, QStringLiteral("退款"));
    addRecord(*m_db, QStringLiteral("Alicia"), 0, QStringLiteral("2024-03-06 08:00:00"), 1);

    const std::vector<LedgerRow> rows = load(*m_db, QStringLiteral("ALICE"), 0, {});
    QCOMPARE(ids(rows), (QList<qint64>{a, b}));
    QCOMPARE(rows[0].date, 20240305);
    QCOMPARE(rows[0].category, QStringLiteral("吃"));
    QVERIFY(rows[0].hasCategory);
    QCOMPARE(rows[0].amount.cents(), qint64(1250));
    QCOMPARE(rows[0].memo, QString());
    QCOMPARE(rows[1].amount.cents(), qint64(-225));
    QCOMPARE(rows[1].memo, QStringLiteral("退款"));
    // Equal category names are one shared string, not a copy per row.
    QVERIFY(rows[0].category.constData() == rows[1].category.constData());

    QVERIFY(load(*m_db, QStringLiteral("Nobody"), 0, {}).empty());
}

void TestLedgerStore::orderedByDateThenId()
{
    const QString day = QStringLiteral("2024-03-05 08:00:00");
    const qint64 first = addRecord(*m_db, QStringLiteral("u"), 0, day, 1);
    const qint64 earlier = addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-03-04 23:00:00"), 2);
    const qint64 second = addRecord(*m_db, QStringLiteral("u"), 0, day, 3);
    const qint64 sameDayEarlierTime = addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-03-05 07:00:00"), 4);
    const qint64 third = addRecord(*m_db, QStringLiteral("u"), 0, day, 5);
    QCOMPARE(ids(load(*m_db, QStringLiteral("u"), 0, {})),
             (QList<qint64>{earlier, sameDayEarlierTime, first, second, third}));
}

void TestLedgerStore::missingCategoryStillCounts()
{
    addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-01-01 00:00:00"), 10, goneType);
    addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-01-02 00:00:00"), 5.5, QVariant());
    addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-01-03 00:00:00"), 0.25, eatType, QVariant());

    LedgerModel model;
    const ht::Money total = loadInto(model, *m_db, QStringLiteral("u"), 0, {});
    QCOMPARE(total.cents(), qint64(1575));
    QCOMPARE(model.rowCount(), 3);
    QVERIFY(!model.row(0).hasCategory);
    QVERIFY(!model.row(1).hasCategory);
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("N/A"));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("N/A"));
    QCOMPARE(model.data(model.index(2, 1)).toString(), QStringLiteral("吃"));
    QCOMPARE(model.data(model.index(2, 3)).toString(), QString());
}

void TestLedgerStore::classAboveOneIsIncome()
{
    const qint64 income = addRecord(*m_db, QStringLiteral("u"), 1, QStringLiteral("2024-05-01 00:00:00"), 8000,
                                    salaryType, QStringLiteral("五月工资"));
    addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-05-01 00:00:00"), 20);
    addRecord(*m_db, QStringLiteral("u"), 2, QStringLiteral("2024-05-01 00:00:00"), 20);
    for (int cls : {1, 2, 7}) {
        const std::vector<LedgerRow> rows = load(*m_db, QStringLiteral("u"), cls, {});
        QCOMPARE(ids(rows), QList<qint64>{income});
        QCOMPARE(rows[0].category, QStringLiteral("工资"));
    }
}

void TestLedgerStore::exactLargeTotal()
{
    {
        ht::Transaction t(*m_db);
        for (int i = 0; i < 1000; ++i)
            addRecord(*m_db, QStringLiteral("rich"), 1, QStringLiteral("2024-06-01 12:00:00"), 12345678.91, salaryType);
        addRecord(*m_db, QStringLiteral("rich"), 0, QStringLiteral("2024-06-01 12:00:00"), 0.01);
        t.commit();
    }
    LedgerModel model;
    const ht::Money total = loadInto(model, *m_db, QStringLiteral("rich"), 1, {});
    QCOMPARE(model.rowCount(), 1000);
    QCOMPARE(total.text(), QStringLiteral("12,345,678,910.00"));
    QCOMPARE(model.total(), total);
}

void TestLedgerStore::quoteInUserNameIsBound()
{
    const qint64 own = addRecord(*m_db, QStringLiteral("O'Brien"), 0, QStringLiteral("2024-01-01 00:00:00"), 1,
                                 eatType, QStringLiteral("it's \"fine\""));
    addRecord(*m_db, QStringLiteral("other"), 0, QStringLiteral("2024-01-01 00:00:00"), 1);

    const std::vector<LedgerRow> rows = load(*m_db, QStringLiteral("o'brien"), 0, {});
    QCOMPARE(ids(rows), QList<qint64>{own});
    QCOMPARE(rows[0].memo, QStringLiteral("it's \"fine\""));
    QVERIFY(load(*m_db, QStringLiteral("x' OR '1'='1"), 0, {}).empty());
}

void TestLedgerStore::periods_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("button");
    QTest::addColumn<QStringList>("expected");

    const QDate mid(2024, 3, 15);
    const auto pick = [](std::initializer_list<int> indexes) {
        QStringList out;
        for (int i : indexes)
            out << periodDates[i];
        return out;
    };
    QTest::newRow("all") << mid << 1 << periodDates;
    QTest::newRow("this year") << mid << 2 << pick({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    QTest::newRow("this month") << mid << 3 << pick({3, 4, 5, 6, 7, 8});
    QTest::newRow("today whole day") << mid << 4 << pick({5, 6});
    QTest::newRow("January") << mid << 5 << pick({1});
    QTest::newRow("leap February") << mid << 6 << pick({2});
    QTest::newRow("March button") << mid << 7 << pick({3, 4, 5, 6, 7, 8});
    QTest::newRow("December") << mid << 16 << pick({10});
    QTest::newRow("yesterday") << QDate(2024, 3, 14) << 4 << pick({4});
    QTest::newRow("new year's eve") << QDate(2024, 12, 31) << 4 << pick({10});
    QTest::newRow("December month") << QDate(2024, 12, 31) << 3 << pick({10});
    QTest::newRow("new year's day") << QDate(2025, 1, 1) << 4 << pick({11});
    QTest::newRow("new year") << QDate(2025, 1, 1) << 2 << pick({11});
    QTest::newRow("last year's December") << QDate(2023, 6, 1) << 16 << pick({0});
    QTest::newRow("no such button") << mid << 17 << periodDates;
    QTest::newRow("zero button") << mid << 0 << periodDates;
}

void TestLedgerStore::periods()
{
    QFETCH(QDate, today);
    QFETCH(int, button);
    QFETCH(QStringList, expected);

    {
        ht::Transaction t(*m_db);
        // Stored out of order so that only the query orders them.
        for (qsizetype i = periodDates.size() - 1; i >= 0; --i)
            addRecord(*m_db, QStringLiteral("p"), 0, periodDates[i], 1, eatType, periodDates[i]);
        addRecord(*m_db, QStringLiteral("q"), 0, periodDates[5], 1, eatType, QStringLiteral("someone else"));
        t.commit();
    }
    QCOMPARE(memos(load(*m_db, QStringLiteral("p"), 0, ht::periodFilter(button, today))), expected);
}

void TestLedgerStore::periodFilterShape()
{
    const SqlFilter f = ht::periodFilter(6, QDate(2024, 7, 9));
    QCOMPARE(f.sql, QStringLiteral(" AND A.postdate>=? AND A.postdate<?"));
    QCOMPARE(f.values, (QVariantList{QStringLiteral("2024-02-01 00:00:00"), QStringLiteral("2024-03-01 00:00:00")}));
    QVERIFY(ht::periodFilter(1, QDate(2024, 7, 9)).isEmpty());
}

void TestLedgerStore::loadIntoKeepsModelSort()
{
    const qint64 big = addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-01-01 00:00:00"), 1000);
    const qint64 small = addRecord(*m_db, QStringLiteral("u"), 0, QStringLiteral("2024-01-02 00:00:00"), 999);
    LedgerModel model;
    model.sort(2, Qt::AscendingOrder);
    loadInto(model, *m_db, QStringLiteral("u"), 0, {});
    QCOMPARE(model.row(0).id, small);
    QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("￥999.00"));
    QCOMPARE(model.data(model.index(1, 2)).toString(), QStringLiteral("￥1,000.00"));
    QCOMPARE(model.data(model.index(1, 0), LedgerModel::KeyRole).toString(), QStringLiteral("ID%1").arg(big));
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("2024年01月01日 "));
}

QTEST_MAIN(TestLedgerStore)
#include "tst_ledgerstore.moc"
