#include "book/LedgerStore.h"

#include "foundation/DbError.h"
#include "foundation/StoredDate.h"
#include "foundation/TextOrder.h"
#include "foundation/clsADO.h"

#include <QHash>

#include <algorithm>
#include <numeric>
#include <string_view>

namespace ht {
namespace {

Query select(clsADO &db, const QString &user, int cls, const SqlFilter &filter, const QString &more = {},
             const QVariantList &moreValues = {})
{
    QVariantList values{user, cls > 1 ? 1 : cls};
    values += filter.values;
    values += moreValues;
    return db.query(QStringLiteral("SELECT A.ID,A.postdate,B.typename,A.money,A.memo FROM [pursewicks] AS A "
                                   "LEFT JOIN [types] AS B ON A.typeid=B.ID WHERE A.username=? AND A.style=?")
                        + filter.sql + more + QStringLiteral(" ORDER BY A.postdate ASC,A.ID ASC"),
                    values);
}

// A category name occurs on thousands of rows; they all share one string. A user
// has a few dozen names at most, and a plain scan beats hashing every row.
class CategoryNames {
public:
    QString shared(std::string_view bytes)
    {
        auto it = std::find_if(m_names.begin(), m_names.end(),
                               [bytes](const auto &c) { return std::string_view(c.first) == bytes; });
        if (it == m_names.end()) {
            const QByteArray utf8(bytes.data(), qsizetype(bytes.size()));
            it = m_names.insert(m_names.end(), {utf8, QString::fromUtf8(utf8)});
        }
        return it->second;
    }

private:
    std::vector<std::pair<QByteArray, QString>> m_names;
};

LedgerRow readRow(const Query &q, CategoryNames &names)
{
    LedgerRow r;
    r.id = q.int64(0);
    if (const std::optional<StoredDate> d = parseStoredDate(q.utf8(1))) {
        r.date = d->dayNumber();
        r.time = d->timeNumber();
    }
    if (!q.isNull(2)) {
        r.category = names.shared(q.utf8(2));
        r.hasCategory = true;
    }
    r.amount = Money::fromDouble(q.real(3));
    if (const std::string_view memo = q.utf8(4); !memo.empty())
        r.memo = QString::fromUtf8(memo.data(), qsizetype(memo.size()));
    return r;
}

// How an order reads the engine: the column's value (none for the load order), and
// whether equal values follow in load order whichever way the column runs.
struct OrderColumn {
    QString value;
    bool tiesInLoadOrder = false;
};

OrderColumn orderColumn(LedgerOrder order)
{
    switch (order.column) {
    case 0: return {QStringLiteral("substr(A.postdate,1,10)")};
    case 2: return {QStringLiteral("cents(A.money)"), true};
    case 3: return {QStringLiteral("textkey(A.memo)"), true};
    default: return {};
    }
}

const QString rowColumns = QStringLiteral("SELECT A.ID,A.postdate,B.typename,A.money,A.memo");
const QString joined = QStringLiteral(" FROM [pursewicks] AS A LEFT JOIN [types] AS B ON A.typeid=B.ID");

class PageReader {
public:
    PageReader(clsADO &db, const QString &user, int cls, const SqlFilter &filter, LedgerOrder order)
        : m_db(db), m_column(orderColumn(order))
    {
        m_values = {user, cls > 1 ? 1 : cls};
        m_values += filter.values;
        m_where = QStringLiteral(" WHERE A.username=? AND A.style=?") + filter.sql;
    }

