#pragma once

#include <QString>
#include <QVariantList>

namespace ht {

// A WHERE fragment that keeps its values apart from its text, so typed input
// never becomes SQL. The text is empty or a run of clauses each starting " AND ".
struct SqlFilter {
    QString sql;
    QVariantList values;

    bool isEmpty() const { return sql.isEmpty(); }
    SqlFilter &add(const QString &clause, const QVariantList &clauseValues = {})
    {
        sql += clause;
        values += clauseValues;
        return *this;
    }
    bool operator==(const SqlFilter &) const = default;
};

} // namespace ht
