#include "book/RecycleBin.h"

#include <optional>

#include "book/BuiltIn.h"
#include "book/Changes.h"
#include "book/RecordStore.h"

#include "foundation/DateText.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

namespace ht::RecycleBin {
namespace {

// Where each kind lives and waits; the columns start with ID.
struct Store {
    const char *kind, *table, *bin, *columns;
    book::Change change;
    // What the bin notes beside the columns: of a record, whether its category was gone
    // already, so that only one deleted while it waited is replaced at its restore.
    const char *noteColumn = "", *noteValue = "";
};
const Store stores[] = {
    {"record", "pursewicks", "pursewicksBin", "ID,username,typeid,postdate,money,style,memo", book::Change::Records,
     ",typeGone", ",NOT EXISTS(SELECT 1 FROM [types] AS T WHERE T.ID=A.typeid AND T.class=A.style)"},
    {"bank", "banks", "banksBin",
     "ID,username,bankAddr,bankRegdate,bankName,bankUsername,bankID,bankCardID,bankMoney,bankMemo",
     book::Change::Banks},
    {"memo", "MyNotes", "MyNotesBin",
     "ID,username,fontBold,fontItalic,fontName,fontSize,foreColor,noteDateTime,noteContent", book::Change::Memos}};

// Rows taken out of or put back into a large table touch its indexes all over, each in
// its own order; with the engine's small default page cache a batch of 100,000 would read
// and decrypt the same pages again and again, and in a book of a million records spill
// its changed pages to disk midway (25,000 records took 30 s instead of 4). The cache
// grows only as far as the move needs and is handed back after it. Nor are the rows a move takes out wiped
// where they stood: they live on in the bin or the lists, and wiping costs a write of
// every page they touched. An erase keeps wiping.
class BulkMove {
public:
    explicit BulkMove(clsADO &db)
        : m_db(db), m_cache(db.count(QStringLiteral("PRAGMA cache_size"))),
          m_wipe(db.count(QStringLiteral("PRAGMA secure_delete")))
    {
        m_db.execute(QStringLiteral("PRAGMA cache_size=-524288"));
        m_db.execute(QStringLiteral("PRAGMA secure_delete=0"));
    }
    ~BulkMove()
    {
        // Left as they are, the cache costs memory until the connection closes, never a write.
        try {
            m_db.execute(QStringLiteral("PRAGMA cache_size=%1").arg(m_cache));
            m_db.execute(QStringLiteral("PRAGMA secure_delete=%1").arg(m_wipe));
        } catch (const DbError &) {
        }
        trimWorkingSet();
    }
    BulkMove(const BulkMove &) = delete;
    BulkMove &operator=(const BulkMove &) = delete;

private:
    clsADO &m_db;
    qint64 m_cache, m_wipe;
};

// A record's triggers keep its day's count and sum as it comes and goes, two statements for
// each one put back. A batch keeps them with the triggers off instead, in one grouped
// statement from the entry's rows in the bin, within the same transaction. Records are
// the only rows moved with the triggers off: no other trigger fires on them then.
// A file from before the per-day sums (an older backup restored in this session) has
// neither them nor the triggers.
class DaysKept {
public:
    DaysKept(clsADO &db, qint64 entry)
        : m_db(db), m_entry(entry),
          m_kept(db.count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='pursewicksDays'")) != 0)
    {
        if (m_kept)
            db.setTriggersEnabled(false);
    }
    ~DaysKept()
    {
        if (m_kept)
            m_db.setTriggersEnabled(true);
    }
    DaysKept(const DaysKept &) = delete;
    DaysKept &operator=(const DaysKept &) = delete;

    void taken() const { adjust(QStringLiteral("-"), QStringLiteral("JOIN")); }
    void putBack() const { adjust(QStringLiteral("+"), QStringLiteral("LEFT JOIN")); }

private:
    // As the triggers do: a day's row keeps the case of the name it was made with, and
    // only a record put back makes one.
    void adjust(const QString &sign, const QString &join) const
    {
        if (!m_kept)
            return;
        m_db.execute(QStringLiteral("INSERT OR REPLACE INTO [pursewicksDays](username,style,day,n,cents) SELECT "
                                    "IFNULL(D.username,B.username),B.style,B.day,IFNULL(D.n,0)%1B.n,IFNULL(D.cents,0)"
                                    "%1B.cents FROM (SELECT username,style,substr(postdate,1,10) AS day,COUNT(*) AS "
                                    "n,SUM(cents(money)) AS cents FROM [pursewicksBin] WHERE binEntry=? GROUP BY "
                                    "1,2,3) AS B %2 [pursewicksDays] AS D ON D.username=B.username AND "
                                    "D.style=B.style AND D.day=B.day")
                         .arg(sign, join),
                     {m_entry});
    }

    clsADO &m_db;
    qint64 m_entry;
    bool m_kept;
};

const QString entryColumns = QStringLiteral("SELECT ID,kind,command,deletedAt,[count] FROM [binEntries]");

Entry entryOf(const Query &q)
{
    return {q.int64(0), q.text(1), q.text(2), toDateTime(q.value(3)), int(q.int64(4))};
}

// The built-in "其他" category of the class, by its name, as this user sees it.
std::optional<qint64> otherCategory(clsADO &db, const QString &user, int cls)
{
    for (const BuiltInCategory &c : builtInCategories) {
        const QString name = QString::fromUtf8(c.name);
        if (c.cls == cls && name.startsWith(QStringLiteral("其他")))
            return RecordStore::categoryId(db, user, cls, name);
    }
    return std::nullopt;
}

// Erases the user's entries that match, with what they hold.
int eraseWhere(clsADO &db, const QString &user, const QString &condition, const QVariantList &values)
{
    upgrade(db);
    const QString picked = QStringLiteral("SELECT ID FROM [binEntries] WHERE username=?") + condition;
    const QVariantList args = QVariantList{user} + values;
    Transaction t(db);
    for (const char *bin : {"pursewicksBin", "banksBin", "MyNotesBin", "importbatchesBin", "importedtxBin"})
        db.execute(QStringLiteral("DELETE FROM [%1] WHERE binEntry IN (").arg(QLatin1String(bin)) + picked
                       + QLatin1Char(')'),
                   args);
    const int erased = db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID IN (") + picked + QLatin1Char(')'),
                                  args);
    t.commit();
    if (erased > 0)
        book::changes().announce(book::Change::Bin);
    return erased;
}

} // namespace

void upgrade(clsADO &db)
{
    // The same statements as the schema's, so that an upgraded file passes the restore check.
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS [binEntries] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT NULL "
        "COLLATE NOCASE, [kind] TEXT NOT NULL, [command] TEXT NOT NULL, [deletedAt] DATETIME NOT NULL, [count] INTEGER "
        "NOT NULL)",
        "CREATE INDEX IF NOT EXISTS [binEntries_owner] ON [binEntries]([username], [ID])",
        "CREATE TABLE IF NOT EXISTS [pursewicksBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] "
        "TEXT(50) NOT NULL COLLATE NOCASE, [typeid] INTEGER, [postdate] DATETIME NOT NULL, [money] REAL NOT NULL "
        "DEFAULT 0, [style] INTEGER NOT NULL, [memo] TEXT, [typeGone] INTEGER NOT NULL DEFAULT 0, PRIMARY "
        "KEY([binEntry], [ID])) WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS [banksBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] "
        "TEXT(50) NOT NULL COLLATE NOCASE, [bankAddr] TEXT, [bankRegdate] DATETIME, [bankName] TEXT, [bankUsername] "
        "TEXT, [bankID] TEXT COLLATE NOCASE, [bankCardID] TEXT, [bankMoney] REAL, [bankMemo] TEXT, PRIMARY "
        "KEY([binEntry], [ID])) WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS [MyNotesBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, [username] "
        "text(50) NOT NULL COLLATE NOCASE, [fontBold] text(50), [fontItalic] text(50), [fontName] text(200), "
        "[fontSize] text(50), [foreColor] text(50), [noteDateTime] datetime NOT NULL, [noteContent] memo NOT NULL, "
        "PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS [importbatchesBin] ([binEntry] INTEGER NOT NULL, [ID] INTEGER NOT NULL, "
        "[username] TEXT(50) NOT NULL COLLATE NOCASE, [importdate] DATETIME NOT NULL, [provider] TEXT NOT NULL, "
        "PRIMARY KEY([binEntry], [ID])) WITHOUT ROWID",
        "CREATE TABLE IF NOT EXISTS [importedtxBin] ([binEntry] INTEGER NOT NULL, [username] TEXT(50) NOT NULL "
        "COLLATE NOCASE, [provider] TEXT NOT NULL, [txno] TEXT NOT NULL, [recordid] INTEGER NOT NULL, [batchid] "
        "INTEGER NOT NULL, [counterparty] TEXT NOT NULL DEFAULT '', [changed] INTEGER NOT NULL DEFAULT 0, PRIMARY "
        "KEY([binEntry], [provider], [txno])) WITHOUT ROWID"};
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='importedtxBin'")) != 0)
        return;
    Transaction t(db);
    for (const char *sql : statements)
        db.execute(QString::fromUtf8(sql));
    t.commit();
}

Moved moveWithin(clsADO &db, Kind kind, const QString &user, const QString &command, const QString &condition,
                 const QVariantList &values)
{
    const Store &s = stores[int(kind)];
    const qint64 entry = db.insert(QStringLiteral("binEntries"),
                                   {{QStringLiteral("username"), user},
                                    {QStringLiteral("kind"), QString::fromLatin1(s.kind)},
                                    {QStringLiteral("command"), command},
                                    {QStringLiteral("deletedAt"), QDateTime::currentDateTime()},
                                    {QStringLiteral("count"), 0}});
    const QString columns = QString::fromLatin1(s.columns);
    const int moved = db.execute(
        QStringLiteral("INSERT INTO [%1](binEntry,%2%5) SELECT ?,A.%3%6 FROM [%4] AS A WHERE "
                       "A.username=?")
                .arg(QString::fromLatin1(s.bin), columns, QString(columns).replace(u',', QStringLiteral(",A.")),
                     QString::fromLatin1(s.table), QString::fromLatin1(s.noteColumn), QString::fromLatin1(s.noteValue))
            + condition,
        QVariantList{entry, user} + values);
    if (moved == 0) {
        db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID=?"), {entry});
        return {};
    }
    {
        // Records keep their per-day sums here; the engine's triggers count the memos out as they go.
        std::optional<DaysKept> days;
        if (kind == Kind::Record)
            days.emplace(db, entry).taken();
        db.execute(QStringLiteral("DELETE FROM [%1] WHERE ID IN (SELECT ID FROM [%2] WHERE binEntry=? ORDER BY ID)")
                       .arg(QString::fromLatin1(s.table), QString::fromLatin1(s.bin)),
                   {entry});
    }
    db.execute(QStringLiteral("UPDATE [binEntries] SET [count]=? WHERE ID=?"), {moved, entry});
    return {entry, moved};
}

qint64 move(clsADO &db, Kind kind, const QString &user, const QString &command, const QString &condition,
            const QVariantList &values)
{
    upgrade(db);
    const Store &s = stores[int(kind)];
    BulkMove bulk(db);
    Transaction t(db);
    const Moved moved = moveWithin(db, kind, user, command, condition, values);
    if (moved.count == 0)
        return 0;
    // The lists refresh a single record by its ID.
    const qint64 one = moved.count == 1 && kind == Kind::Record
        ? db.count(QStringLiteral("SELECT ID FROM [%1] WHERE binEntry=?").arg(QString::fromLatin1(s.bin)),
                   {moved.entry})
        : 0;
    t.commit();
    book::changes().announce(s.change, book::anyClass, one);
    book::changes().announce(book::Change::Bin, book::anyClass, moved.entry);
    return moved.count;
}

QList<Entry> entries(clsADO &db, const QString &user)
{
    upgrade(db);
    QList<Entry> list;
    for (Query q = db.query(entryColumns + QStringLiteral(" WHERE username=? ORDER BY ID DESC"), {user}); q.next();)
        list.append(entryOf(q));
    return list;
}

std::optional<Restored> restore(clsADO &db, const QString &user, qint64 entry)
{
    upgrade(db);
    const Store *s = nullptr;
    for (Query q = db.query(QStringLiteral("SELECT kind FROM [binEntries] WHERE ID=? AND username=?"), {entry, user});
         q.next();) {
        for (const Store &each : stores) {
            if (q.text(0) == QLatin1String(each.kind))
                s = &each;
        }
    }
    if (!s)
        return std::nullopt;
    const QString table = QString::fromLatin1(s->table), bin = QString::fromLatin1(s->bin);
    const std::optional<qint64> other[] = {otherCategory(db, user, 0), otherCategory(db, user, 1)};
    Restored r;
    BulkMove bulk(db);
    Transaction t(db);
    for (int cls : {0, 1}) {
        if (other[cls] && s->change == book::Change::Records)
            r.recategorizedIn[cls] = db.execute(
                QStringLiteral("UPDATE [pursewicksBin] SET typeid=? WHERE binEntry=? AND "
                               "style=? AND typeGone=0 AND (typeid IS NULL OR typeid NOT IN "
                               "(SELECT ID FROM [types] WHERE class=?))"),
                {*other[cls], entry, cls, cls});
    }
    r.recategorized = r.recategorizedIn[0] + r.recategorizedIn[1];
    // Only a file whose numbering was started over can hold the ID again: that row gets a new one.
    db.execute(
        QStringLiteral("UPDATE [%1] SET ID=-ID WHERE binEntry=? AND ID IN (SELECT ID FROM [%2])").arg(bin, table),
        {entry});
    const QString columns = QString::fromLatin1(s->columns);
    // Only the list of the class put back reloads, and an only record just takes its place.
    QList<std::pair<int, qint64>> classes;
    if (s->change == book::Change::Records) {
        for (Query q = db.query(QStringLiteral("SELECT style,COUNT(*),MAX(ID) FROM [pursewicksBin] WHERE binEntry=? "
                                               "GROUP BY style"),
                                {entry});
             q.next();)
            classes.append({int(q.int64(0)), q.int64(1) == 1 && q.int64(2) > 0 ? q.int64(2) : 0});
    }
    // In rising order, which appends, read in the bin's own order; a renumbered row comes
    // last, after every kept ID.
    const QString putBack = QStringLiteral("INSERT INTO [%1](%2) SELECT CASE WHEN ID>0 THEN ID END,%3 FROM [%4] WHERE "
                                           "binEntry=? AND ID%5 ORDER BY ID")
                                .arg(table, columns, columns.section(u',', 1), bin);
    const auto putAllBack = [&] {
        return db.execute(putBack.arg(QLatin1String(">0")), {entry})
            + db.execute(putBack.arg(QLatin1String("<0")), {entry});
    };
    if (s->change == book::Change::Records) {
        const DaysKept days(db, entry);
        days.putBack();
        r.records = putAllBack();
    } else {
        r.records = putAllBack();
    }
    // An undone import's lines are the bill's again, except a renumbered record's, whose tie
    // would now name another record. Only an undone import has any, and only a file with the
    // import's tables can have made one.
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM [importbatchesBin] WHERE binEntry=?"), {entry}) != 0) {
        db.execute(QStringLiteral("INSERT OR IGNORE INTO [importbatches](ID,username,importdate,provider) SELECT "
                                  "ID,username,importdate,provider FROM [importbatchesBin] WHERE binEntry=?"),
                   {entry});
        db.execute(QStringLiteral("INSERT OR IGNORE INTO [importedtx](username,provider,txno,recordid,batchid,"
                                  "counterparty,changed) SELECT username,provider,txno,recordid,batchid,counterparty,"
                                  "changed FROM [importedtxBin] WHERE binEntry=? AND recordid NOT IN (SELECT -ID FROM "
                                  "[%1] WHERE binEntry=? AND ID<0)")
                       .arg(bin),
                   {entry, entry});
    }
    for (const QString &each : {bin, QStringLiteral("importbatchesBin"), QStringLiteral("importedtxBin")})
        db.execute(QStringLiteral("DELETE FROM [%1] WHERE binEntry=?").arg(each), {entry});
    db.execute(QStringLiteral("DELETE FROM [binEntries] WHERE ID=?"), {entry});
    t.commit();
    if (r.records > 0 && classes.size() == 1)
        book::changes().announce(s->change, classes[0].first, classes[0].second);
    else if (r.records > 0)
        book::changes().announce(s->change);
    book::changes().announce(book::Change::Bin);
    return r;
}

