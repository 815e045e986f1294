#include "book/UserStore.h"

#include "book/Changes.h"
#include "book/LoginStore.h"
#include "book/Passwords.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QDateTime>

namespace ht::UserStore {

QStringList names(clsADO &db)
{
    QStringList out;
    for (Query q = db.query(QStringLiteral("SELECT username FROM [users] ORDER BY rowid")); q.next();)
        out << q.text(0);
    return out;
}

bool exists(clsADO &db, const QString &name)
{
    return db.count(QStringLiteral("SELECT COUNT(*) FROM [users] WHERE [username]=?"), {name}) > 0;
}

void add(clsADO &db, const QString &name, const QString &password)
{
    db.insert(QStringLiteral("users"),
              {{QStringLiteral("username"), name},
               {QStringLiteral("userpwd"), passwords::hash(password)},
               {QStringLiteral("regdate"), QDateTime::currentDateTime()},
               {QStringLiteral("logintime"), 0}});
    book::changes().announce(book::Change::Users);
}

bool remove(clsADO &db, const QString &name)
{
    QString storedName;
    {
        Query stored = db.query(QStringLiteral("SELECT username FROM [users] WHERE [username]=?"), {name});
        if (!stored.next())
            return false;
        storedName = stored.text(0);
    }
    Transaction t(db);
    db.execute(QStringLiteral("DELETE FROM [users] WHERE [username]=?"), {name});
    db.execute(QStringLiteral("DELETE FROM [autouser] WHERE [username]=?"), {name});
    t.commit();
    program::removeStoreValue(LoginStore::tokenKey(storedName));
    book::changes().announce(book::Change::Users);
    return true;
}

void setPassword(clsADO &db, const QString &name, const QString &password)
{
    const QString hash = passwords::hash(password);
    Transaction t(db);
    if (db.execute(QStringLiteral("UPDATE [users] SET [userpwd]=? WHERE [username]=?"), {hash, name}) == 0)
        return;
    // A remembered login made with the old password must not outlive it.
    LoginStore::revoke(db, name);
    t.commit();
    book::changes().announce(book::Change::Users);
}

} // namespace ht::UserStore
