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

// Query (frmStyle 0) and batch delete (frmStyle 1) of the user's ledger records by
// the ticked conditions. The mode comes from frmStyle when it is created.
class searchDialog : public QDialog {
    Q_OBJECT
public:
    explicit searchDialog(QWidget *parent = nullptr);

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

    bool m_deleting = false;
};

} // namespace ht