    // Rows whose key follows after's in the direction: the column's (ascending or not)
    // and, among equal values, the ties' (ascending or not).
    void read(LedgerPage &page, const std::optional<LedgerKey> &after, int limit, bool ascending, bool tiesAscending)
    {
        if (m_column.value.isEmpty() || !m_column.tiesInLoadOrder)
            tiesAscending = ascending;
        const QString past = ascending ? QStringLiteral(">") : QStringLiteral("<");
        if (after && m_column.value.isEmpty()) {
            // One run along the index.
            run(page, QStringLiteral(" AND (A.postdate,A.ID)%1(?,?)").arg(past), {after->postdate, after->id}, limit,
                ascending, ascending);
            return;
        }
        if (after) {
            // The rest of the run of after's value, then the values past it: the engine finds
            // no range in a row value over an indexed expression.
            const QString tiePast = tiesAscending ? QStringLiteral(">") : QStringLiteral("<");
            if (m_column.tiesInLoadOrder)
                run(page, QStringLiteral(" AND %1=? AND (A.postdate,A.ID)%2(?,?)").arg(m_column.value, tiePast),
                    {after->value, after->postdate, after->id}, limit, tiesAscending, tiesAscending, true);
            else
                run(page, QStringLiteral(" AND %1=? AND A.ID%2?").arg(m_column.value, tiePast),
                    {after->value, after->id}, limit, tiesAscending, tiesAscending, true);
            if (int(page.rows.size()) >= limit)
                return;
            runsPast(page, QStringLiteral(" AND %1%2?").arg(m_column.value, past), {after->value}, limit, ascending,
                     tiesAscending);
            return;
        }
        runsPast(page, {}, {}, limit, ascending, tiesAscending);
    }

private:
    // Rows under the extra condition, in the order's direction, up to limit in the page. Within
    // one value the engine walks the index only when not asked to order by that value too.
    void run(LedgerPage &page, const QString &more, const QVariantList &moreValues, int limit, bool ascending,
             bool tiesAscending, bool oneValue = false)
    {
        const QString dir = ascending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
        const QString tieDir = tiesAscending ? QStringLiteral(" ASC") : QStringLiteral(" DESC");
        QString orderBy = QStringLiteral(" ORDER BY ");
        if (!m_column.value.isEmpty() && !oneValue)
            orderBy += m_column.value + dir + QLatin1Char(',');
        if (m_column.value.isEmpty() || m_column.tiesInLoadOrder)
            orderBy += QStringLiteral("A.postdate") + tieDir + QLatin1Char(',');
        orderBy += QStringLiteral("A.ID") + tieDir;
        QVariantList values = m_values;
        values += moreValues;
        values << qint64(limit - qint64(page.rows.size()));
        Query q = m_db.query(rowColumns + QStringLiteral(",")
                                 + (m_column.value.isEmpty() ? QStringLiteral("NULL") : m_column.value) + joined
                                 + m_where + more + orderBy + QStringLiteral(" LIMIT ?"),
                             values);
        while (q.next()) {
            page.rows.push_back(readRow(q, m_names));
            page.keys.push_back(
                {q.value(5), QString::fromUtf8(q.utf8(1).data(), qsizetype(q.utf8(1).size())), page.rows.back().id});
        }
    }

    // Whole runs of equal values from the first past the condition. When ties run the other
    // way than the values, the index gives each run backwards: a run read whole is turned
    // round, the last (perhaps cut) one is read again from its start.
    void runsPast(LedgerPage &page, const QString &more, const QVariantList &moreValues, int limit, bool ascending,
                  bool tiesAscending)
    {
        const size_t start = page.rows.size();
        run(page, more, moreValues, limit, ascending, ascending);
        if (ascending == tiesAscending || page.rows.size() == start)
            return;
        const QVariant last = page.keys.back().value;
        size_t cut = page.rows.size();
        while (cut > start && page.keys[cut - 1].value == last)
            --cut;
        for (size_t from = start; from < cut;) {
            size_t to = from;
            while (to < cut && page.keys[to].value == page.keys[from].value)
                ++to;
            std::reverse(page.rows.begin() + qsizetype(from), page.rows.begin() + qsizetype(to));
            std::reverse(page.keys.begin() + qsizetype(from), page.keys.begin() + qsizetype(to));
            from = to;
        }
        page.rows.resize(cut);
        page.keys.resize(cut);
        run(page, QStringLiteral(" AND %1=?").arg(m_column.value), {last}, limit, tiesAscending, tiesAscending, true);
    }

