#include "tests/support/TestSupport.h"

#include "backup/Backup.h"
#include "backup/PreviewLayout.h"
#include "backup/printDialog.h"
#include "backup/printpreviewDialog.h"

#include "ledger/MainWindow.h"

#include "foundation/Program.h"

#include <QAbstractButton>
#include <QDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

using namespace ht;
using namespace ht::test;
using backup::PreviewLayout;

namespace {

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPages(const QString &pdf)
{
    const QString info = run("pdfinfo", {pdf});
    return info.section("Pages:", 1).section('\n', 0, 0).trimmed().toInt();
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        program::session().userName = "admin";
    }
    void cleanup()
    {
        backup::setPrinterChooser({});
        m_folder.reset();
    }

    void scrollArithmetic()
    {
        // Narrower than the page: centred at a negative left; one page fits in a tall window.
        auto l = PreviewLayout::compute(9000, 20000, 600, 255, 255, 11907, 16840);
        QCOMPARE(l.pageLeft, (9000 - 11907) / 2);
        QCOMPARE(l.area, QRect(0, 600, 9000, 19400));
        QCOMPARE(l.vbar, QRect(9000 - 255 - 50, 0, 255, 19400 - 255));
        QCOMPARE(l.hbar, QRect(0, 19400 - 255, 9000, 255));
        QVERIFY(l.vMax <= 1);
        QCOMPARE(l.hMax, 27); // (11907 - 9000 + 255) / 120 + 1 = 27.35
        // Halves go to the even neighbour: 1.5 -> 2, 2.5 -> 2.
        QCOMPARE(PreviewLayout::compute(12000, 17000, 0, 100, 100, 11907, 16840 + 120).vMax, 2);
        QCOMPARE(PreviewLayout::compute(12000, 17000, 0, 100, 100, 11907, 16840 + 240).vMax, 2);
        // Down one step, back to 0: the top margin again, not 0.
        QCOMPARE(PreviewLayout::topAt(0), 120);
        QCOMPARE(PreviewLayout::topAt(1), -120);
        // Far down a long list the position no longer fits 16 bits of twips.
        QCOMPARE(PreviewLayout::topAt(1000), -120000);
    }

    // Print the expense list: frmStyle set, the preview maximised on A4 pages, "打印…"
    // writes a PDF with the rows in list order, the total and the right page count;
    // closing the preview closes the choice.
    void previewAndPrintToPdf()
    {
        const QDateTime first(program::today().addDays(-program::today().day() + 1), QTime(8, 0));
        for (int i = 0; i < 100; ++i)
            addRecord(0, first.addSecs(60 * i), i + 1, QStringLiteral("第%1笔").arg(i + 1));
        addRecord(1, first, 5000, "工资");
        main *w = openMainWindow({backup::attach});
        w->sortByColumn(0, 2); // by amount
        w->sortByColumn(0, 2); // descending
        const QString pdf = m_folder->path("账单.pdf");
        backup::setPrinterChooser([&](QPrinter &printer, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        int pages = 0;
        QDialog *choice = nullptr;
        QVERIFY(runModal([&] { triggerAction(w, "mm_print"); },
                         [&](QDialog *d) {
                             choice = d;
                             d->findChild<QAbstractButton *>("Option2")->click();
                             QVERIFY(runModal([&] { d->findChild<QAbstractButton *>("OKButton")->click(); },
                                              [&](QDialog *p) {
                                                  QCOMPARE(program::session().frmStyle, 0);
                                                  auto *preview = qobject_cast<printpreviewDialog *>(p);
                                                  QVERIFY(preview && preview->isMaximized());
                                                  pages = preview->printout().pageCount();
                                                  QCOMPARE(preview->picTarget->width(), qRound(11907 / 15.0));
                                                  QCOMPARE(preview->picTarget->y(), 8);
                                                  QVERIFY(!preview->hscScroll->isEnabled());
                                                  preview->vscScroll->setValue(1);
                                                  QCOMPARE(preview->picTarget->y(), -8);
                                                  preview->vscScroll->setValue(0);
                                                  QCOMPARE(preview->picTarget->y(), 8);
                                                  preview->Command1->click();
                                                  preview->Command2->click();
                                                  QVERIFY(!p->isVisible());
                                              }));
                             QVERIFY(!d->isVisible());
                         }));
        QVERIFY(choice);
        QVERIFY(pages > 2);
        QCOMPARE(pdfPages(pdf), pages);
        const QString text = run("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(text.contains(QStringLiteral("支出清单")));
        QVERIFY(text.contains(QStringLiteral("合计：￥5,050.00")));
        QVERIFY(!text.contains(QStringLiteral("工资")));
        QVERIFY(text.indexOf(QStringLiteral("第100笔")) < text.indexOf(QStringLiteral("第99笔")));
        QVERIFY(text.indexOf(QStringLiteral("第99笔"))
                < text.indexOf(QRegularExpression(QStringLiteral("第1笔(?!\\d)"))));
        QVERIFY(text.contains(QStringLiteral("第 %1 页，共 %1 页").arg(pages)));
        QVERIFY(m_folder->messages.shown.isEmpty());

        // Cancelled after the first page: no file is left.
        QFile::remove(pdf);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        const auto outcome = backup::printList(printer, backup::printoutOf(*w->ListView2, 0),
                                               [](int page, int) { return page < 1; });
        QCOMPARE(outcome, backup::PrintOutcome::Cancelled);
        QVERIFY(!QFile::exists(pdf));
        delete w;
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

QTEST_MAIN(TestPrint)
#include "tst_print.moc"
