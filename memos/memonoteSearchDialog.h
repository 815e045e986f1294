#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ht {

class DatePicker;

// Narrows the memo list by a range of days, a piece of text, or both: the criteria are
// added to memoWhere, so searches narrow each other while the memo window stays open.
class memonoteSearchDialog : public QDialog {
    Q_OBJECT
public:
    explicit memonoteSearchDialog(QWidget *parent = nullptr);

    QGroupBox *Frame1;
    QCheckBox *Check1;
    DatePicker *DTPicker1;
    DatePicker *DTPicker2;
    QCheckBox *Check2;
    QLineEdit *Text1;
    QPushButton *OKButton;
    QPushButton *CancelButton;

Q_SIGNALS:
    // memoWhere holds the narrowed search; the dialog closes after this.
    void chosen();

private:
    void OKButton_Click();
};

} // namespace ht
