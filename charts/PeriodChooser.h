#pragma once

#include "book/ChartStore.h"

#include <QWidget>

class QComboBox;
class QLabel;

namespace ht {

class DatePicker;

// The period choices of the category charts, in the order the box lists them.
enum class PeriodKind { ThisMonth, Month, ThisYear, Year, Range };

// The days a choice stands for: picked names the month or year, to ends a range.
DayPeriod choosePeriod(PeriodKind kind, const QDate &picked, const QDate &to, const QDate &today);
// "2024年3月", "2024年", or "2024-03-05 至 2024-04-04".
QString periodText(const DayPeriod &p);

// A period box with the date fields the choice needs.
class PeriodChooser : public QWidget {
    Q_OBJECT
public:
    explicit PeriodChooser(QWidget *parent = nullptr);

    DayPeriod period() const;
    QComboBox *kindBox;
    DatePicker *fromDate;
    DatePicker *toDate;

signals:
    void changed();

private:
    void showFields();
    QLabel *m_toLabel;
};

} // namespace ht
