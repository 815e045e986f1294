#include "tests/support/TestSupport.h"

#include "app/Subsystems.h"

#include "charts/ChartCanvas.h"
#include "charts/PeriodChooser.h"
#include "charts/frmCharts.h"

#include "book/ChartStore.h"
#include "book/LedgerStore.h"
#include "ledger/MainWindow.h"

#include "foundation/DatePicker.h"
#include "foundation/PrintChoice.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeView>

using namespace ht;
using namespace ht::test;

namespace {

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

DayPeriod month(int year, int m)
{
    const QDate first(year, m, 1);
    return {first, first.addMonths(1).addDays(-1)};
}

// admin's February 2024 spends more than it earns, on a leap day and at the month's edges,
// with amounts whose doubles lie just below a half cent; mary's records share the dates.
void addHousehold()
{
    addRecord(0, at("2024-02-29 12:00:00"), 1.005, {}, 1);
    addRecord(0, at("2024-02-29 18:00:00"), 1.005, {}, 1);
    addRecord(0, at("2024-02-01 00:00:00"), 3000, {}, 3);
    addRecord(0, at("2024-02-10 09:00:00"), 7.5, {}, 999); // its category was deleted
    execute(
        "INSERT INTO pursewicks(username,typeid,postdate,money,style) VALUES('admin',NULL,'2024-02-11 10:00:00',1,0)");
    for (int i = 0; i < 3; ++i)
        addRecord(0, at("2024-01-31 23:59:59"), 0.1, {}, 8);
    addRecord(0, at("2024-01-15 08:00:00"), 10, {}, 1);
    addRecord(0, at("2023-02-28 08:00:00"), 40, {}, 1);
    addRecord(1, at("2024-02-15 08:00:00"), 1000, {}, 10);
    addRecord(1, at("2024-03-01 00:00:00"), 500, {}, 13);
    addRecord(0, at("2024-02-29 12:00:00"), 999, {}, 1, "mary");
    addRecord(1, at("2024-02-15 08:00:00"), 888, {}, 10, "mary");
    addRecord(0, at("2024-12-31 23:59:59"), 12.34, {}, 2, "solo");
}

// How many pixels of the widget's picture have that colour (every third pixel counted).
int pixels(QWidget *w, QColor colour)
{
    const QImage image = w->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            n += image.pixelColor(x, y) == colour;
    return n;
}

QString pdfInfo(const QString &path)
{
    QProcess p;
    p.start("pdfinfo", {path});
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestCharts : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = ProgramFolder::withUser("admin");
        addHousehold();
    }
    void cleanup()
    {
        setPrinterChooser({});
        m_folder.reset();
    }

    void periods_data()
    {
        QTest::addColumn<DayPeriod>("period");
        QTest::addColumn<DayPeriod>("before");
        QTest::addColumn<DayPeriod>("yearAgo");
        const auto d = [](int y, int m, int day) { return QDate(y, m, day); };
        QTest::newRow("leap February") << month(2024, 2) << month(2024, 1) << month(2023, 2);
        QTest::newRow("February after a leap year") << month(2025, 2) << month(2025, 1) << month(2024, 2);
        QTest::newRow("a year") << DayPeriod{d(2024, 1, 1), d(2024, 12, 31)}
                                << DayPeriod{d(2023, 1, 1), d(2023, 12, 31)}
                                << DayPeriod{d(2023, 1, 1), d(2023, 12, 31)};
        QTest::newRow("days over a leap day")
            << DayPeriod{d(2024, 2, 29), d(2024, 3, 1)} << DayPeriod{d(2024, 2, 27), d(2024, 2, 28)}
            << DayPeriod{d(2023, 2, 28), d(2023, 3, 1)};
    }
    void periods()
    {
        QFETCH(DayPeriod, period);
        QFETCH(DayPeriod, before);
        QFETCH(DayPeriod, yearAgo);
        QCOMPARE(previousPeriod(period), before);
        QCOMPARE(yearEarlier(period), yearAgo);
    }

