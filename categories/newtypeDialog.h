#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ht {

// Adds a category of one class (1 income, 0 expense) for the user, or renames one of
// theirs (id; 0 adds).
class newtypeDialog : public QDialog {
    Q_OBJECT
public:
    newtypeDialog(QWidget *parent, int cls, qint64 id = 0);

    QLineEdit *m_name;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void OKButton_Click();

    const qint64 m_id; // the category being renamed; 0 adds
    const int m_cls;
};

} // namespace ht
