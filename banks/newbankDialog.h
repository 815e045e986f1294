#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ht {

class DatePicker;

// Adds a bank account of the user, or modifies one of theirs (id; 0 adds).
// Adding stays open for the next account.
class newbankDialog : public QDialog {
    Q_OBJECT
public:
    explicit newbankDialog(QWidget *parent, qint64 id = 0);

    QLineEdit *m_place, *m_bank, *m_account, *m_holder, *m_card, *m_balance;
    QPlainTextEdit *m_remark;
    DatePicker *m_opened;
    QPushButton *OKButton, *CancelButton;

Q_SIGNALS:
    // The account being modified was deleted meanwhile; the dialog closes after this.
    void gone();

private:
    void load(qint64 id);
    void OKButton_Click();
    void clearForNext();

    // The account being modified; 0 adds, -1 once it is found gone so nothing is saved.
    qint64 m_id;
};

} // namespace ht
