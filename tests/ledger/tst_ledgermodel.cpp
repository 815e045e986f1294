#include "LedgerModel.h"

#include <QIcon>
#include <QSignalSpy>
#include <QTest>

using ht::LedgerModel;
using ht::LedgerRow;
using ht::Money;

namespace {

LedgerRow makeRow(qint64 id, qint32 date, const QString &category, qint64 cents, const QString &memo = {})
{
    LedgerRow r;
    r.id = id;
    r.date = date;
    r.category = category;
    r.hasCategory = !category.isEmpty();
    r.amount = Money::fromCents(cents);
    r.memo = memo;
    return r;
}

QList<qint64> ids(const LedgerModel &m)
{
    QList<qint64> out;
    for (int i = 0; i < m.rowCount(); ++i)
        out << m.data(m.index(i, 0), LedgerModel::IdRole).toLongLong();
    return out;
}

QString cell(const LedgerModel &m, int row, int column)
{
    return m.data(m.index(row, column)).toString();
}

} // namespace

class TestLedgerModel : public QObject {
    Q_OBJECT
private slots:
    void displayTextsAndRoles();
    void headers();
    void totalIsExact();
    void sortsAmountsByValue();
    void sortsDatesThenId();
    void sortsTextsInChineseOrder();
    void tiesKeepLoadOrder();
    void sortStateSurvivesSetRows();
    void disablingSortRestoresLoadOrder();
    void selectionFollowsItsRow();
};

void TestLedgerModel::displayTextsAndRoles()
{
    LedgerModel m;
    m.setRows({makeRow(57, 20240305, QStringLiteral("吃"), 123450, QStringLiteral("午饭 & \"咖啡\"")),
               makeRow(58, 20241231, QString(), -50)});
    QCOMPARE(m.rowCount(), 2);
    QCOMPARE(m.columnCount(), 4);

    QCOMPARE(cell(m, 0, 0), QStringLiteral("2024年03月05日 "));
    QCOMPARE(cell(m, 0, 1), QStringLiteral("吃"));
    QCOMPARE(cell(m, 0, 2), QStringLiteral("￥1,234.50"));
    QCOMPARE(cell(m, 0, 3), QStringLiteral("午饭 & \"咖啡\""));
    QCOMPARE(cell(m, 1, 0), QStringLiteral("2024年12月31日 "));
    QCOMPARE(cell(m, 1, 1), QStringLiteral("N/A"));
    QCOMPARE(cell(m, 1, 2), QStringLiteral("￥-0.50"));
    QCOMPARE(cell(m, 1, 3), QString());

    QCOMPARE(m.data(m.index(0, 3), LedgerModel::KeyRole).toString(), QStringLiteral("ID57"));
    QCOMPARE(m.data(m.index(1, 0), LedgerModel::IdRole).toLongLong(), qint64(58));
    const int align = m.data(m.index(0, 2), Qt::TextAlignmentRole).toInt();
    QVERIFY(align & Qt::AlignLeft);
    QVERIFY(!m.data(m.index(5, 0)).isValid());
}

void TestLedgerModel::headers()
{
    LedgerModel m;
    const QStringList names{QStringLiteral("日期"), QStringLiteral("类别"), QStringLiteral("金额"),
                            QStringLiteral("备注")};
    for (int c = 0; c < 4; ++c)
        QCOMPARE(m.headerData(c, Qt::Horizontal).toString(), names[c]);

    // The date column starts with the ascending picture; the others with none.
    QCOMPARE(m.headerPicture(0), 2);
    QCOMPARE(m.headerPicture(3), 0);
    QVERIFY(!m.headerData(3, Qt::Horizontal, Qt::DecorationRole).isValid());

    QSignalSpy changed(&m, &QAbstractItemModel::headerDataChanged);
    m.setHeaderPicture(3, 1);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.at(0).at(1).toInt(), 3);
    QCOMPARE(m.headerPicture(3), 1);
    QCOMPARE(m.headerData(3, Qt::Horizontal, Qt::DecorationRole).userType(), QMetaType::QIcon);
    m.setHeaderPicture(3, 0);
    QVERIFY(!m.headerData(3, Qt::Horizontal, Qt::DecorationRole).isValid());
    m.setHeaderPicture(9, 1);
    QCOMPARE(m.headerPicture(9), 0);
}

void TestLedgerModel::totalIsExact()
{
    LedgerModel m;
    std::vector<LedgerRow> rows;
    for (int i = 0; i < 1000; ++i)
        rows.push_back(makeRow(i + 1, 20240101, QStringLiteral("工资"), 10, QString()));
    rows.push_back(makeRow(5000, 20240101, QString(), -3));
    QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
    m.setRows(std::move(rows));
    QCOMPARE(reset.size(), 1);
    QCOMPARE(m.total().cents(), qint64(9997));
    m.setRows({});
    QCOMPARE(m.total().cents(), qint64(0));
    QCOMPARE(m.rowCount(), 0);
}

