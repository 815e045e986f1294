#pragma once

#include <QString>

class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ht {

// A dialog's confirm or close button: named for the tests, the design size, and not
// made the default button by taking the focus (the dialog says which one is).
QPushButton *dialogButton(QWidget *parent, const char *name, const QString &caption);
// A control named for the tests, as the windows' members are.
template <typename Widget> Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}
// The label beside a box, which a screen reader announces as the box's name.
QLabel *labelFor(QWidget *box, const QString &text);
// The dialog's fields in their frame, the confirm and close buttons centred below, and
// the dialog's size fixed to that.
void frameOverButtons(QDialog *dialog, QWidget *frame, QPushButton *confirm, QPushButton *close);
// What every dialog with a confirm and a close button does: the owner's icon, the
// pictures on the buttons, Enter in a box confirms, close rejects, freed memory handed
// back when it closes.
void setUpDialog(QDialog *dialog, QPushButton *confirm, QPushButton *close);
// The confirm and close pictures in place of the captions (kept as tool tips and
// accessible names), and Enter on a focused button pressing it as Space does.
void setPictureButtons(QPushButton *confirm, QPushButton *close);
// Enter on the focused button, or in the box when one is given, presses it.
void pressOnEnter(QPushButton *button, QWidget *box = nullptr);
// The box selects its whole text whenever it gets the focus, by keyboard or mouse.
void selectAllOnFocus(QLineEdit *box);
// A refusal in the program's words (title "系统提示", OK, the critical-stop icon); then,
// when a field is given, the focus on it with its whole text selected.
void refuse(QWidget *parent, const QString &text, QWidget *field = nullptr);
// After a validation message: the focus on the box and its whole text selected.
void focusAndSelect(QWidget *box);
// Freed heap pages go back to the system when the dialog closes.
void trimWhenClosed(QDialog *dialog);
// A password box shows "*" for every character typed.
void usePasswordStars(QLineEdit *box);
// The text exactly as typed: toPlainText() turns no-break spaces into blanks.
QString typedText(const QPlainTextEdit *box);

// The wait cursor over the program while a write that may take seconds (a batch into or
// out of the recycle bin) holds the window.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace ht