    clsADO &m_db;
    OrderColumn m_column;
    QVariantList m_values;
    QString m_where;
    CategoryNames m_names;
};

} // namespace

std::vector<LedgerRow> LedgerStore::load(clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    Query q = select(db, user, cls, filter);
    CategoryNames names;
    std::vector<LedgerRow> rows;
    while (q.next())
        rows.push_back(readRow(q, names));
    return rows;
}

std::optional<LedgerRow> LedgerStore::row(clsADO &db, const QString &user, int cls, const SqlFilter &filter, qint64 id)
{
    Query q = select(db, user, cls, filter, QStringLiteral(" AND A.ID=?"), {id});
    CategoryNames names;
    if (!q.next())
        return std::nullopt;
    return readRow(q, names);
}

bool LedgerStore::isPeriod(const SqlFilter &filter)
{
    const SqlFilter period = dateRange(QDate(2000, 1, 1), QDate(2000, 1, 1));
    return filter.isEmpty() || (filter.sql == period.sql && filter.values.size() == 2);
}

LedgerSummary LedgerStore::summary(clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    QVariantList values{user, cls > 1 ? 1 : cls};
    LedgerSummary s;
    Money::Cents cents = 0;
    // A sum past the engine's integers (billions of yuan on one day) turns inexact there;
    // then the rows' cents are added here, where the sum is wide enough.
    const auto exactly = [&] {
        values.resize(2);
        values += filter.values;
        s.rows = 0;
        cents = 0;
        for (Query q = db.query(QStringLiteral("SELECT cents(A.money) FROM [pursewicks] AS A WHERE A.username=? AND "
                                               "A.style=?")
                                    + filter.sql,
                                values);
             q.next(); ++s.rows)
            cents += q.int64(0);
    };
    if (LedgerStore::isPeriod(filter)) {
        QString days;
        if (!filter.isEmpty()) {
            days = QStringLiteral(" AND day>=? AND day<?");
            values << filter.values[0].toString().left(10) << filter.values[1].toString().left(10);
        }
        bool exact = true;
        for (Query q = db.query(
                 QStringLiteral("SELECT n,cents FROM [pursewicksDays] WHERE username=? AND style=? AND n>0") + days,
                 values);
             exact && q.next();) {
            exact = q.value(1).typeId() != QMetaType::Double;
            s.rows += q.int64(0);
            cents += q.int64(1);
        }
        if (!exact)
            exactly();
    } else {
        values += filter.values;
        try {
            Query q = db.query(QStringLiteral("SELECT COUNT(*),SUM(cents(A.money)) FROM [pursewicks] AS A WHERE "
                                              "A.username=? AND A.style=?")
                                   + filter.sql,
                               values);
            if (q.next()) {
                s.rows = q.int64(0);
                cents = q.int64(1);
            }
        } catch (const DbError &) {
            exactly(); // the engine's SUM stops at an integer overflow
        }
    }
    s.total = Money::fromCents(cents);
    return s;
}

LedgerPage LedgerStore::page(clsADO &db, const QString &user, int cls, const SqlFilter &filter, LedgerOrder order,
                             const std::optional<LedgerKey> &after, int limit, bool backward)
{
    LedgerPage page;
    if (limit <= 0)
        return page;
    PageReader reader(db, user, cls, filter, order);
    const bool ascending = order.column < 0 || !order.descending;
    reader.read(page, after, limit, ascending != backward, !backward);
    if (backward) {
        std::reverse(page.rows.begin(), page.rows.end());
        std::reverse(page.keys.begin(), page.keys.end());
    }
    return page;
}

std::vector<LedgerKey> LedgerStore::positions(clsADO &db, const QString &user, int cls, const SqlFilter &filter,
                                              LedgerOrder order, int step, qint64 findId, qint64 *rowOf)
{
    if (rowOf)
        *rowOf = -1;
    const OrderColumn column = orderColumn(order);
    const bool descending = order.column >= 0 && order.descending;
    // Read along the index; where equal values follow in load order against the column's
    // direction, each run of one value comes backwards and its rows' places are worked out
    // when it ends (the engine would sort the whole list otherwise).
    const bool turned = descending && column.tiesInLoadOrder;
    const QString dir = descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC");
    QString sql = QStringLiteral("SELECT %1,A.postdate,A.ID FROM [pursewicks] AS A WHERE A.username=? AND A.style=?")
                      .arg(column.value.isEmpty() ? QStringLiteral("NULL") : column.value)
        + filter.sql + QStringLiteral(" ORDER BY ");
    if (!column.value.isEmpty())
        sql += column.value + dir + QLatin1Char(',');
    if (column.value.isEmpty() || column.tiesInLoadOrder)
        sql += QStringLiteral("A.postdate") + dir + QLatin1Char(',');
    sql += QStringLiteral("A.ID") + dir;
    QVariantList values{user, cls > 1 ? 1 : cls};
    values += filter.values;
    step = std::max(step, 1);

    std::vector<LedgerKey> keys;
    std::vector<qint64> run; // IDs of the present run, backwards
    QVariant runValue;
    qint64 row = 0;
    const auto endRun = [&] {
        for (auto it = run.rbegin(); it != run.rend(); ++it, ++row) {
            if (rowOf && *it == findId)
                *rowOf = row;
            if (row % step == 0)
                keys.push_back({runValue, {}, *it});
        }
        run.clear();
    };
    for (Query q = db.query(sql, values); q.next();) {
        if (!turned) {
            if (rowOf && q.int64(2) == findId)
                *rowOf = row;
            if (row++ % step == 0)
                keys.push_back({q.value(0), q.text(1), q.int64(2)});
            continue;
        }
        QVariant value = q.value(0);
        if (!run.empty() && value != runValue)
            endRun();
        runValue = std::move(value);
        run.push_back(q.int64(2));
    }
    if (turned) {
        endRun();
        for (LedgerKey &k : keys) {
            Query q = db.query(QStringLiteral("SELECT postdate FROM [pursewicks] WHERE ID=?"), {k.id});
            if (q.next())
                k.postdate = q.text(0);
        }
    }
    return keys;
}

qint64 LedgerStore::classRows(clsADO &db, const QString &user, int cls)
{
    return db.count(QStringLiteral("SELECT SUM(n) FROM [pursewicksDays] WHERE username=? AND style=?"),
                    {user, cls > 1 ? 1 : cls});
}

std::vector<qint64> LedgerStore::categoryOrder(clsADO &db, const QString &user, int cls, const SqlFilter &filter,
                                               bool descending)
{
    QVariantList values{user, cls > 1 ? 1 : cls};
    values += filter.values;
    // Few names, many rows: each name is ranked once, then the rows sort by rank.
    struct Entry {
        int rank;
        qint64 id;
    };
    std::vector<Entry> entries;
    QHash<qint64, int> slotOfType;
    QStringList names;
    for (Query q = db.query(QStringLiteral("SELECT A.ID,B.ID,B.typename FROM [pursewicks] AS A LEFT JOIN [types] AS "
                                           "B ON A.typeid=B.ID WHERE A.username=? AND A.style=?")
                                + filter.sql + QStringLiteral(" ORDER BY A.postdate ASC,A.ID ASC"),
                            values);
         q.next();) {
        const qint64 type = q.isNull(1) ? -1 : q.int64(1);
        auto it = slotOfType.constFind(type);
        if (it == slotOfType.constEnd()) {
            it = slotOfType.insert(type, int(names.size()));
            names << (type < 0 ? QStringLiteral("N/A") : q.text(2));
        }
        entries.push_back({it.value(), q.int64(0)});
    }
    std::vector<int> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compareTexts(names[a], names[b]) < 0; });
    std::vector<int> rankOfSlot(order.size());
    for (size_t r = 0, rank = 0; r < order.size(); ++r) {
        if (r > 0 && compareTexts(names[order[r - 1]], names[order[r]]) != 0)
            ++rank;
        rankOfSlot[size_t(order[r])] = int(rank);
    }
    for (Entry &e : entries)
        e.rank = descending ? -rankOfSlot[size_t(e.rank)] : rankOfSlot[size_t(e.rank)];
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) { return a.rank < b.rank; });
    std::vector<qint64> ids;
    ids.reserve(entries.size());
    for (const Entry &e : entries)
        ids.push_back(e.id);
    return ids;
}

