#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace ht {

struct SearchConditions;

// Query, or with deleting batch delete, of the user's ledger records by the ticked conditions.
class searchDialog : public QDialog {
    Q_OBJECT
public:
    explicit searchDialog(QWidget *parent, bool deleting = false);

    QCheckBox *m_byDate;
    QDateTimeEdit *m_from;
    QDateTimeEdit *m_to;
    QCheckBox *m_byCategory;
    QComboBox *m_incomeCategory;
    QComboBox *m_expenseCategory;
    QCheckBox *m_byAmount;
    QLineEdit *m_amount;
    QCheckBox *m_byRemark;
    QLineEdit *m_remark;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void load();
    void OKButton_Click();
    SearchConditions conditions() const;
    void runQuery(const SearchConditions &c);
    void deleteRecords(const SearchConditions &c);

    QGroupBox *m_frame;
    const bool m_deleting;
};

} // namespace ht
