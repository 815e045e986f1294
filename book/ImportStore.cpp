#include "book/ImportStore.h"

#include "book/BuiltIn.h"
#include "book/Changes.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"

#include "foundation/clsADO.h"

#include <QDateTime>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace ht::ImportStore {
namespace {

// A row without a number is known by its moment, amount and counterparty.
QString keyOf(const BillRow &r)
{
    if (!r.txno.isEmpty())
        return r.txno;
    return QStringLiteral("~%1|%2|%3")
        .arg(r.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")), r.amount.text(), r.counterparty);
}

QString fallback(int cls)
{
    return cls == 1 ? QStringLiteral("其他收入") : QStringLiteral("其他开支");
}

// The user's categories of each class by name, letter case ignored, to their IDs.
struct Categories {
    QHash<QString, qint64> byName[2];

    explicit Categories(clsADO &db, const QString &user)
    {
        for (int cls : {0, 1}) {
            for (const Category &c : RecordStore::categories(db, user, cls))
                byName[cls].insert(c.name.toCaseFolded(), c.id);
        }
    }
    qint64 id(int cls, const QString &name) const
    {
        return byName[cls].value(name.toCaseFolded(), byName[cls].value(fallback(cls).toCaseFolded(), 0));
    }
    bool has(int cls, const QString &name) const { return byName[cls].contains(name.toCaseFolded()); }
};

} // namespace

void upgrade(clsADO &db)
{
    // The same statements as the schema's (a test compares them).
    static const char *const statements[] = {
        "CREATE TABLE IF NOT EXISTS [importbatches] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT "
        "NULL COLLATE NOCASE, [importdate] DATETIME NOT NULL, [provider] TEXT NOT NULL)",
        "CREATE TABLE IF NOT EXISTS [importedtx] ([username] TEXT(50) NOT NULL COLLATE NOCASE, [provider] TEXT NOT "
        "NULL, [txno] TEXT NOT NULL, [recordid] INTEGER NOT NULL, [batchid] INTEGER NOT NULL, [counterparty] TEXT NOT "
        "NULL DEFAULT '', [changed] INTEGER NOT NULL DEFAULT 0)",
        "CREATE UNIQUE INDEX IF NOT EXISTS [importedtx_key] ON [importedtx]([username], [provider], [txno])",
        "CREATE INDEX IF NOT EXISTS [importedtx_record] ON [importedtx]([recordid])",
        "CREATE INDEX IF NOT EXISTS [importedtx_batch] ON [importedtx]([batchid])",
        "CREATE TRIGGER IF NOT EXISTS [importedtx_touched] AFTER UPDATE ON [pursewicks] BEGIN UPDATE [importedtx] SET "
        "[changed]=1 WHERE [recordid]=NEW.ID; END",
        "CREATE TABLE IF NOT EXISTS [importrules] ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [username] TEXT(50) NOT "
        "NULL COLLATE NOCASE, [pattern] TEXT NOT NULL, [class] INTEGER NOT NULL, [typename] TEXT NOT NULL)",
        "CREATE INDEX IF NOT EXISTS [importrules_owner] ON [importrules]([username], [ID])"};
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='importrules_owner'")) != 0)
        return;
    Transaction t(db);
    for (const char *sql : statements)
        db.execute(QString::fromUtf8(sql));
    t.commit();
}

QList<Rule> rules(clsADO &db, const QString &user)
{
    QList<Rule> list;
    for (Query q = db.query(QStringLiteral("SELECT pattern,class,typename FROM [importrules] WHERE username=? ORDER BY "
                                           "ID"),
                            {user});
         q.next();)
        list.append({q.text(0), int(q.int64(1)), q.text(2)});
    return list;
}

void saveRules(clsADO &db, const QString &user, const QList<Rule> &rules)
{
    Transaction t(db);
    db.execute(QStringLiteral("DELETE FROM [importrules] WHERE username=?"), {user});
    for (const Rule &r : rules) {
        if (!r.pattern.isEmpty())
            db.insert(QStringLiteral("importrules"),
                      {{QStringLiteral("username"), user},
                       {QStringLiteral("pattern"), r.pattern},
                       {QStringLiteral("class"), r.cls},
                       {QStringLiteral("typename"), r.category}});
    }
    t.commit();
}

QList<Plan> plan(clsADO &db, const QString &user, const QString &provider, QList<BillRow> &rows)
{
    QSet<QString> known;
    for (Query q = db.query(QStringLiteral("SELECT txno FROM [importedtx] WHERE username=? AND provider=?"),
                            {user, provider});
         q.next();)
        known.insert(q.text(0));
    // A category the user corrected wins over those the import chose, then the latest.
    QHash<QString, QString> last[2];
    for (Query q = db.query(QStringLiteral("SELECT I.counterparty,P.style,T.typename FROM [importedtx] AS I JOIN "
                                           "[pursewicks] AS P ON P.ID=I.recordid AND P.username=I.username JOIN "
                                           "[types] AS T ON T.ID=P.typeid WHERE I.username=? AND I.counterparty<>'' "
                                           "ORDER BY I.changed,P.postdate,P.ID"),
                            {user});
         q.next();) {
        const int cls = q.int64(1) == 1 ? 1 : 0;
        last[cls].insert(q.text(0), q.text(2));
    }
    const Categories categories(db, user);
    const QList<Rule> ruleList = rules(db, user);

    QList<Plan> plans;
    plans.reserve(rows.size());
    QSet<QString> inFile;
    for (BillRow &r : rows) {
        Plan p;
        if (r.skipped.isEmpty()) {
            const QString key = keyOf(r);
            if (known.contains(key)) {
                r.skipped = QStringLiteral("已导入过");
                p.duplicate = true;
            } else if (inFile.contains(key)) {
                r.skipped = QStringLiteral("与文件中前面一行重复");
                p.duplicate = true;
            }
            inFile.insert(key);
        }
        if (!r.skipped.isEmpty()) {
            plans << p;
            continue;
        }
        const int cls = r.cls();
        for (const Rule &rule : ruleList) {
            if (rule.cls == cls && categories.has(cls, rule.category)
                && (r.counterparty.contains(rule.pattern, Qt::CaseInsensitive)
                    || r.goods.contains(rule.pattern, Qt::CaseInsensitive))) {
                p.category = rule.category;
                p.why = QStringLiteral("规则：包含“%1”").arg(rule.pattern);
                break;
            }
        }
        if (p.category.isEmpty()) {
            const QString earlier = last[cls].value(r.counterparty);
            if (!earlier.isEmpty() && categories.has(cls, earlier)) {
                p.category = earlier;
                p.why = QStringLiteral("同一交易对方上次的类别");
            } else {
                p.category = fallback(cls);
                p.why = QStringLiteral("默认");
            }
        }
        plans << p;
    }
    return plans;
}

std::optional<int> write(clsADO &db, const QString &user, const QString &provider, const QList<Item> &items,
                         const Progress &progress)
{
    const Categories categories(db, user);
    Transaction t(db);
    const qint64 batch = db.insert(QStringLiteral("importbatches"),
                                   {{QStringLiteral("username"), user},
                                    {QStringLiteral("importdate"), QDateTime::currentDateTime()},
                                    {QStringLiteral("provider"), provider}});
    const int total = int(items.size());
    int added = 0;
    // A hundred lines a statement: one statement a line would cost more than the writing.
    constexpr int chunk = 100;
    for (int from = 0; from < total; from += chunk) {
        if (progress && !progress(from, total))
            return std::nullopt;
        const int n = std::min(chunk, total - from);
        QVariantList records, numbers;
        for (int i = from; i < from + n; ++i) {
            const BillRow &r = items.at(i).row;
            records << user << categories.id(r.cls(), items.at(i).category) << r.when << r.amount.toDouble() << r.cls()
                    << r.remark();
        }
        const auto marks = [n](const QString &one) {
            QStringList all;
            for (int i = 0; i < n; ++i)
                all << one;
            return all.join(u',');
        };
        db.execute(QStringLiteral("INSERT INTO [pursewicks](username,typeid,postdate,money,style,memo) VALUES")
                       + marks(QStringLiteral("(?,?,?,?,?,?)")),
                   records);
        // One statement's rows get consecutive IDs while this transaction holds the file.
        const qint64 last = db.count(QStringLiteral("SELECT last_insert_rowid()"));
        const qint64 first = last - n + 1;
        for (int i = from; i < from + n; ++i) {
            const BillRow &r = items.at(i).row;
            numbers << user << provider << keyOf(r) << first + (i - from) << batch << r.counterparty;
        }
        const int kept = db.execute(QStringLiteral("INSERT OR IGNORE INTO [importedtx](username,provider,txno,recordid,"
                                                   "batchid,counterparty) VALUES")
                                        + marks(QStringLiteral("(?,?,?,?,?,?)")),
                                    numbers);
        // A line imported before, or twice among these, leaves no record behind.
        if (kept < n)
            db.execute(QStringLiteral("DELETE FROM [pursewicks] WHERE ID BETWEEN ? AND ? AND ID NOT IN(SELECT recordid "
                                      "FROM [importedtx] WHERE batchid=?)"),
                       {first, last, batch});
        added += kept;
    }
    if (progress && !progress(total, total))
        return std::nullopt;
    if (added == 0)
        return 0;
    t.commit();
    book::changes().announce(book::Change::Records);
    return added;
}

std::optional<Undone> undoLast(clsADO &db, const QString &user)
{
    const qint64 batch = db.count(QStringLiteral("SELECT MAX(ID) FROM [importbatches] WHERE username=?"), {user});
    if (batch == 0)
        return std::nullopt;
    Undone result;
    RecycleBin::upgrade(db);
    Transaction t(db);
    const RecycleBin::Moved moved = RecycleBin::moveWithin(
        db, RecycleBin::Kind::Record, user, QStringLiteral("撤销导入"),
        QStringLiteral(" AND A.ID IN(SELECT recordid FROM "
                       "[importedtx] WHERE batchid=? AND changed=0)"),
        {batch});
    result.removed = int(moved.count);
    // A changed record stays and keeps its number, so it never comes in again beside itself.
    result.kept = int(db.count(QStringLiteral("SELECT COUNT(*) FROM [importedtx] AS I JOIN [pursewicks] AS P ON "
                                              "P.ID=I.recordid WHERE I.batchid=? AND I.changed=1"),
                               {batch}));
    // The bill's lines wait with their records, so that a restore keeps them from coming in twice.
    if (moved.entry != 0) {
        db.execute(QStringLiteral("INSERT INTO [importedtxBin] SELECT ?,username,provider,txno,recordid,batchid,"
                                  "counterparty,changed FROM [importedtx] WHERE batchid=? AND changed=0"),
                   {moved.entry, batch});
        db.execute(QStringLiteral("INSERT INTO [importbatchesBin] SELECT ?,ID,username,importdate,provider FROM "
                                  "[importbatches] WHERE ID=?"),
                   {moved.entry, batch});
    }
    db.execute(QStringLiteral("DELETE FROM [importedtx] WHERE batchid=? AND changed=0"), {batch});
    db.execute(QStringLiteral("DELETE FROM [importbatches] WHERE ID=?"), {batch});
    t.commit();
    if (result.removed > 0) {
        book::changes().announce(book::Change::Records);
        book::changes().announce(book::Change::Bin, book::anyClass, moved.entry);
    }
    return result;
}

} // namespace ht::ImportStore
