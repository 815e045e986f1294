#include "foundation/SqlFilter.h"

namespace ht {

SqlFilter dayRange(const QString &column, const QDate &first, const QDate &last)
{
    // Stored date-times are "yyyy-MM-dd HH:mm:ss" texts, which order as the moments do.
    const auto dayStart = [](const QDate &d) { return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00")); };
    SqlFilter f;
    f.add(QStringLiteral(" AND %1>=? AND %1<?").arg(column), {dayStart(first), dayStart(last.addDays(1))});
    return f;
}

QString likeContaining(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    text.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QLatin1Char('%') + text + QLatin1Char('%');
}

} // namespace ht
