// Backup and restore of the data, and the lists written out: to an .xlsx file read back from
// its XML, and printed to a PDF read back with pdftotext.
#include "tests/support/TestSupport.h"

#include "backup/AutoBackup.h"
#include "backup/Backup.h"
#include "backup/PreviewLayout.h"
#include "backup/XlsxExport.h"
#include "backup/exportDialog.h"
#include "backup/printDialog.h"
#include "backup/printpreviewDialog.h"

#include "ledger/LedgerModel.h"
#include "ledger/MainWindow.h"

#include "book/RecordStore.h"
#include "book/RecycleBin.h"

#include "foundation/DbFile.h"
#include "foundation/PrintChoice.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>
#include <QXmlStreamReader>

using namespace ht;
using namespace ht::test;
using backup::PreviewLayout;

namespace {

// What a tool writes to its standard output.
QByteArray run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished();
    return p.readAllStandardOutput();
}

// Opens the export dialog from the main window and presses its buttons in turn; checks
// that it then closed.
bool exportWith(QWidget *w, const QStringList &buttons)
{
    return runModal([&] { triggerAction(w, "mm_export"); },
                    [&](QDialog *d) {
        for (const QString &name : buttons)
            d->findChild<QAbstractButton *>(name)->click();
        QVERIFY(!d->isVisible());
    });
}

// Sheet1's cells row by row; a number cell reads "=value|style".
QList<QStringList> sheetRows(const QString &xlsx)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(run("unzip", {"-p", xlsx, "xl/worksheets/sheet1.xml"}));
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

