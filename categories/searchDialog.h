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

    QGroupBox *Frame1;
    QCheckBox *Check1;
    QDateTimeEdit *DTPicker1;
    QDateTimeEdit *DTPicker2;
    QCheckBox *Check2;
    QComboBox *Combo1;
    QComboBox *Combo2;
    QCheckBox *Check3;
    QLineEdit *Text2;
    QCheckBox *Check4;
    QLineEdit *Text1;
    QPushButton *OKButton;
    QPushButton *CancelButton;

private:
    void load();
    void OKButton_Click();
    SearchConditions conditions() const;
    void runQuery(const SearchConditions &c);
    void deleteRecords(const SearchConditions &c);

    const bool m_deleting;
};

} // namespace ht