bool erase(clsADO &db, const QString &user, qint64 entry)
{
    return eraseWhere(db, user, QStringLiteral(" AND ID=?"), {entry}) > 0;
}

int eraseAll(clsADO &db, const QString &user)
{
    return eraseWhere(db, user, {}, {});
}

int expire(clsADO &db, const QString &user, int days, const QDateTime &now)
{
    if (days <= 0)
        return 0;
    return eraseWhere(db, user, QStringLiteral(" AND deletedAt<?"), {now.addDays(-days)});
}

namespace {

// The user's entries among the bin's rows as A.
const QString ownEntries = QStringLiteral(
    " A.binEntry IN (SELECT ID FROM [binEntries] WHERE username=?) AND A.username=?");

BinItem item(Query &q, bool bank)
{
    BinItem i;
    i.id = q.int64(1);
    i.title = q.text(2);
    if (bank) {
        i.account = q.text(3);
        i.card = q.text(4);
        i.money = q.real(5);
    }
    i.when = toDateTime(q.value(6));
    return i;
}

// Bank accounts or memos of the condition (on A, after the user twice), the lowest ID of
// each entry first.
const QString itemColumns[2] = {
    QStringLiteral("SELECT A.binEntry,A.ID,A.noteContent,NULL,NULL,NULL,A.noteDateTime FROM [MyNotesBin] AS A"),
    QStringLiteral("SELECT A.binEntry,A.ID,A.bankName,A.bankID,A.bankCardID,A.bankMoney,A.bankRegdate FROM "
                   "[banksBin] AS A")};

} // namespace

