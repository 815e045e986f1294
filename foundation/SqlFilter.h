#pragma once

#include <QDate>
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
    SqlFilter &add(const SqlFilter &more) { return add(more.sql, more.values); }
    bool operator==(const SqlFilter &) const = default;
};

// The clause keeping the rows whose date column falls within the days first to last,
// both whole: from the first day's 00:00 to just before the day after the last.
SqlFilter dayRange(const QString &column, const QDate &first, const QDate &last);

// The clause keeping the rows whose text column holds the text anywhere, literally, with
// the letter case of A to Z ignored. Unlike LIKE it reads both texts whole: LIKE stops at
// a NUL, so "a_b" + NUL + "x" would find every text ending in "a_b".
SqlFilter containingText(const QString &column, const QString &text);

} // namespace ht
