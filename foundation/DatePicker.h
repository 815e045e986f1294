#pragma once

#include <QDateTimeEdit>

namespace ht {

// The program's date picker. Tab and Shift+Tab leave it for the next or previous
// control, as everywhere else; Left and Right move between its fields.
class DatePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace ht
