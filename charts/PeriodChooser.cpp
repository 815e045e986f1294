#include "charts/PeriodChooser.h"

#include "foundation/DatePicker.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace ht {

DayPeriod choosePeriod(PeriodKind kind, const QDate &picked, const QDate &to, const QDate &today)
{
    const auto month = [](const QDate &d) {
        const QDate first(d.year(), d.month(), 1);
        return DayPeriod{first, first.addMonths(1).addDays(-1)};
    };
    const auto year = [](const QDate &d) { return DayPeriod{QDate(d.year(), 1, 1), QDate(d.year(), 12, 31)}; };
    switch (kind) {
    case PeriodKind::ThisMonth: return month(today);
    case PeriodKind::Month: return month(picked);
    case PeriodKind::ThisYear: return year(today);
    case PeriodKind::Year: return year(picked);
    case PeriodKind::Range: return picked <= to ? DayPeriod{picked, to} : DayPeriod{to, picked};
    }
    return month(today);
}

QString periodText(const DayPeriod &p)
{
    if (p.first.day() == 1 && p.last == p.first.addMonths(1).addDays(-1))
        return QStringLiteral("%1年%2月").arg(p.first.year()).arg(p.first.month());
    if (p.first == QDate(p.first.year(), 1, 1) && p.last == QDate(p.first.year(), 12, 31))
        return QStringLiteral("%1年").arg(p.first.year());
    const QString shape = QStringLiteral("yyyy-MM-dd");
    return p.first.toString(shape) + QStringLiteral(" 至 ") + p.last.toString(shape);
}

PeriodChooser::PeriodChooser(QWidget *parent) : QWidget(parent)
{
    kindBox = new QComboBox(this);
    kindBox->setObjectName(QStringLiteral("cboPeriod"));
    kindBox->addItems({QStringLiteral("本月"), QStringLiteral("选择月份"), QStringLiteral("本年"),
                       QStringLiteral("选择年份"), QStringLiteral("日期范围")});
    auto *kindLabel = new QLabel(QStringLiteral("期间(&D)："), this);
    kindLabel->setBuddy(kindBox);
    const QDate today = QDate::currentDate();
    fromDate = new DatePicker(this);
    fromDate->setObjectName(QStringLiteral("dtpFrom"));
    fromDate->setDate(today);
    fromDate->setAccessibleName(QStringLiteral("起始日期"));
    toDate = new DatePicker(this);
    toDate->setObjectName(QStringLiteral("dtpTo"));
    toDate->setDate(today);
    toDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_toLabel = new QLabel(QStringLiteral("至(&O)"), this);
    m_toLabel->setBuddy(toDate);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(kindLabel);
    row->addWidget(kindBox);
    row->addWidget(fromDate);
    row->addWidget(m_toLabel);
    row->addWidget(toDate);
    showFields();

    connect(kindBox, &QComboBox::currentIndexChanged, this, [this] {
        showFields();
        emit changed();
    });
    connect(fromDate, &QDateTimeEdit::dateChanged, this, &PeriodChooser::changed);
    connect(toDate, &QDateTimeEdit::dateChanged, this, &PeriodChooser::changed);
}

DayPeriod PeriodChooser::period() const
{
    return choosePeriod(PeriodKind(kindBox->currentIndex()), fromDate->date(), toDate->date(), QDate::currentDate());
}

void PeriodChooser::showFields()
{
    const auto kind = PeriodKind(kindBox->currentIndex());
    fromDate->setVisible(kind == PeriodKind::Month || kind == PeriodKind::Year || kind == PeriodKind::Range);
    fromDate->setDisplayFormat(kind == PeriodKind::Month      ? QStringLiteral("yyyy-MM")
                                   : kind == PeriodKind::Year ? QStringLiteral("yyyy")
                                                              : QStringLiteral("yyyy-MM-dd"));
    m_toLabel->setVisible(kind == PeriodKind::Range);
    toDate->setVisible(kind == PeriodKind::Range);
}

} // namespace ht
