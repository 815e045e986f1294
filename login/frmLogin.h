#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace ht {

// The first window: picks the user for the whole run.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(QWidget *parent = nullptr);

    // Checks the database file and fills in the remembered users.
    // False (after telling the user) when the program must end.
    bool load();

    QComboBox *txtUserName;
    QLineEdit *txtPassword;
    QCheckBox *m_remember;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

Q_SIGNALS:
    // The current user name and login count are recorded; the window closes next.
    void loggedIn();

private:
    void txtUserName_Click();
    void cmdOK_Click();
    void loadRemembered();
};

} // namespace ht
