#include "tests/support/TestSupport.h"

#include "memos/Memos.h"
#include "memos/frmMemoNote.h"
#include "memos/memonoteSearchDialog.h"
#include "memos/newMemoNoteDialog.h"

#include "ledger/MainWindow.h"

#include "foundation/DatePicker.h"
#include "foundation/DialogKit.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using namespace ht;
using namespace ht::test;

namespace {

qint64 addNote(const QString &content, const QString &when = "2024-05-06 12:00:00", const QString &user = "admin")
{
    Connection c(program::db());
    return c.db().insert("MyNotes", {{"username", user}, {"noteDateTime", when}, {"noteContent", content}});
}

// Notes 1..n, a minute apart from 2024-05-06 08:00: note n is the newest.
void addNotes(int n)
{
    Connection c(program::db());
    Transaction t(c.db());
    for (int i = 1; i <= n; ++i)
        addNote(QString::number(i),
                QDateTime(QDate(2024, 5, 6), QTime(8, 0)).addSecs(60 * i).toString("yyyy-MM-dd HH:mm:ss"));
    t.commit();
}

QString status(const frmMemoNote &w)
{
    return w.statusPanel1->text();
}

// Which pager buttons are enabled, as "FPNL" with "-" for a disabled one.
QString pager(const frmMemoNote &w)
{
    QString s;
    for (const auto &[b, c] : {std::pair{w.BtnFirst, 'F'}, {w.BtnPre, 'P'}, {w.BtnNext, 'N'}, {w.BtnLast, 'L'}})
        s += b->isEnabled() ? QChar(c) : QChar('-');
    return s;
}

QStringList notes(const frmMemoNote &w)
{
    return columnTexts(w.ListView1->model(), 1);
}

void select(frmMemoNote &w, int row)
{
    w.ListView1->setCurrentItem(w.ListView1->topLevelItem(row));
}

// Opens a dialog with an action and works in it; true when it was shown.
template <typename Dialog> bool inDialog(QAction *opener, const std::function<void(Dialog *)> &work)
{
    return runModal([&] { opener->trigger(); }, [&](QDialog *d) { work(static_cast<Dialog *>(d)); });
}

void quickSearch(frmMemoNote &w, const QString &text)
{
    w.searchText->setFocus();
    w.searchText->setText(text);
    w.quickSearch();
}

} // namespace