    // Every chart's amount is what the lists total under the same filter, to the cent.
    void sumsMatchTheLists_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<int>("cls");
        QTest::addColumn<DayPeriod>("period");
        QTest::addColumn<QString>("whole");
        QTest::newRow("leap month, half cents, lost categories") << "admin" << 0 << month(2024, 2) << "3,010.52";
        QTest::newRow("income") << "admin" << 1 << month(2024, 2) << "1,000.00";
        QTest::newRow("a year") << "admin" << 0 << DayPeriod{QDate(2024, 1, 1), QDate(2024, 12, 31)} << "3,020.82";
        QTest::newRow("another user") << "mary" << 0 << month(2024, 2) << "999.00";
        QTest::newRow("a single record") << "solo" << 0 << month(2024, 12) << "12.34";
        QTest::newRow("an empty year") << "admin" << 0 << DayPeriod{QDate(2030, 1, 1), QDate(2030, 12, 31)} << "0.00";
    }
    void sumsMatchTheLists()
    {
        QFETCH(QString, user);
        QFETCH(int, cls);
        QFETCH(DayPeriod, period);
        program::session().userName = user;
        std::unique_ptr<MainWindow> w(openMainWindow());
        const auto listTotal = [&](int c, const SqlFilter &f) {
            w->applyQuery(f, c);
            return w->total(c).text();
        };
        Connection connection(program::db());
        clsADO &db = connection.db();

        const YearSums year = ChartStore::yearSums(db, user, period.first.year());
        for (int m = 1; m <= 12; ++m) {
            const SqlFilter f = month(period.first.year(), m).filter();
            QCOMPARE(year.income[size_t(m - 1)].text(), listTotal(1, f));
            QCOMPARE(year.expense[size_t(m - 1)].text(), listTotal(0, f));
        }

        Money whole;
        for (const CategorySum &s : ChartStore::categorySums(db, user, cls, period)) {
            QCOMPARE(s.amount.text(), listTotal(cls, SqlFilter(period.filter()).add(s.key.filter(cls))));
            whole += s.amount;
        }
        QCOMPARE(whole.text(), listTotal(cls, period.filter()));
        QTEST(whole.text(), "whole");

        const std::vector<CategoryCompare> rows = ChartStore::compareSums(db, user, cls, period);
        for (const DayPeriod &p : {period, previousPeriod(period), yearEarlier(period)}) {
            Money sum;
            for (const CategoryCompare &r : rows) {
                const Money amount = p == period ? r.now : p == previousPeriod(period) ? r.previous : r.yearAgo;
                QCOMPARE(amount.text(), listTotal(cls, SqlFilter(p.filter()).add(r.key.filter(cls))));
                sum += amount;
            }
            QCOMPARE(sum.text(), listTotal(cls, p.filter()));
        }
    }

    // The window from its command: drawn charts, the keyboard, drill-down into the lists,
    // the comparison table, an empty period, and the picture exported and printed on A4.
    void window()
    {
        std::unique_ptr<MainWindow> w(openMainWindow(subsystems()));
        QVERIFY(triggerAction(w.get(), "mm_chart"));
        auto *charts = w->findChild<frmCharts *>();
        QVERIFY(charts);
        QVERIFY(QTest::qWaitForWindowActive(charts));
        charts->yearBox->setValue(2024);
        QVERIFY2(charts->yearTotals->text().contains("结余：￥-1,520.82"), qPrintable(charts->yearTotals->text()));
        QVERIFY(pixels(charts->yearChart, QColor(0x59A14F)) > 50); // the income bars

        charts->yearBox->setFocus();
        QTest::keyClick(charts->yearBox, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), charts->yearChart);
        QTest::keyClick(charts->yearChart, Qt::Key_Right);
        QTest::keyClick(charts->yearChart, Qt::Key_Return);
        QCOMPARE(w->list(0)->model()->rowCount(), 5);
        QCOMPARE(w->total(0).text(), "3,010.52");
        QCOMPARE(w->list(1)->model()->rowCount(), 1);

        // The deleted and the missing category and 日常's half cents are too small to show alone.
        charts->tabs->setCurrentIndex(1);
        charts->slicePeriod->kindBox->setCurrentIndex(int(PeriodKind::Month));
        charts->slicePeriod->fromDate->setDate(QDate(2024, 2, 1));
        QCOMPARE(charts->slices().size(), size_t(2));
        QCOMPARE(charts->slices()[1].name, "其他");
        QVERIFY(pixels(charts->sliceChart, QColor(0x4E79A7)) > 50); // the largest slice
        charts->sliceChart->setFocus();
        QTest::keyClick(charts->sliceChart, Qt::Key_Down);
        QTest::keyClick(charts->sliceChart, Qt::Key_Enter);
        QCOMPARE(w->list(0)->model()->rowCount(), 4);
        QCOMPARE(w->total(0).text(), charts->slices()[1].amount.text());
        QCOMPARE(gatherSmall(std::vector<CategorySum>(10, {"x", {{1}}, Money::fromCents(100)})).size(), size_t(8));

        charts->tabs->setCurrentIndex(2);
        charts->comparePeriod->kindBox->setCurrentIndex(int(PeriodKind::Month));
        charts->comparePeriod->fromDate->setDate(QDate(2024, 2, 1));
        QTableWidget *table = charts->compareTable;
        QCOMPARE(columnTexts(table->model(), 0), (QStringList{"房租", "N/A", "日常", "吃"}));
        QCOMPARE(table->item(0, 3)->text(), "▲ ￥3,000.00  —");
        QCOMPARE(table->item(0, 3)->foreground().color(), QColor(0xC0, 0, 0));
        QCOMPARE(table->item(2, 3)->text(), "▼ ￥-7.98  -79.8%");
        QCOMPARE(table->item(2, 5)->text(), "▼ ￥-37.98  -95.0%");
        QVERIFY(pixels(table, QColor(0xC0, 0, 0)) > 10);

        const QString png = m_folder->path("图.png"), pdf = m_folder->path("图.pdf"),
                      printed = m_folder->path("印.pdf");
        charts->tabs->setCurrentIndex(1);
        m_folder->fileAnswers = {png, pdf};
        charts->cmdExport->click();
        charts->cmdExport->click();
        QCOMPARE(QImage(png).size(), charts->sliceChart->size());
        QVERIFY(pdfInfo(pdf).contains("(A4)"));
        setPrinterChooser([&](QPrinter &printer, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
            return true;
        });
        charts->cmdPrint->click();
        QVERIFY(pdfInfo(printed).contains("(A4)"));
        QVERIFY(m_folder->messages.shown.isEmpty());

        charts->slicePeriod->fromDate->setDate(QDate(2030, 1, 1));
        QCOMPARE(charts->sliceChart->chart()->title(), "暂无数据");
        QCOMPARE(charts->sliceChart->count(), 0);
        QCOMPARE(pixels(charts->sliceChart, QColor(0x4E79A7)), 0);
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
