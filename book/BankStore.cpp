#include "book/BankStore.h"

#include "book/Changes.h"
#include "book/RecycleBin.h"

#include "foundation/StoredDate.h"
#include "foundation/clsADO.h"

namespace ht::BankStore {
namespace {

const QString columns = QStringLiteral(
    "ID,bankAddr,bankRegdate,bankName,bankUsername,bankID,bankCardID,bankMoney,bankMemo");

BankAccount read(const Query &q)
{
    BankAccount a;
    a.id = q.int64(0);
    a.addr = q.text(1);
    if (const auto d = parseStoredDate(q.utf8(2)))
        a.regdate = QDate(d->year, d->month, d->day);
    a.name = q.text(3);
    a.holder = q.text(4);
    a.account = q.text(5);
    a.card = q.text(6);
    a.balance = Money::fromDouble(q.real(7));
    a.memo = q.text(8);
    return a;
}

Columns values(const QString &user, const BankAccount &a)
{
    return {{QStringLiteral("username"), user},
            {QStringLiteral("bankAddr"), a.addr},
            {QStringLiteral("bankName"), a.name},
            {QStringLiteral("bankID"), a.account},
            {QStringLiteral("bankUsername"), a.holder},
            {QStringLiteral("bankCardID"), a.card},
            {QStringLiteral("bankMoney"), a.balance.toDouble()},
            {QStringLiteral("bankRegdate"), QDateTime(a.regdate, QTime(0, 0))},
            {QStringLiteral("bankMemo"), a.memo}};
}

bool changed(int rows)
{
    if (rows > 0)
        book::changes().announce(book::Change::Banks);
    return rows > 0;
}

} // namespace

std::vector<BankAccount> list(clsADO &db, const QString &user)
{
    std::vector<BankAccount> rows;
    Query q = db.query(
        QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM [banks] WHERE username=? ORDER BY ID"), {user});
    while (q.next())
        rows.push_back(read(q));
    return rows;
}

std::optional<BankAccount> load(clsADO &db, const QString &user, qint64 id)
{
    Query q = db.query(QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM [banks] WHERE ID=? AND username=?"),
                       {id, user});
    if (!q.next())
        return std::nullopt;
    return read(q);
}

bool accountTaken(clsADO &db, const QString &user, const QString &account)
{
    return db.count(QStringLiteral("SELECT COUNT(*) FROM [banks] WHERE username=? AND bankID=?"), {user, account}) > 0;
}

qint64 add(clsADO &db, const QString &user, const BankAccount &a)
{
    const qint64 id = db.insert(QStringLiteral("banks"), values(user, a));
    book::changes().announce(book::Change::Banks);
    return id;
}

bool update(clsADO &db, const QString &user, const BankAccount &a)
{
    return changed(
        db.update(QStringLiteral("banks"), values(user, a), QStringLiteral("ID=? AND username=?"), {a.id, user}));
}

bool remove(clsADO &db, const QString &user, qint64 id)
{
    return RecycleBin::move(db, RecycleBin::Kind::Bank, user, QStringLiteral("删除账户"), QStringLiteral(" AND A.ID=?"),
                            {id})
        > 0;
}

} // namespace ht::BankStore