class TestBackup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_folder = ProgramFolder::withUser("admin");
        m_db = m_folder->path("syslibs.dll");
    }
    void cleanup()
    {
        setFileOpener({});
        setPrinterChooser({});
        m_folder.reset();
    }

    // Back up through the dialog, change the data, restore: the database is the backup
    // byte for byte, the replaced one kept beside it, the lists show the restored rows.
    // Files that are no database of this program are refused first, each leaving the data
    // as it was and the dialog open.
    void backupAndRestoreRoundTrip()
    {
        addRecord(1, QDateTime::currentDateTime(), 12.5, "工资");
        MainWindow *w = openMainWindow({backup::attach});
        auto &messages = m_folder->messages;
        // A larger file under the chosen name, which has no extension, is replaced whole.
        const QString copy = m_folder->path("备份一");
        test::writeFile(copy, QByteArray(8 << 20, 'x'));

        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
            // Cancelling the file dialog changes nothing and keeps the dialog open.
            d->findChild<QAbstractButton *>("OKButton")->click();
            QVERIFY(d->isVisible());
            QVERIFY(messages.shown.isEmpty());
            m_folder->fileAnswers << copy;
            d->findChild<QAbstractButton *>("OKButton")->click();
            QVERIFY(!d->isVisible());
        }));
        QCOMPARE(messages.last().text, QStringLiteral("备份成功！"));
        const QByteArray backedUp = test::fileContents(m_db);
        QCOMPARE(test::fileContents(copy), backedUp);
        // A failed backup leaves the file under the chosen name as it was.
        QVERIFY(!copyDatabaseFile(m_folder->path("无此文件.dll"), copy).isEmpty());
        QCOMPARE(test::fileContents(copy), backedUp);

        addRecord(1, QDateTime::currentDateTime(), 99, "后来的");
        w->reload(1);
        QCOMPARE(w->list(1)->model()->rowCount(), 2);
        const QByteArray before = test::fileContents(m_db);
        // Each refused in one sentence and one short line that say what it is: a damaged
        // backup, or none of this program's (what the program never makes could run code
        // or break its statements). The data stays as it was.
        const QString notOurs = QStringLiteral("不是本程序的备份文件"), damaged = QStringLiteral("备份文件已损坏");
        QList<QPair<QString, QStringList>> refused;
        const auto candidate =
            [&](const QString &name, const QByteArray &bytes, const QStringList &said, const QStringList &sql = {}) {
            refused.append({m_folder->path(name), said});
            test::writeFile(refused.last().first, bytes);
            clsADO db(refused.last().first);
            for (const QString &statement : sql) {
                Connection c(db);
                db.execute(statement);
            }
        };
        candidate("empty.dbk", {}, {notOurs});
        candidate("text.dbk", "这是一个文本文件，不是数据库。\n", {notOurs});
        candidate("plain.dbk", {}, {notOurs});
        QCOMPARE(QProcess::execute("sqlcipher", {refused.last().first, "CREATE TABLE users(a);"}), 0);
        candidate("otherkey.dbk", {}, {notOurs});
        QCOMPARE(QProcess::execute("sqlcipher", {refused.last().first, "PRAGMA key='x';CREATE TABLE users(a);"}), 0);
        candidate("half.dbk", before.left(before.size() / 2), {damaged});
        QByteArray torn = before;
        for (qsizetype at = 8192; at < torn.size(); ++at)
            torn[at] = char(at * 7);
        candidate("torn.dbk", torn, {damaged});
        candidate("trigger.dbk", before, {notOurs, "触发器 t"},
                  {"CREATE TRIGGER t AFTER INSERT ON users BEGIN DELETE FROM pursewicks; END"});
        candidate("view.dbk", before, {notOurs, "视图 v"}, {"CREATE VIEW v AS SELECT 1"});
        candidate("table.dbk", before, {notOurs, "数据表 t"}, {"CREATE TABLE t(a)"});
        candidate("index.dbk", before, {notOurs, "索引 i"}, {"CREATE INDEX i ON pursewicks(abs(money))"});
        candidate("columns.dbk", before, {notOurs, "数据表 pursewicks 缺少列 money"},
                  {"DROP TABLE pursewicks",
                   "CREATE TABLE pursewicks(ID INTEGER PRIMARY KEY, username TEXT, "
                   "typeid INTEGER, postdate DATETIME, style INTEGER)"});
        clsADO::createDatabase(m_folder->path("other.dbk"), "CREATE TABLE users(a); CREATE TABLE ledger(b);");
        refused.append({m_folder->path("other.dbk"), {notOurs}});
        for (const auto &[file, said] : refused)
            m_folder->fileAnswers << file;
        m_folder->fileAnswers << copy;
        QVERIFY(runModal([&] { triggerAction(w, "mm_data"); },
                         [&](QDialog *d) {
            d->findChild<QAbstractButton *>("Option2")->click();
            for (const auto &[file, said] : refused) {
                d->findChild<QAbstractButton *>("OKButton")->click();
                QVERIFY2(d->isVisible(), qPrintable(file));
                const QString text = messages.last().text;
                QVERIFY(text.startsWith(QStringLiteral("恢复失败，当前数据未作任何改动。\r\n\r\n")));
                for (const QString &part : said)
                    QVERIFY2(text.contains(part), qPrintable(file + ": " + text));
                QVERIFY2(text.count('\n') <= 3 && !text.contains(QRegularExpression("[A-Za-z]+ [A-Za-z]+")),
                         qPrintable(text));
                QCOMPARE(test::fileContents(m_db), before);
                QVERIFY(!QFile::exists(m_db + ".bak"));
            }
            d->findChild<QAbstractButton *>("OKButton")->click();
            QVERIFY(!d->isVisible());
        }));
        QVERIFY(messages.last().text.startsWith(QStringLiteral("恢复成功！")));
        QVERIFY(messages.last().text.contains("syslibs.dll.bak"));
        QCOMPARE(test::fileContents(m_db), backedUp);
        QCOMPARE(test::fileContents(m_db + ".bak"), before);
        QCOMPARE(columnTexts(w->list(1)->model(), 3), QStringList{"工资"});
        delete w;
    }

    // A database from before the upgrades (no memo tables, categories without owners,
    // remembered logins without their two columns) is a good backup; its upgrades run later
    // as usual. A database that is a link stays one: the file it points to is replaced.
    void olderDatabaseIsAGoodBackup()
    {
        const QString old = m_folder->path("old.dbk");
        clsADO::createDatabase(
            old,
            "CREATE TABLE users(username TEXT, userpwd TEXT, regdate DATETIME, logintime INTEGER);"
            "CREATE TABLE autouser(username TEXT, userpwd TEXT);"
            "CREATE TABLE pursewicks(ID INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT, typeid INT, postdate TEXT,"
            " money REAL, style INT, memo TEXT);"
            "CREATE TABLE types(ID INTEGER PRIMARY KEY AUTOINCREMENT, typename TEXT, class INT);"
            "CREATE TABLE banks(ID INTEGER PRIMARY KEY AUTOINCREMENT, username TEXT, bankAddr TEXT,"
            " bankRegdate DATETIME, bankName TEXT, bankUsername TEXT, bankID TEXT, bankCardID TEXT,"
            " bankMoney REAL, bankMemo TEXT);");
        const QString real = m_folder->path("data/syslibs.dll");
        QVERIFY(QDir().mkpath(m_folder->path("data")) && QFile::rename(m_db, real) && QFile::link(real, m_db));
        QCOMPARE(replaceDatabaseFile(m_db, old, m_db + ".bak"), QString());
        QVERIFY(QFileInfo(m_db).isSymLink());
        QCOMPARE(test::fileContents(real), test::fileContents(old));
        // Its first delete gives it the recycle bin, from which the record comes back.
        execute("INSERT INTO pursewicks(username,typeid,postdate,money,style) VALUES('admin',1,'2024-01-01',1,0)");
        Connection c(program::db());
        QVERIFY(RecordStore::remove(c.db(), "admin", 1));
        QCOMPARE(RecycleBin::restore(c.db(), "admin", RecycleBin::entries(c.db(), "admin").value(0).id)->records, 1);
        QCOMPARE(scalar("SELECT money FROM pursewicks WHERE ID=1"), "1.0");
    }

    // One copy a day, the newest ten kept; a failure is noted, told once at the next start.
    void dailyBackups()
    {
        const QString folder = dailyBackupFolder(m_db);
        const QDate first(2026, 3, 1);
        for (int day = 0; day < 12; ++day)
            QCOMPARE(backup::writeDailyBackup(m_db, first.addDays(day)), QString());
        const QStringList kept = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), backup::keptDailyBackups);
        QCOMPARE(kept.first(), QStringLiteral("syslibs-2026-03-03.dbk")); // ten in a row: the last is the 12th
        const QByteArray morning = test::fileContents(m_db);
        addRecord(1, QDateTime::currentDateTime(), 1);
        QCOMPARE(backup::writeDailyBackup(m_db, first.addDays(11)), QString());
        QCOMPARE(test::fileContents(folder + "/" + kept.last()), morning);

        // Closing the main window writes today's copy.
        const auto startAndClose = [] {
            MainWindow *w = openMainWindow({backup::attach});
            QCoreApplication::processEvents();
            w->close();
            resumeAfterQuit();
        };
        program::setToday(QDate(2026, 4, 1));
        startAndClose();
        QCOMPARE(test::fileContents(folder + "/syslibs-2026-04-01.dbk"), test::fileContents(m_db));

        // A folder that cannot be made: the program still closes, the next start tells it once.
        QDir(folder).removeRecursively();
        test::writeFile(folder, "挡住");
        startAndClose();
        QVERIFY(m_folder->messages.shown.isEmpty());
        for (int start = 0; start < 2; ++start) {
            std::unique_ptr<MainWindow> again(openMainWindow({backup::attach}));
            QCoreApplication::processEvents();
            again.reset();
        }
        QCOMPARE(m_folder->messages.shown.size(), 1);
        QVERIFY(m_folder->messages.last().text.contains(QStringLiteral("未能自动备份")));
    }

    // The selected rows in list order, the visible columns only, amounts as numbers that
    // show the list's text; the file then opened.
    void exportsSelectedRowsOfVisibleColumnsAndCancels()
    {
        const QDateTime day(QDate(2026, 12, 3), QTime(9, 0));
        program::setToday(day.date());
        addRecord(1, day.addDays(-2), 1, "早");
        addRecord(1, day.addDays(-1), 2, "早");
        addRecord(1, day, 1234.5, "工资");
        addRecord(1, day.addSecs(60), 8, "红包");
        addRecord(1, day.addSecs(120), 0.25, "利息");
        LedgerModel::setWindowing(2, 2); // read a page at a time: the middle page only once asked for
        QStringList opened;
        bool opens = true;
        setFileOpener([&](const QString &path) {
            opened << path;
            return opens;
        });
        MainWindow *w = openMainWindow({backup::attach});
        QTreeView *list = w->list(1);
        list->setColumnHidden(1, true);
        // Selected as a user does: a click, then Ctrl and a click.
        const auto click = [list](int row, Qt::KeyboardModifiers keys) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, keys,
                              list->visualRect(list->model()->index(row, 0)).center());
        };
        click(4, Qt::NoModifier);
        click(2, Qt::ControlModifier);
        const QString sheet = m_folder->path("收入.xlsx");
        m_folder->fileAnswers << sheet;
        QVERIFY(exportWith(w, {"OKButton"}));
        QCOMPARE(opened, QStringList{sheet});
        const QList<QStringList> rows = sheetRows(sheet);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0], (QStringList{"日期", "金额", "备注"}));
        const QString money = rows[1].value(1).section('|', 1);
        QCOMPARE(rows[1], (QStringList{"2026年12月03日 ", "=1234.5|" + money, "工资"}));
        QCOMPARE(rows[2], (QStringList{"2026年12月03日 ", "=0.25|" + money, "利息"}));
        QVERIFY(run("unzip", {"-p", sheet, "xl/styles.xml"}).contains("formatCode=\"&quot;￥&quot;#,##0.00"));
        QVERIFY(m_folder->messages.shown.isEmpty());

        // Nothing can open it: the user learns where it is.
        opens = false;
        const QString second = m_folder->path("又一份.xlsx");
        m_folder->fileAnswers << second;
        QVERIFY(exportWith(w, {"OKButton"}));
        QVERIFY(QFile::exists(second));
        QVERIFY(m_folder->messages.last().text.startsWith(QStringLiteral("您的系统未检测到Office办公软件的Excel")));
        QVERIFY(m_folder->messages.last().text.contains(second));

        // Nothing selected in the expense list: no file dialog, the dialog closes.
        m_folder->fileAnswers << m_folder->path("空.xlsx");
        QVERIFY(exportWith(w, {"Option2", "OKButton"}));
        QCOMPARE(m_folder->fileAnswers.size(), 1);
        QCOMPARE(m_folder->messages.last().text, QStringLiteral("当前没有任何可导出的数据。"));
        delete w;
        LedgerModel::setWindowing(5000, 256);

        // A cancelled export leaves neither the file nor its part; a text that only looks like
        // money stays text; wide characters count twice in a column's width.
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
        const QList<QStringList> big = sheetRows(path);
        QCOMPARE(big.size(), 5002);
        QVERIFY(big[1].value(0).startsWith("=1000|"));
        QCOMPARE(big.last(), (QStringList{"￥1000.00", "一二三四五六七八九十"}));
        QCOMPARE(backup::displayWidth("￥12ab"), 6);
        // The suggested name carries the locale's date without separators or a half-day mark.
        for (const auto &[date, part] : {std::pair{"2024-3-5 下午 08:07:09", "202435080709"},
                                         {"2024/3/5 上午 8:07:09", "20243580709"},
                                         {"3/5/2024 8:07:09 PM", "35202480709"}})
            QCOMPARE(backup::makeFilename(QString::fromUtf8(date)), QString::fromUtf8(part));
    }

    // Print the expense list: the preview scrolls a step and back to the top margin, not 0;
    // "打印…" writes a PDF with the rows in list order, the total and the right page count;
    // closing the preview closes the choice.
    void previewAndPrintToPdf()
    {
        // Narrower than the page: centred at a negative left; one page fits in a tall window.
        auto l = PreviewLayout::compute(9000, 20000, 600, 255, 255, 11907, 16840);
        QCOMPARE(l.pageLeft, (9000 - 11907) / 2);
        QVERIFY(l.vMax <= 1);
        QCOMPARE(l.hMax, 27); // (11907 - 9000 + 255) / 120 + 1 = 27.35

        const QDateTime first(program::today().addDays(-program::today().day() + 1), QTime(8, 0));
        for (int i = 0; i < 100; ++i)
            addRecord(0, first.addSecs(60 * i), i + 1, QStringLiteral("第%1笔").arg(i + 1));
        addRecord(1, first, 5000, "工资");
        MainWindow *w = openMainWindow({backup::attach});
        w->sortByColumn(0, 2); // by amount
        w->sortByColumn(0, 2); // descending
        const QString pdf = m_folder->path("账单.pdf");
        setPrinterChooser([&](QPrinter &printer, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        int pages = 0;
        QVERIFY(runModal([&] { triggerAction(w, "mm_print"); },
                         [&](QDialog *d) {
            d->findChild<QAbstractButton *>("Option2")->click();
            QVERIFY(runModal([&] { d->findChild<QAbstractButton *>("OKButton")->click(); },
                             [&](QDialog *p) {
                auto *preview = qobject_cast<printpreviewDialog *>(p);
                QVERIFY(preview);
                pages = preview->printout().pageCount();
                QCOMPARE(preview->picTarget->y(), 8);
                QVERIFY(preview->picScroll->hasFocus());
                QTest::keyClick(preview->Command1, Qt::Key_Down); // scrolls too
                QCOMPARE(preview->picTarget->y(), -8);
                QTest::keyClick(preview->picScroll, Qt::Key_Up);
                QCOMPARE(preview->picTarget->y(), 8);
                preview->Command1->click();
                preview->Command2->click();
                QVERIFY(!p->isVisible());
            }));
            QVERIFY(!d->isVisible());
        }));
        QVERIFY(pages > 2);
        QCOMPARE(QString(run("pdfinfo", {pdf})).section("Pages:", 1).section('\n', 0, 0).trimmed().toInt(), pages);
        const QString text = QString::fromUtf8(run("pdftotext", {"-layout", pdf, "-"}));
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
        const auto outcome = backup::printList(printer, backup::printoutOf(*w->list(0), 0, w->period(), w->total(0)),
                                               [](int page, int) { return page < 1; });
        QCOMPARE(outcome, backup::PrintOutcome::Cancelled);
        QVERIFY(!QFile::exists(pdf));
        delete w;
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
    QString m_db;
};

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
