#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ht {

// Registers new login users and deletes registered ones; stays open for more.
class usersDialog : public QDialog {
    Q_OBJECT
public:
    explicit usersDialog(QWidget *parent = nullptr);

    QGroupBox *Frame1, *Frame2;
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *Text1, *Text2, *Text3;
    QPushButton *BtnOk, *BtnCancel;
    QComboBox *Combo1;
    QPushButton *delBtn;

private:
    void fillList();
    void BtnOk_Click();
    void delBtn_Click();
};

} // namespace ht
