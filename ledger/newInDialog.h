#pragma once

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ht {

// Adds income or expense records one after another, or changes one record.
// cls: 1 income, 0 expense; id: the record to change, 0 adds.
class newInDialog : public QDialog {
    Q_OBJECT
public:
    newInDialog(QWidget *parent, int cls, qint64 id = 0);

    QDateTimeEdit *m_date;
    QComboBox *m_category;
    QLineEdit *m_amount;
    QPlainTextEdit *m_remark;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void load(int cls, qint64 id);
    void OKButton_Click();

    const qint64 m_id; // the record being changed; 0 adds
    const int m_cls;
};

} // namespace ht
