#pragma once

#include "foundation/SqlFilter.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace ht {

class DatePicker;

// Narrows the memo list by a range of days, a piece of text, or both: the criteria are
// added to the memo window's search, so searches narrow each other while it stays open.
class memonoteSearchDialog : public QDialog {
    Q_OBJECT
public:
    memonoteSearchDialog(QWidget *parent, const SqlFilter &current);

    QCheckBox *m_byDate;
    DatePicker *m_from;
    DatePicker *m_to;
    QCheckBox *m_byText;
    QLineEdit *m_text;
    QPushButton *OKButton;
    QPushButton *CancelButton;

Q_SIGNALS:
    // The narrowed search; the dialog closes after this.
    void chosen(const ht::SqlFilter &narrowed);

private:
    void OKButton_Click();

    const SqlFilter m_current;
};

} // namespace ht
