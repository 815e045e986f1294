#include "LedgerStore.h"

#include "Query.h"
#include "clsADO.h"
#include "ctrcls.h"

#include <QByteArray>
#include <sqlcipher/sqlite3.h>

#include <algorithm>
#include <string_view>

namespace ht {
namespace {

// Reads one run of ASCII digits; false when there is none.
bool readNumber(const char *&p, const char *end, int &value)
{
    const char *start = p;
    value = 0;
    while (p < end && *p >= '0' && *p <= '9' && p - start < 4)
        value = value * 10 + (*p++ - '0');
    return p > start;
}

// "yyyy-MM-dd HH:mm:ss" straight to yyyymmdd, without a date object per row.
qint32 dateNumber(const char *text, int size)
{
    const char *p = text;
    const char *end = text + size;
    int year = 0;
    int month = 0;
    int day = 0;
    if (readNumber(p, end, year) && p < end && *p++ == '-' && readNumber(p, end, month) && p < end
        && *p++ == '-' && readNumber(p, end, day) && month >= 1 && month <= 12 && day >= 1 && day <= 31)
        return year * 10000 + month * 100 + day;
    // Any other stored shape goes the slow, general way.
    const QDate d = ctrcls::toDateTime(QString::fromUtf8(text, size)).date();
    return d.isValid() ? d.year() * 10000 + d.month() * 100 + d.day() : 0;
}

QString dayStart(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd 00:00:00"));
}

SqlFilter dateRange(const QDate &first, const QDate &last)
{
    SqlFilter f;
    f.add(QStringLiteral(" AND A.postdate>=? AND A.postdate<?"), {dayStart(first), dayStart(last.addDays(1))});
    return f;
}

} // namespace

std::vector<LedgerRow> LedgerStore::load(clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    const QString sql = QStringLiteral(
                            "SELECT A.ID,A.postdate,B.typename,A.money,A.memo FROM [pursewicks] AS A "
                            "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.username=? AND A.style=?")
        + filter.sql + QStringLiteral(" ORDER BY A.postdate ASC,A.ID ASC");
    QVariantList values{user, cls > 1 ? 1 : cls};
    values += filter.values;

    Statement stmt(db.handle(), sql, values);
    sqlite3_stmt *s = stmt.get();

    // A category name occurs on thousands of rows; they all share one string. A user
    // has a few dozen names at most, and a plain scan beats hashing every row.
    std::vector<std::pair<QByteArray, QString>> categories;
    std::vector<LedgerRow> rows;
    while (stmt.step()) {
        LedgerRow &r = rows.emplace_back();
        r.id = sqlite3_column_int64(s, 0);

        const auto *date = reinterpret_cast<const char *>(sqlite3_column_text(s, 1));
        r.date = date ? dateNumber(date, sqlite3_column_bytes(s, 1)) : 0;

        if (const auto *name = reinterpret_cast<const char *>(sqlite3_column_text(s, 2))) {
            const std::string_view bytes(name, size_t(sqlite3_column_bytes(s, 2)));
            auto it = std::find_if(categories.begin(), categories.end(),
                                   [bytes](const auto &c) { return std::string_view(c.first) == bytes; });
            if (it == categories.end()) {
                const QByteArray utf8(bytes.data(), qsizetype(bytes.size()));
                it = categories.insert(categories.end(), {utf8, QString::fromUtf8(utf8)});
            }
            r.category = it->second;
            r.hasCategory = true;
        }

        r.amount = Money::fromDouble(sqlite3_column_double(s, 3));

        if (const auto *memo = reinterpret_cast<const char *>(sqlite3_column_text(s, 4))) {
            const int size = sqlite3_column_bytes(s, 4);
            if (size > 0)
                r.memo = QString::fromUtf8(memo, size);
        }
    }
    return rows;
}

Money LedgerStore::loadInto(LedgerModel &model, clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    model.setRows(load(db, user, cls, filter));
    return model.total();
}

SqlFilter periodFilter(int buttonIndex, const QDate &today)
{
    const int year = today.year();
    switch (buttonIndex) {
    case 2: return dateRange(QDate(year, 1, 1), QDate(year, 12, 31));
    case 3: {
        const QDate first(year, today.month(), 1);
        return dateRange(first, first.addMonths(1).addDays(-1));
    }
    case 4: return dateRange(today, today);
    default:
        if (buttonIndex >= 5 && buttonIndex <= 16) {
            const QDate first(year, buttonIndex - 4, 1);
            return dateRange(first, first.addMonths(1).addDays(-1));
        }
        return {};
    }
}

} // namespace ht
