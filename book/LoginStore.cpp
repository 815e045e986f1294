#include "book/LoginStore.h"

#include "book/Changes.h"

#include "foundation/NameText.h"
#include "foundation/clsADO.h"

#include <QDateTime>

namespace ht::LoginStore {

QList<RememberedUser> remembered(clsADO &db)
{
    QList<RememberedUser> users;
    Query q = db.query(QStringLiteral("SELECT * FROM [autouser] ORDER BY loginDateTime DESC"));
    const int name = q.column(QStringLiteral("username"));
    const int pwd = q.column(QStringLiteral("userpwd"));
    const int focus = q.column(QStringLiteral("focusUser"));
    while (q.next())
        users.append({q.text(name), q.text(pwd), q.int64(focus) == 1});
    return users;
}

void upgradeAutouser(clsADO &db)
{
    Transaction t(db);
    db.execute(QStringLiteral("ALTER TABLE [autouser] ADD focusUser INT"));
    db.execute(QStringLiteral("ALTER TABLE [autouser] ADD loginDateTime DATETIME"));
    db.execute(QStringLiteral("UPDATE [autouser] SET focusUser=0"));
    t.commit();
}

RememberedUser rememberedRow(clsADO &db, const QString &name)
{
    Query q = db.query(QStringLiteral("SELECT username,userpwd,focusUser FROM [autouser] WHERE username=?"), {name});
    if (!q.next())
        return {name, {}, false};
    return {q.text(0), q.text(1), q.int64(2) == 1};
}

namespace {

void rememberUser(clsADO &db, const QString &user, const QString &password)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM [autouser] WHERE [username]=?"), {user}) != 0) {
        db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]=?,[focusUser]=1,loginDateTime=? WHERE [username]=?"),
                   {password, now, user});
    } else {
        db.execute(QStringLiteral("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES(?,?,1,?)"),
                   {user, password, now});
    }
}

void forgetUser(clsADO &db, const QString &user)
{
    db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]='',focusUser=0 WHERE [username]=?"), {user});
}

} // namespace

LoginOutcome login(clsADO &db, const QString &name, const QString &password, bool remember)
{
    LoginOutcome out;
    {
        // Read and finished before the write lock is asked for, so that the engine can
        // wait for another program's lock instead of refusing at once.
        Query user = db.query(QStringLiteral("SELECT username,userpwd,logintime FROM [users] WHERE username=?"),
                              {SQLCut(name)});
        if (!user.next())
            return out;
        if (user.text(1) != password) {
            out.result = LoginResult::WrongPassword;
            return out;
        }
        out.userName = user.text(0);
        out.loginCount = qint32(user.int64(2));
    }
    out.result = LoginResult::Ok;
    try {
        Transaction t(db);
        db.execute(QStringLiteral("UPDATE [users] SET logintime = logintime + 1 WHERE [username]=?"), {out.userName});
        if (remember)
            rememberUser(db, out.userName, password);
        else
            forgetUser(db, out.userName);
        t.commit();
        book::changes().announce(book::Change::Users);
    } catch (const DbError &e) {
        if (!e.isReadOnly())
            throw;
        out.readOnly = true;
    }
    return out;
}

} // namespace ht::LoginStore
