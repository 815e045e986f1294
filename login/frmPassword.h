#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ht {

// Sets a new login password for the current user, asked twice.
class frmPassword : public QDialog {
    Q_OBJECT
public:
    explicit frmPassword(QWidget *parent = nullptr);

    QLabel *Label1, *Label2;
    QLineEdit *Text1, *Text2;
    QPushButton *OKButton, *CancelButton;

private:
    void OKButton_Click();
};

} // namespace ht
