#pragma once

#include "book/MemoStore.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace ht {

class DatePicker;

// Writes a new memo note of the user or edits one of theirs (id; 0 writes a new one).
class newMemoNoteDialog : public QDialog {
    Q_OBJECT
public:
    explicit newMemoNoteDialog(QWidget *parent, qint64 id = 0);

    DatePicker *m_when;
    QPushButton *m_fontButton, *m_colourButton;
    QPlainTextEdit *m_content;
    QPushButton *OKButton, *CancelButton;

Q_SIGNALS:
    // The note being edited was deleted meanwhile; the dialog closes after this.
    void gone();

private:
    void load(qint64 id);
    void chooseFont();
    void chooseColor();
    void OKButton_Click();
    void showStyle(const MemoStyle &style);

    // The note being edited; 0 writes a new one, -1 once it is found gone so nothing is saved.
    qint64 m_id;
    // The note's look as it is stored ("N/A" when none was chosen).
    MemoStyle m_style;
};

} // namespace ht
