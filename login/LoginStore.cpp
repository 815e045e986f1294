#include "LoginStore.h"

#include "clsADO.h"
#include "ctrcls.h"

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

LoginResult login(clsADO &db, const QString &name, const QString &password, bool remember, qint32 *loginCount)
{
    const QString cleaned = ctrcls::SQLCut(name);
    Query user = db.query(QStringLiteral("SELECT userpwd,logintime FROM [users] WHERE username=?"), {cleaned});
    if (!user.next())
        return LoginResult::NoSuchUser;
    if (user.text(0) != password)
        return LoginResult::WrongPassword;
    const qint32 before = qint32(user.int64(1));

    Transaction t(db);
    db.execute(QStringLiteral("UPDATE [users] SET logintime = logintime + 1 WHERE [username]=?"), {cleaned});
    if (remember) {
        const QDateTime now = QDateTime::currentDateTime();
        if (db.count(QStringLiteral("SELECT COUNT(*) FROM [autouser] WHERE [username]=?"), {name}) != 0) {
            db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]=?,[focusUser]=1,loginDateTime=? WHERE [username]=?"),
                       {password, now, name});
        } else {
            db.execute(QStringLiteral("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES(?,?,1,?)"),
                       {name, password, now});
        }
    } else {
        db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]='',focusUser=0 WHERE [username]=?"), {name});
    }
    t.commit();
    if (loginCount)
        *loginCount = before;
    return LoginResult::Ok;
}

} // namespace ht::LoginStore