void TestLedgerModel::sortsAmountsByValue()
{
    LedgerModel m;
    m.setRows({makeRow(1, 20240101, QStringLiteral("吃"), 100000), makeRow(2, 20240101, QStringLiteral("吃"), 99900),
               makeRow(3, 20240101, QStringLiteral("吃"), -500), makeRow(4, 20240101, QStringLiteral("吃"), 20000)});
    m.sort(2, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{3, 4, 2, 1}));
    QCOMPARE(cell(m, 2, 2), QStringLiteral("￥999.00"));
    QCOMPARE(cell(m, 3, 2), QStringLiteral("￥1,000.00"));
    m.sort(2, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{1, 2, 4, 3}));
}

void TestLedgerModel::sortsDatesThenId()
{
    LedgerModel m;
    // Same day in the wrong ID order, and a year change that text order would get wrong.
    m.setRows({makeRow(9, 20240305, {}, 1), makeRow(4, 20240305, {}, 1), makeRow(7, 20231231, {}, 1),
               makeRow(2, 20240110, {}, 1), makeRow(5, 20240305, {}, 1)});
    m.sort(0, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{7, 2, 4, 5, 9}));
    m.sort(0, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{9, 5, 4, 2, 7}));
}

void TestLedgerModel::sortsTextsInChineseOrder()
{
    LedgerModel m;
    // Pinyin fang < jiang < li < wai, while code points order them 外 奖 房 礼.
    m.setRows({makeRow(1, 20240101, QStringLiteral("外汇"), 1, QStringLiteral("礼物")),
               makeRow(2, 20240101, QStringLiteral("礼物"), 1, QStringLiteral("房租")),
               makeRow(3, 20240101, QStringLiteral("房租"), 1, QStringLiteral("外汇")),
               makeRow(4, 20240101, QStringLiteral("奖金"), 1, QStringLiteral("奖金")),
               makeRow(5, 20240101, QStringLiteral("奖金"), 1, QStringLiteral("礼物"))});
    m.sort(1, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{3, 4, 5, 2, 1}));
    m.sort(3, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{2, 4, 1, 5, 3}));
    m.sort(1, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{1, 2, 4, 5, 3}));
}

void TestLedgerModel::tiesKeepLoadOrder()
{
    LedgerModel m;
    m.setRows({makeRow(30, 20240101, QStringLiteral("吃"), 500), makeRow(10, 20240102, QStringLiteral("房租"), 100),
               makeRow(20, 20240103, QStringLiteral("吃"), 500), makeRow(40, 20240104, QStringLiteral("房租"), 500)});
    // A sort by category first must not leak into the ties of the next sort.
    m.sort(1, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{10, 40, 30, 20}));
    m.sort(2, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{10, 30, 20, 40}));
    m.sort(2, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{30, 20, 40, 10}));
}

void TestLedgerModel::sortStateSurvivesSetRows()
{
    LedgerModel m;
    QVERIFY(!m.sortEnabled());
    m.setRows({makeRow(1, 20240101, {}, 300), makeRow(2, 20240101, {}, 100)});
    QCOMPARE(ids(m), (QList<qint64>{1, 2}));
    m.sort(2, Qt::DescendingOrder);
    QVERIFY(m.sortEnabled());
    QCOMPARE(m.sortColumn(), 2);
    QCOMPARE(m.sortOrder(), Qt::DescendingOrder);

    m.setRows({makeRow(5, 20240101, {}, 100), makeRow(6, 20240101, {}, 900), makeRow(7, 20240101, {}, 500)});
    QCOMPARE(ids(m), (QList<qint64>{6, 7, 5}));
    QCOMPARE(m.sortColumn(), 2);

    m.setSortState(true, 0, Qt::DescendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{7, 6, 5}));
    m.setRows({makeRow(8, 20240101, {}, 1), makeRow(9, 20240102, {}, 1)});
    QCOMPARE(ids(m), (QList<qint64>{9, 8}));
}

void TestLedgerModel::disablingSortRestoresLoadOrder()
{
    LedgerModel m;
    m.setRows({makeRow(1, 20240101, {}, 300), makeRow(2, 20240101, {}, 100), makeRow(3, 20240101, {}, 200)});
    m.sort(2, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{2, 3, 1}));
    m.setSortState(false, 2, Qt::AscendingOrder);
    QCOMPARE(ids(m), (QList<qint64>{1, 2, 3}));
    m.setRows({makeRow(4, 20240101, {}, 300), makeRow(5, 20240101, {}, 100)});
    QCOMPARE(ids(m), (QList<qint64>{4, 5}));
}

void TestLedgerModel::selectionFollowsItsRow()
{
    LedgerModel m;
    m.setRows({makeRow(1, 20240101, {}, 300), makeRow(2, 20240101, {}, 100), makeRow(3, 20240101, {}, 200)});
    const QPersistentModelIndex kept(m.index(0, 2));
    QSignalSpy layout(&m, &QAbstractItemModel::layoutChanged);
    m.sort(2, Qt::AscendingOrder);
    QCOMPARE(layout.size(), 1);
    QCOMPARE(kept.row(), 2);
    QCOMPARE(kept.column(), 2);
    QCOMPARE(kept.data(LedgerModel::IdRole).toLongLong(), qint64(1));
}

QTEST_MAIN(TestLedgerModel)
#include "tst_ledgermodel.moc"
