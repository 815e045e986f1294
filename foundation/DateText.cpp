#include "foundation/DateText.h"

#include "foundation/StoredDate.h"

namespace ht {
namespace {

QString two(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

} // namespace

QDateTime toDateTime(const QVariant &dt)
{
    switch (dt.typeId()) {
    case QMetaType::QDateTime: return dt.toDateTime();
    case QMetaType::QDate: return QDateTime(dt.toDate(), QTime(0, 0));
    case QMetaType::QString: {
        const std::optional<StoredDate> d = parseStoredDate(dt.toString());
        return d ? d->toDateTime() : QDateTime();
    }
    default: return {};
    }
}

QString chsDate(int year, int month, int day)
{
    return QString::number(year) + QStringLiteral("年") + two(month) + QStringLiteral("月") + two(day)
        + QStringLiteral("日 ");
}

QString chsDateTime(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    return chsDate(v) + two(v.time().hour()) + QStringLiteral("点") + two(v.time().minute()) + QStringLiteral("分");
}

QString chsDate(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    const QDate d = v.date();
    return chsDate(d.year(), d.month(), d.day());
}

QString chsWeek(const QVariant &dt)
{
    static const char16_t *const names[] = {u"星期天", u"星期一", u"星期二", u"星期三",
                                            u"星期四", u"星期五", u"星期六"};
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    // Qt counts Monday as 1 and Sunday as 7.
    return QString::fromUtf16(names[v.date().dayOfWeek() % 7]);
}

QString fullTime()
{
    return fullTime(QTime::currentTime());
}

QString fullTime(const QTime &time)
{
    return two(time.hour()) + QLatin1Char(':') + two(time.minute()) + QLatin1Char(':') + two(time.second());
}

} // namespace ht