QList<BinItem> firstItems(clsADO &db, const QString &user, qint64 entry, int limit)
{
    upgrade(db);
    QList<BinItem> list;
    for (const bool bank : {false, true}) {
        for (Query q = db.query(itemColumns[bank] + QStringLiteral(" WHERE A.binEntry=? AND") + ownEntries
                                    + QStringLiteral(" ORDER BY A.ID LIMIT ?"),
                                {entry, user, user, limit});
             q.next();)
            list.append(item(q, bank));
    }
    return list;
}

QList<BinRecord> firstRecords(clsADO &db, const QString &user, qint64 entry, int limit)
{
    upgrade(db);
    QList<BinRecord> list;
    for (Query q =
             db.query(QStringLiteral("SELECT A.ID,A.postdate,A.money,A.style,B.typename,A.memo FROM "
                                     "[pursewicksBin] AS A LEFT JOIN [types] AS B ON A.typeid=B.ID AND "
                                     "B.class=A.style WHERE A.binEntry=? AND A.username=? ORDER BY A.postdate,A.ID "
                                     "LIMIT ?"),
                      {entry, user, limit});
         q.next();)
        list.append({q.int64(0), toDateTime(q.value(1)), q.real(2), int(q.int64(3)),
                     q.isNull(4) ? QString() : q.text(4), q.text(5)});
    return list;
}

