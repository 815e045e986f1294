#pragma once

#include <QColor>
#include <QDialog>

class QGroupBox;
class QPushButton;
class QRadioButton;

namespace ht::backup {

// The income list's green and the expense list's red, as the main window's totals use them.
inline const QColor incomeColour(0, 128, 0);
inline const QColor expenseColour(255, 0, 0);

struct ChoiceTexts {
    const char *objectName;
    QString caption;
    QString frame;
    QString first;
    QString second;
    QString confirm;
    QString close;
    QColor firstColour = {}; // invalid: the text's own colour
    QColor secondColour = {};
};

// The backup, export and print dialogs: two option buttons in a frame, the first chosen
// at opening, and a confirm and a close button. Each dialog arranges them itself.
class ChoiceDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox *Frame1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QPushButton *OKButton;
    QPushButton *CancelButton;

protected:
    ChoiceDialog(QWidget *parent, const ChoiceTexts &texts);
};

} // namespace ht::backup
