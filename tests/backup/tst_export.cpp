#include "tests/support/TestSupport.h"

#include "backup/Backup.h"
#include "backup/XlsxExport.h"
#include "backup/exportDialog.h"

#include "ledger/MainWindow.h"

#include "foundation/FileDialog.h"
#include "foundation/Program.h"
#include "foundation/ctrcls.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLocale>
#include <QProcess>
#include <QTest>
#include <QTreeView>
#include <QXmlStreamReader>

using namespace ht;
using namespace ht::test;

namespace {

QByteArray member(const QString &xlsx, const QString &name)
{
    QProcess unzip;
    unzip.start("unzip", {"-p", xlsx, name});
    unzip.waitForFinished();
    return unzip.readAllStandardOutput();
}

// Sheet1's cells row by row; a number cell reads "=value|style".
QList<QStringList> sheetRows(const QString &xlsx)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(member(xlsx, "xl/worksheets/sheet1.xml"));
    QString style;
    bool number = false;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"row")
            rows.append(QStringList());
        else if (xml.name() == u"c") {
            style = xml.attributes().value("s").toString();
            number = xml.attributes().value("t").isEmpty();
        } else if (xml.name() == u"t")
            rows.last() << xml.readElementText();
        else if (xml.name() == u"v" && number)
            rows.last() << "=" + xml.readElementText() + "|" + style;
    }
    return rows;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<ProgramFolder>();
        program::session().userName = "admin";
        setFileOpener([this](const QString &path) {
            m_opened << path;
            return m_opens;
        });
        setFileDialogHandler([this](const FileDialogRequest &r) {
            m_requests << r;
            return m_answer;
        });
    }
    void cleanup()
    {
        setFileOpener({});
        m_folder.reset();
        m_opened.clear();
        m_requests.clear();
    }

    // The selected rows in list order, the visible columns only, amounts as numbers that
    // show the list's text; the file proposed under the documented name, then opened.
    void exportsSelectedRowsOfVisibleColumns()
    {
        const QDateTime day(QDate(2026, 12, 3), QTime(9, 0));
        program::setToday(day.date());
        addRecord(1, day, 1234.5, "工资");
        addRecord(1, day.addSecs(60), 8, "红包");
        addRecord(1, day.addSecs(120), 0.25, "利息");
        main *w = openMainWindow({backup::attach});
        QTreeView *list = w->ListView1;
        list->setColumnHidden(1, true);
        // Selected as a user does: a click, then Ctrl and a click.
        const auto click = [list](int row, Qt::KeyboardModifiers keys) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                              list->visualRect(list->model()->index(row, 0)).center());
        };
        click(2, Qt::NoModifier);
        click(0, Qt::ControlModifier);
        m_answer = m_folder->path("收入.xlsx");
        m_opens = true;
        QVERIFY(runModal([&] { triggerAction(w, "mm_export"); },
                         [&](QDialog *d) {
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(!d->isVisible());
                         }));
        QString date = QLocale().toString(day.date(), QLocale::ShortFormat);
        QCOMPARE(QFileInfo(m_requests.value(0).proposed).fileName(),
                 "当前收入记录_" + ctrcls::makeFilename(date) + ".xlsx");
        QCOMPARE(m_opened, QStringList{m_answer});
        const QList<QStringList> rows = sheetRows(m_answer);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QStringList{"日期", "金额", "备注"}));
        const QString money = rows[1].value(1).section('|', 1);
        QCOMPARE(rows[1], (QStringList{"2026年12月03日 ", "=1234.5|" + money, "工资"}));
        QCOMPARE(rows[2], (QStringList{"2026年12月03日 ", "=0.25|" + money, "利息"}));
        QVERIFY(member(m_answer, "xl/styles.xml").contains("formatCode=\"&quot;￥&quot;#,##0.00"));
        QVERIFY(m_folder->messages.shown.isEmpty());

        // Nothing can open it: the user learns where it is.
        m_opens = false;
        m_answer = m_folder->path("又一份.xlsx");
        QVERIFY(runModal([&] { triggerAction(w, "mm_export"); },
                         [&](QDialog *d) { d->findChild<QAbstractButton *>("OKButton")->click(); }));
        QVERIFY(QFile::exists(m_answer));
        QCOMPARE(m_folder->messages.last().title, QStringLiteral("Excel失败"));
        QVERIFY(m_folder->messages.last().text.startsWith(QStringLiteral("您的系统未检测到Office办公软件的Excel")));
        QVERIFY(m_folder->messages.last().text.contains(m_answer));

        // Nothing selected in the expense list: no file dialog, the dialog closes.
        const qsizetype asked = m_requests.size();
        QVERIFY(runModal([&] { triggerAction(w, "mm_export"); },
                         [&](QDialog *d) {
                             d->findChild<QAbstractButton *>("Option2")->click();
                             d->findChild<QAbstractButton *>("OKButton")->click();
                             QVERIFY(!d->isVisible());
                         }));
        QCOMPARE(m_requests.size(), asked);
        QCOMPARE(m_folder->messages.last().text, QStringLiteral("当前没有任何可导出的数据。"));
        QCOMPARE(m_folder->messages.last().title, QStringLiteral("导出失败"));
        QCOMPARE(m_folder->messages.last().icon, MsgIcon::Critical);

        // A folder that does not exist: the writer's reason in the documented form.
        m_answer = m_folder->path("无此文件夹/x.xlsx");
        QVERIFY(runModal([&] { triggerAction(w, "mm_export"); },
                         [&](QDialog *d) { d->findChild<QAbstractButton *>("OKButton")->click(); }));
        QVERIFY(m_folder->messages.last().text.startsWith(QStringLiteral("导出失败，原因如下：\r\n\r\n")));
        QVERIFY(m_folder->messages.last().text.contains(":   "));
        delete w;
    }

    // A cancelled export leaves neither the file nor its part; column widths count wide
    // characters twice; a text that only looks like money stays text.
    void cancelWidthsAndTexts()
    {
        backup::ListTable table;
        table.headers = {"金额", "note"};
        for (int i = 0; i < 5000; ++i)
            table.rows.push_back({"￥1,000.00", "x"});
        table.rows.push_back({"￥1000.00", "一二三四五六七八九十"});
        const QString path = m_folder->path("out.xlsx");
        const QStringList before = QDir(m_folder->dir()).entryList(QDir::Files);
        int calls = 0;
        const auto cancelled = backup::writeXlsx(path, table, [&](qsizetype, qsizetype) { return ++calls < 2; });
        QCOMPARE(cancelled.kind, backup::ExportOutcome::Cancelled);
        QCOMPARE(QDir(m_folder->dir()).entryList(QDir::Files), before);

        QCOMPARE(backup::writeXlsx(path, table).kind, backup::ExportOutcome::Written);
        const QList<QStringList> rows = sheetRows(path);
        QCOMPARE(rows.size(), 5002);
        QVERIFY(rows[1].value(0).startsWith("=1000|"));
        QCOMPARE(rows.last(), (QStringList{"￥1000.00", "一二三四五六七八九十"}));
        const QByteArray sheet = member(path, "xl/worksheets/sheet1.xml");
        QVERIFY(sheet.contains("width=\"22.7109375\"")); // 20 wide + 2, as the writer stores it
        QCOMPARE(backup::displayWidth("￥12ab"), 6);
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
    QStringList m_opened;
    bool m_opens = true;
    QList<FileDialogRequest> m_requests;
    QString m_answer;
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
