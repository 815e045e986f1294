#include "foundation/DatePicker.h"
#include "foundation/DialogKit.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace ht;

// The test windows have no layout: keys and clicks go to the controls themselves, and
// the tab order is the order they were made in.

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void pickerTabLeavesArrowsWalkFields()
    {
        QWidget window;
        auto *before = new QLineEdit(&window);
        auto *picker = new DatePicker(&window);
        auto *after = new QLineEdit(&window);
        picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        picker->setFocus();

        // One field a step, staying put past either end; keypad arrows too.
        QTest::keyClick(picker, Qt::Key_Right, Qt::KeypadModifier);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::MonthSection);
        for (int i = 0; i < 6; ++i)
            QTest::keyClick(picker, Qt::Key_Right);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::SecondSection);
        for (int i = 0; i < 7; ++i)
            QTest::keyClick(picker, Qt::Key_Left);
        QCOMPARE(picker->currentSection(), QDateTimeEdit::YearSection);

        // From a middle field, where walking to the next field would keep the focus inside.
        const QList<std::pair<QKeyCombination, QLineEdit *>> leaves{{Qt::Key_Tab, after},
                                                                    {Qt::ShiftModifier | Qt::Key_Backtab, before},
                                                                    {Qt::ShiftModifier | Qt::Key_Tab, before}};
        for (const auto &[keys, target] : leaves) {
            picker->setFocus();
            picker->setCurrentSection(QDateTimeEdit::DaySection);
            QTest::keyClick(picker, keys.key(), keys.keyboardModifiers());
            QVERIFY(target->hasFocus());
        }
    }

    void dialogHelpers()
    {
        QDialog dialog;
        auto *password = new QLineEdit(&dialog);
        auto *amount = new QLineEdit(QStringLiteral("12.50"), &dialog);
        auto *memo = new QPlainTextEdit(&dialog);
        auto *confirm = new QPushButton(QStringLiteral("确定(&O)"), &dialog);
        auto *close = new QPushButton(QStringLiteral("关闭"), &dialog);
        usePasswordStars(password);
        selectAllOnFocus(amount);
        confirm->setDefault(true);
        // Left to the dialog, Enter on this button would press the default one instead.
        close->setAutoDefault(false);
        setPictureButtons(confirm, close);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));

        // What the box paints, so a platform bullet in place of "*" fails here.
        QTest::keyClicks(password, QStringLiteral("ab1"));
        QCOMPARE(password->displayText(), QStringLiteral("***"));

        QTest::keyClick(password, Qt::Key_Tab);
        QTRY_COMPARE(amount->selectedText(), amount->text());
        password->setFocus();
        QVERIFY(!amount->hasSelectedText());
        QTest::mouseClick(amount, Qt::LeftButton, {}, amount->rect().center());
        QTRY_COMPARE(amount->selectedText(), amount->text());

        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("a\u00a0b"));
        QTest::keyClick(memo, Qt::Key_Return, Qt::ShiftModifier);
        QTest::keyClicks(memo, QStringLiteral(" c"));
        QTest::keyClick(memo, Qt::Key_Return);
        QCOMPARE(typedText(memo), QStringLiteral("a\u00a0b\n c\n"));

        QSignalSpy confirmed(confirm, &QPushButton::clicked);
        QSignalSpy closed(close, &QPushButton::clicked);
        close->setFocus();
        QTest::keyClick(close, Qt::Key_Return);
        QTest::keyClick(close, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(closed.count(), 2);
        QCOMPARE(confirmed.count(), 0);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
