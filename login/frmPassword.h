#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ht {

// Sets a new login password for the current user, asked twice.
class frmPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmPassword(QWidget *parent = nullptr);

    QLineEdit *m_password, *m_passwordAgain;
    QPushButton *OKButton, *CancelButton;

private:
    void OKButton_Click();
};

} // namespace ht
