#pragma once

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ht {

// Adds a category of one class for the user, or renames one of theirs. The mode comes
// from editId (0 adds) and frmStyle (the class) when it is created.
class newtypeDialog : public QDialog {
    Q_OBJECT
public:
    explicit newtypeDialog(QWidget *parent = nullptr);

    QGroupBox *Frame1;
    QLineEdit *Text1;
    QLineEdit *typeId;
    QLineEdit *classId;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void OKButton_Click();
};

} // namespace ht
