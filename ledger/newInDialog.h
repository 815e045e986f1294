#pragma once

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ht {

// Adds income or expense records one after another, or changes one record.
// The mode comes from frmStyle (class) and editId (0 adds) when it is created.
class newInDialog : public QDialog {
    Q_OBJECT
public:
    explicit newInDialog(QWidget *parent = nullptr);

    QGroupBox *Frame1;
    QDateTimeEdit *DTPicker1;
    QComboBox *Combo1;
    QLineEdit *Text1;
    QPlainTextEdit *Text2;
    QLineEdit *modifyId;
    QLineEdit *hdFrmStyle;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void load();
    void OKButton_Click();
};

} // namespace ht
