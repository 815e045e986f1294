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

SqlFilter containingText(const QString &column, const QString &text)
{
    SqlFilter f;
    f.add(QStringLiteral(" AND instr(lower(%1),lower(?))>0").arg(column), {text});
    return f;
}

} // namespace ht
