#include "foundation/DialogKit.h"

#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace ht {
namespace {

class EnterPresses : public QObject {
public:
    EnterPresses(QPushButton *button, QObject *parent) : QObject(parent), m_button(button) { }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_button->click();
                return true;
            }
        }
        return false;
    }

private:
    QPushButton *m_button;
};

class SelectOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A mouse click places the caret after the focus arrives; select once it has settled.
        if (event->type() == QEvent::FocusIn) {
            auto *box = static_cast<QLineEdit *>(watched);
            QTimer::singleShot(0, box, [box] { box->selectAll(); });
        }
        return false;
    }
};

} // namespace

QPushButton *dialogButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setFixedSize(81, 33);
    return button;
}

QLabel *labelFor(QWidget *box, const QString &text)
{
    // Only a sibling's buddy names the box; otherwise a frame's title would.
    auto *label = new QLabel(text, box->parentWidget());
    label->setBuddy(box);
    return label;
}

void frameOverButtons(QDialog *dialog, QWidget *frame, QPushButton *confirm, QPushButton *close)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(confirm);
    row->addSpacing(20);
    row->addWidget(close);
    row->addStretch();
    auto *layout = new QVBoxLayout(dialog);
    layout->addWidget(frame);
    layout->addLayout(row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void pressOnEnter(QPushButton *button, QWidget *box)
{
    QWidget *watched = box ? box : button;
    watched->installEventFilter(new EnterPresses(button, watched));
}

void setPictureButtons(QPushButton *confirm, QPushButton *close)
{
    const std::pair<QPushButton *, const char *> buttons[] = {{confirm, "confirm"}, {close, "close"}};
    for (const auto &[button, picture] : buttons) {
        if (!button)
            continue;
        if (!button->text().isEmpty())
            button->setToolTip(QString(button->text()).remove(QLatin1Char('&')));
        // A screen reader reads the caption the picture stands for.
        button->setAccessibleName(button->toolTip());
        button->setText(QString());
        button->setIcon(icon(picture));
        button->setIconSize(QSize(24, 24));
        pressOnEnter(button);
    }
}

void selectAllOnFocus(QLineEdit *box)
{
    box->installEventFilter(new SelectOnFocus(box));
}

void refuse(QWidget *parent, const QString &text, QWidget *field)
{
    showMessage(parent, text, QStringLiteral("系统提示"), MsgButtons::Ok, MsgIcon::Critical);
    if (field)
        focusAndSelect(field);
}

void focusAndSelect(QWidget *box)
{
    box->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->selectAll();
    else if (auto *combo = qobject_cast<QComboBox *>(box); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

void setUpDialog(QDialog *dialog, QPushButton *confirm, QPushButton *close)
{
    if (QWidget *owner = dialog->parentWidget())
        dialog->setWindowIcon(owner->windowIcon());
    setPictureButtons(confirm, close);
    confirm->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    trimWhenClosed(dialog);
}

void trimWhenClosed(QDialog *dialog)
{
    QObject::connect(dialog, &QDialog::finished, dialog, [] { trimWorkingSet(); });
}

void usePasswordStars(QLineEdit *box)
{
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

QString typedText(const QPlainTextEdit *box)
{
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    // The document's frame markers are not text.
    text.remove(QChar(0xfdd0));
    text.remove(QChar(0xfdd1));
    return text;
}

BusyCursor::BusyCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace ht