QHash<qint64, Summary> summaries(clsADO &db, const QString &user)
{
    upgrade(db);
    QHash<qint64, Summary> all;
    // Rounded one by one, as the lists add them up.
    for (Query q = db.query(QStringLiteral("SELECT A.binEntry,A.style,COUNT(*),SUM(CAST(round(A.money*100) AS "
                                           "INTEGER)),MIN(A.postdate),MAX(A.postdate) FROM [pursewicksBin] AS A "
                                           "WHERE")
                                + ownEntries + QStringLiteral(" GROUP BY A.binEntry,A.style"),
                            {user, user});
         q.next();) {
        Summary &s = all[q.int64(0)];
        const int cls = q.int64(1) == 1 ? 1 : 0;
        s.count[cls] += int(q.int64(2));
        s.cents[cls] += q.int64(3);
        const QDateTime first = toDateTime(q.value(4)), last = toDateTime(q.value(5));
        if (!s.first.isValid() || first < s.first)
            s.first = first;
        if (!s.last.isValid() || last > s.last)
            s.last = last;
    }
    for (Query q = db.query(QStringLiteral("SELECT ID FROM [binEntries] WHERE username=? AND kind='record' AND "
                                           "[count]=1"),
                            {user});
         q.next();) {
        const QList<BinRecord> one = firstRecords(db, user, q.int64(0), 1);
        if (!one.isEmpty())
            all[q.int64(0)].record = one.first();
    }
    for (const bool bank : {false, true}) {
        for (Query q = db.query(itemColumns[bank] + QStringLiteral(" WHERE A.ID IN (SELECT MIN(A.ID) FROM ")
                                    + QString::fromLatin1(bank ? "[banksBin]" : "[MyNotesBin]")
                                    + QStringLiteral(" AS A WHERE") + ownEntries
                                    + QStringLiteral(" GROUP BY A.binEntry) AND") + ownEntries,
                                {user, user, user, user});
             q.next();)
            all[q.int64(0)].item = item(q, bank);
    }
    return all;
}

std::optional<Entry> entry(clsADO &db, const QString &user, qint64 id)
{
    upgrade(db);
    Query q = db.query(entryColumns + QStringLiteral(" WHERE ID=? AND username=?"), {id, user});
    if (!q.next())
        return std::nullopt;
    return entryOf(q);
}

} // namespace ht::RecycleBin
