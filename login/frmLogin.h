#pragma once

#include "login/LoginThrottle.h"

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
    // Tests answer at once.
    LoginThrottle throttle;

Q_SIGNALS:
    // The current user name and login count are recorded; the window closes next.
    void loggedIn();

private:
    void txtUserName_Click();
    void cmdOK_Click();
    void loadRemembered();
    void showRemembered(bool focus, bool usable);
    void refuse(bool noSuchUser);

    bool m_placeholder = false; // the password box stands for the remembered login
    bool m_answering = false;   // a failed login waits before it is answered
};

} // namespace ht
