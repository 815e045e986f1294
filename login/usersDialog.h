#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace ht {

// Registers new login users and deletes registered ones; stays open for more.
class usersDialog : public QDialog {
    Q_OBJECT
public:
    explicit usersDialog(QWidget *parent = nullptr);

    QLineEdit *m_newName, *m_password, *m_passwordAgain;
    QPushButton *BtnOk, *BtnCancel;
    QComboBox *m_deleteName;
    QPushButton *delBtn;

private:
    void fillList();
    void BtnOk_Click();
    void delBtn_Click();
};

} // namespace ht
