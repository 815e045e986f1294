#include "foundation/DatePicker.h"

#include <QKeyEvent>

namespace ht {

DatePicker::DatePicker(QWidget *parent) : QDateTimeEdit(parent)
{
    setCalendarPopup(true);
}

bool DatePicker::event(QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            const bool next = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            // QDateTimeEdit's own override walks its fields; the widget's leaves the picker.
            QWidget::focusNextPrevChild(next);
            return true;
        }
    }
    return QDateTimeEdit::event(event);
}

void DatePicker::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    // Keypad arrows, and every arrow on macOS, come with the keypad flag.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && plain) {
        const int step = key == Qt::Key_Right ? 1 : -1;
        setCurrentSectionIndex(qBound(0, currentSectionIndex() + step, sectionCount() - 1));
        setSelectedSection(currentSection());
        event->accept();
        return;
    }
    QDateTimeEdit::keyPressEvent(event);
}

} // namespace ht