class TestMemos : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = ProgramFolder::withUser("admin"); }
    void cleanup() { m_folder.reset(); }

    // An older database gains the memo tables on the first opening, as the schema has them.
    void firstOpeningBringsOlderDatabasesUpToDate()
    {
        const QString tables = "SELECT group_concat(sql,';') FROM (SELECT sql FROM sqlite_master "
                               "WHERE tbl_name LIKE 'MyNotes%' ORDER BY name)";
        const QString schemaSql = scalar(tables);
        execute("DROP TABLE MyNotes");
        execute("DROP TABLE MyNotesCount");
        std::unique_ptr<MainWindow> window(openMainWindow({memos::attach}));
        QVERIFY(runModal([&] { triggerAction(window.get(), "mm_memoNote"); },
                         [](QDialog *d) {
            auto *w = qobject_cast<frmMemoNote *>(d);
            QVERIFY(w);
            QCOMPARE(status(*w) + pager(*w), QStringLiteral("当前共有 0 则备忘，1/1页----"));
        }));
        QCOMPARE(scalar(tables), schemaSql);

        // Notes written before the counts existed are counted, each user's own, letter case aside.
        addNote("1");
        addNote("2", "2024-05-06 12:00:00", "ADMIN");
        addNote("3", "2024-05-06 12:00:00", "mary");
        for (const char *sql :
             {"DROP TABLE MyNotesCount", "DROP TRIGGER MyNotes_count_insert", "DROP TRIGGER MyNotes_count_delete"})
            execute(sql);
        QCOMPARE(status(frmMemoNote()), QStringLiteral("当前共有 2 则备忘，1/1页"));
        QCOMPARE(scalar(tables), schemaSql);
        QVERIFY(m_folder->messages.shown.isEmpty());
        addNote("4");
        execute("UPDATE MyNotes SET username='admin' WHERE username='mary'");
        execute("DELETE FROM MyNotes WHERE noteContent='1'");
        QCOMPARE(scalar("SELECT group_concat(lower(username)||n) FROM MyNotesCount ORDER BY username"),
                 QStringLiteral("admin3,mary0"));
    }

    void pagesOfThirtyNewestFirstOwnNotesOnlyDeletesAndEdits()
    {
        auto &messages = m_folder->messages;
        addNotes(30);
        addNote("mary's", "2030-01-01 00:00:00", "mary");
        // Same moment as note 1: the later note first. 31 notes make two pages.
        addNote("twin", "2024-05-06 08:01:00");
        frmMemoNote w;
        QCOMPARE(status(w) + pager(w), QStringLiteral("当前共有 31 则备忘，1/2页--NL"));
        QCOMPARE(w.ListView1->topLevelItem(0)->text(0) + notes(w).first(), QStringLiteral("2024年05月06日 08点30分30"));
        w.BtnLast->click();
        QCOMPARE(status(w) + pager(w), QStringLiteral("当前共有 31 则备忘，2/2页FP--"));
        QCOMPARE(notes(w), QStringList{"1"});
        w.BtnPre->click();
        QCOMPARE(notes(w).mid(28), (QStringList{"2", "twin"}));

        // Deleting the last page's only note comes back to the new last page.
        w.mnDel->trigger();
        QCOMPARE(messages.last().text + messages.last().title, QStringLiteral("请选择要删除记录系统提示"));
        w.BtnNext->click();
        w.ListView1->setCurrentIndex(w.ListView1->model()->index(0, 1));
        QTest::keyClick(w.ListView1, Qt::Key_Space); // ticks the row from its note column too
        messages.answerNext(MsgAnswer::Ok);
        w.mnDel->trigger();
        QCOMPARE(messages.last().text, QStringLiteral("提示：确定要删除这条记录吗？"));
        QCOMPARE(status(w) + pager(w), QStringLiteral("当前共有 30 则备忘，1/1页----"));

        // A row whose key was crafted to name mary's note deletes nothing of hers.
        Connection c(program::db());
        const qint64 marys = c.db().count("SELECT ID FROM MyNotes WHERE username='mary'");
        w.ListView1->topLevelItem(0)->setData(0, Qt::UserRole, "ID" + QString::number(marys));
        for (int row : {0, 1})
            w.ListView1->topLevelItem(row)->setCheckState(0, Qt::Checked);
        w.mnDel->trigger();
        QCOMPARE(c.db().count("SELECT COUNT(*) FROM MyNotes WHERE username='mary'"), 1);
        QCOMPARE(status(w), QStringLiteral("当前共有 29 则备忘，1/1页"));
        QVERIFY(!notes(w).contains("29") && notes(w).contains("twin"));

        // Cancel keeps the note; the pop-up delete lists all notes but the search stays for the pager.
        quickSearch(w, "3");
        QCOMPARE(status(w), QStringLiteral("当前共有 4 则备忘，1/1页")); // 3, 13, 23, 30
        select(w, 0);
        messages.answerNext(MsgAnswer::Cancel);
        w.popMnDel->trigger();
        QCOMPARE(status(w), QStringLiteral("当前共有 4 则备忘，1/1页"));
        w.popMnDel->trigger();
        QCOMPARE(status(w), QStringLiteral("当前共有 28 则备忘，1/1页"));
        // Thirty older notes that match make a second page under the search.
        for (int i = 0; i < 30; ++i)
            addNote("x3", "2020-01-01 00:00:00");
        w.BtnFirst->setEnabled(true);
        w.BtnFirst->click();
        QCOMPARE(notes(w).first(3), (QStringList{"23", "13", "3"}));

        // Saving an edit brings the list back to page 1 under the same search; a note deleted
        // meanwhile is told, not written.
        w.BtnNext->click();
        QCOMPARE(status(w), QStringLiteral("当前共有 33 则备忘，2/2页"));
        select(w, 0);
        QVERIFY(inDialog<newMemoNoteDialog>(w.mnEdit, [](newMemoNoteDialog *e) { e->OKButton->click(); }));
        QCOMPARE(status(w), QStringLiteral("当前共有 33 则备忘，1/2页"));
        select(w, 0);
        const qint64 id = w.ListView1->topLevelItem(0)->data(0, Qt::UserRole).toString().mid(2).toLongLong();
        QVERIFY(inDialog<newMemoNoteDialog>(w.mnEdit, [&](newMemoNoteDialog *e) {
            execute("DELETE FROM MyNotes WHERE ID=?", {id});
            e->OKButton->click();
            QVERIFY(!e->isVisible());
        }));
        QCOMPARE(messages.last().text, QStringLiteral("此备忘已不存在"));
        QCOMPARE(status(w), QStringLiteral("当前共有 32 则备忘，1/2页"));

        // A failing load is told and leaves the list as it was.
        messages.shown.clear();
        const QString shown = status(w) + notes(w).join(',');
        w.memoList({" AND nosuchcolumn=1", {}}, 1);
        QCOMPARE(messages.shown.size(), 1);
        QVERIFY(messages.last().text.startsWith("操作失败"));
        QCOMPARE(status(w) + notes(w).join(','), shown);
    }

    // Blanks, quotes, braces, a no-break space and several lines come back exactly as typed.
    void editorStoresTextAndStyleExactly()
    {
        const QString text = QStringLiteral("a  b 'q' {x} \u00a0%_;--\\\nsecond line\n");
        auto &messages = m_folder->messages;
        frmMemoNote w;
        QVERIFY(inDialog<newMemoNoteDialog>(w.mnNew, [&](newMemoNoteDialog *e) {
            e->OKButton->click();
            QCOMPARE(messages.last().text, QStringLiteral("请输入备忘内容！"));
            QVERIFY(e->isVisible());
            e->m_content->setPlainText(text);
            e->m_when->setDateTime(QDateTime(QDate(2024, 5, 6), QTime(9, 30, 15)));
            e->OKButton->click();
            QVERIFY(!e->isVisible());
        }));
        QCOMPARE(notes(w), QStringList{QString(text).replace('\n', ' ')});
        QCOMPARE(
            scalar(
                "SELECT noteDateTime||fontName||fontBold||fontItalic||fontSize||foreColor||noteContent FROM MyNotes"),
            "2024-05-06 09:30:15N/AN/AN/AN/AN/A" + text);

        // Bold italic 12 pt in red, a cancelled colour dialog aside; the style comes back in the
        // editor, and a change in a cancelled editor is not saved.
        QFont chosen(w.font().family());
        chosen.setPointSizeF(12);
        chosen.setBold(true);
        chosen.setItalic(true);
        m_folder->fontAnswers = {chosen};
        m_folder->colorAnswers = {QColor(255, 0, 0)};
        select(w, 0);
        QVERIFY(inDialog<newMemoNoteDialog>(w.mnEdit, [&](newMemoNoteDialog *e) {
            QCOMPARE(typedText(e->m_content), text);
            e->m_fontButton->click();
            e->m_colourButton->click();
            e->m_colourButton->click(); // cancelled
            QCOMPARE(e->m_content->palette().color(QPalette::Text), QColor(Qt::red));
            e->OKButton->click();
        }));
        QCOMPARE(
            scalar("SELECT fontName||'|'||fontBold||fontItalic||fontSize||'|'||foreColor||noteContent FROM MyNotes"),
            chosen.family() + "|TrueTrue12|255" + text);

        m_folder->colorAnswers = {QColor(0, 0, 0)};
        select(w, 0);
        QVERIFY(inDialog<newMemoNoteDialog>(w.mnEdit, [&](newMemoNoteDialog *e) {
            QVERIFY(e->m_content->font().bold() && e->m_content->font().italic());
            QCOMPARE(e->m_content->font().pointSizeF(), 12.0);
            QCOMPARE(e->m_content->palette().color(QPalette::Text), QColor(Qt::red));
            e->m_colourButton->click();
            e->CancelButton->click();
        }));
        QCOMPARE(scalar("SELECT foreColor FROM MyNotes"), QStringLiteral("255")); // cancelled: unchanged
    }

    // Typed text is matched literally; a typed date, or the dialog's dates, keep whole days.
    // The dialog narrows what is shown; the quick search starts afresh, and emptied shows every note.
    void searchesMatchLiterallyAndByWholeDays()
    {
        addNote("早饭", "2024-05-05 00:00:00");
        addNote("axb c'd", "2024-05-05 23:59:59");
        addNote("打折50%", "2024-05-06 00:00:00");
        addNote("打折500", "2024-05-06 23:59:59");
        addNote("a_b", "2024-05-07 00:00:00");
        addNote("午饭", "2024-05-07 23:59:59");
        addNote("夜宵", "2024-05-08 00:00:00");
        frmMemoNote w;
        auto &messages = m_folder->messages;
        QTest::mouseClick(w.searchBtn, Qt::LeftButton); // only empties the hint
        QCOMPARE(w.searchText->text() + status(w), QStringLiteral("当前共有 7 则备忘，1/1页"));

        const auto search = [&](const std::function<void(memonoteSearchDialog *)> &fill, bool closes = true) {
            QVERIFY(inDialog<memonoteSearchDialog>(w.mnSearch, [&](memonoteSearchDialog *s) {
                fill(s);
                s->OKButton->click();
                QCOMPARE(!s->isVisible(), closes);
            }));
        };
        search([](memonoteSearchDialog *) {}, false);
        QCOMPARE(messages.last().text, QStringLiteral("请选择要查询的项"));
        search(
            [&](memonoteSearchDialog *s) {
            s->m_byDate->setChecked(true);
            s->m_from->setDate(QDate(2024, 5, 6));
            s->m_to->setDate(QDate(2024, 5, 5));
            },
            false);
        QCOMPARE(messages.last().text, QStringLiteral("目标日期不能小于选择日期"));
        search([](memonoteSearchDialog *s) {
            s->m_byDate->setChecked(true);
            s->m_from->setDate(QDate(2024, 5, 5));
            s->m_to->setDate(QDate(2024, 5, 7));
        });
        QCOMPARE(status(w), QStringLiteral("当前共有 6 则备忘，1/1页"));
        // Text typed, then unticked, still counts; "%" stands for itself.
        search([](memonoteSearchDialog *s) {
            s->m_byText->setChecked(true);
            s->m_text->setText("50%");
            s->m_byText->setChecked(false);
            s->m_byDate->setChecked(true);
            s->m_from->setDate(QDate(2024, 5, 6));
            s->m_to->setDate(QDate(2024, 5, 6));
        });
        QCOMPARE(notes(w), QStringList{"打折50%"});

        const std::pair<const char *, QStringList> cases[] = {
            {"2024-05-06", {"打折500", "打折50%"}},
            {"2024年5月7日", {"午饭", "a_b"}},
            {"2024/5/5", {"axb c'd", "早饭"}},
            {"", {"夜宵", "午饭", "a_b", "打折500", "打折50%", "axb c'd", "早饭"}},
            {"2024-02-30", {}}, // not a date: looked for as text
        };
        for (const auto &[typed, expected] : cases) {
            quickSearch(w, QString::fromUtf8(typed));
            QCOMPARE(notes(w), expected);
        }
        QCOMPARE(messages.shown.size(), 2);
    }

private:
    std::unique_ptr<ProgramFolder> m_folder;
};

QTEST_MAIN(TestMemos)
#include "tst_memos.moc"