std::vector<LedgerRow> LedgerStore::rowsById(clsADO &db, const QString &user, int cls, const std::vector<qint64> &ids)
{
    QHash<qint64, LedgerRow> byId;
    CategoryNames names;
    constexpr size_t chunk = 500;
    for (size_t from = 0; from < ids.size(); from += chunk) {
        QVariantList values{user, cls > 1 ? 1 : cls};
        QString marks;
        for (size_t i = from; i < std::min(ids.size(), from + chunk); ++i) {
            values << ids[i];
            marks += marks.isEmpty() ? QStringLiteral("?") : QStringLiteral(",?");
        }
        for (Query q = db.query(rowColumns + joined + QStringLiteral(" WHERE A.username=? AND A.style=? AND A.ID IN (")
                                    + marks + QLatin1Char(')'),
                                values);
             q.next();) {
            LedgerRow r = readRow(q, names);
            byId.insert(r.id, std::move(r));
        }
    }
    std::vector<LedgerRow> rows;
    rows.reserve(ids.size());
    for (qint64 id : ids) {
        if (auto it = byId.constFind(id); it != byId.constEnd())
            rows.push_back(*it);
    }
    return rows;
}

namespace {

// The same statements as the schema's, so that an upgraded file passes the restore check.
const char *const upgradeSteps[] = {
    "CREATE INDEX IF NOT EXISTS [pursewicks_owner_class_day] ON [pursewicks]([username], [style], "
    "substr([postdate], 1, 10), [ID])",
    "CREATE INDEX IF NOT EXISTS [pursewicks_owner_class_amount] ON [pursewicks]([username], [style], cents([money]), "
    "[postdate], [ID])",
    "CREATE INDEX IF NOT EXISTS [pursewicks_owner_class_memo] ON [pursewicks]([username], [style], textkey([memo]), "
    "[postdate], [ID])",
    "CREATE TABLE IF NOT EXISTS [pursewicksDays]([username] text(50) NOT NULL COLLATE NOCASE,[style] INTEGER NOT "
    "NULL,[day] TEXT NOT NULL,[n] INTEGER NOT NULL,[cents] INTEGER NOT NULL,PRIMARY KEY([username],[style],[day]))",
    "CREATE TRIGGER IF NOT EXISTS [pursewicks_days_insert] AFTER INSERT ON [pursewicks] BEGIN\n"
    "    INSERT OR IGNORE INTO [pursewicksDays] VALUES(NEW.username,NEW.style,substr(NEW.postdate,1,10),0,0);\n"
    "    UPDATE [pursewicksDays] SET [n]=[n]+1,[cents]=[cents]+cents(NEW.money) WHERE [username]=NEW.username AND "
    "[style]=NEW.style AND [day]=substr(NEW.postdate,1,10);\n"
    "END",
    "CREATE TRIGGER IF NOT EXISTS [pursewicks_days_delete] AFTER DELETE ON [pursewicks] BEGIN\n"
    "    UPDATE [pursewicksDays] SET [n]=[n]-1,[cents]=[cents]-cents(OLD.money) WHERE [username]=OLD.username AND "
    "[style]=OLD.style AND [day]=substr(OLD.postdate,1,10);\n"
    "END",
    "CREATE TRIGGER IF NOT EXISTS [pursewicks_days_update] AFTER UPDATE OF [username],[style],[postdate],[money] ON "
    "[pursewicks] BEGIN\n"
    "    UPDATE [pursewicksDays] SET [n]=[n]-1,[cents]=[cents]-cents(OLD.money) WHERE [username]=OLD.username AND "
    "[style]=OLD.style AND [day]=substr(OLD.postdate,1,10);\n"
    "    INSERT OR IGNORE INTO [pursewicksDays] VALUES(NEW.username,NEW.style,substr(NEW.postdate,1,10),0,0);\n"
    "    UPDATE [pursewicksDays] SET [n]=[n]+1,[cents]=[cents]+cents(NEW.money) WHERE [username]=NEW.username AND "
    "[style]=NEW.style AND [day]=substr(NEW.postdate,1,10);\n"
    "END",
    "INSERT OR REPLACE INTO [pursewicksDays] SELECT username,style,substr(postdate,1,10),COUNT(*),SUM(cents(money)) "
    "FROM [pursewicks] GROUP BY 1,2,3"};
constexpr int upgradeObjects = 7;

} // namespace

bool LedgerStore::needsUpgrade(clsADO &db)
{
    return db.count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name IN ('pursewicks_owner_class_day',"
                                   "'pursewicks_owner_class_amount','pursewicks_owner_class_memo','pursewicksDays',"
                                   "'pursewicks_days_insert','pursewicks_days_delete','pursewicks_days_update')"))
        < upgradeObjects;
}

bool LedgerStore::upgrade(clsADO &db, const std::function<bool(int done, int steps)> &progress)
{
    Transaction t(db);
    const int steps = int(std::size(upgradeSteps));
    for (int i = 0; i < steps; ++i) {
        db.execute(QString::fromLatin1(upgradeSteps[i]));
        if (progress && !progress(i + 1, steps))
            return false;
    }
    t.commit();
    return true;
}

SqlFilter dateRange(const QDate &first, const QDate &last)
{
    return dayRange(QStringLiteral("A.postdate"), first, last);
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
