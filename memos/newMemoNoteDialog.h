#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ht {

class DatePicker;
struct MemoStyle;

// Writes a new memo note of the user or edits one of theirs (id; 0 writes a new one).
class newMemoNoteDialog : public QDialog {
    Q_OBJECT
public:
    explicit newMemoNoteDialog(QWidget *parent, qint64 id = 0);

    DatePicker *DTPicker1;
    QPushButton *Command2; // font
    QPushButton *Command1; // colour
    QPlainTextEdit *noteContent;
    // The note's attributes as they are stored ("N/A" when none was chosen).
    QLineEdit *txtFontName, *txtFontBold, *txtFontItalic, *txtFontsize, *txtForeColor;
    QLineEdit *modifyID;
    QPushButton *OKButton;
    QPushButton *CancelButton;

Q_SIGNALS:
    // The note being edited was deleted meanwhile; the dialog closes after this.
    void gone();

private:
    void load(qint64 id);
    void chooseFont();
    void chooseColor();
    void OKButton_Click();
    MemoStyle style() const;
    void showStyle(const MemoStyle &style);
};

} // namespace ht
