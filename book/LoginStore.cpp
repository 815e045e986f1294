#include "book/LoginStore.h"

#include "book/Changes.h"
#include "book/Passwords.h"

#include "foundation/NameText.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QDateTime>

namespace ht::LoginStore {

namespace {

QDateTime oldestToken()
{
    return QDateTime::currentDateTime().addDays(-tokenDays);
}

// A remembered password from an older release still works until the next login replaces it.
bool usable(const QString &stored, bool focus, bool fresh, const QString &name)
{
    if (!focus || stored.isEmpty())
        return false;
    if (!passwords::isTokenHash(stored))
        return true;
    const QString token = program::readStoreValue(tokenKey(name));
    return fresh && !token.isEmpty() && passwords::tokenHash(token) == stored;
}

} // namespace

QString tokenKey(const QString &storedName)
{
    return QStringLiteral("login_") + QString::fromLatin1(storedName.toUtf8().toHex());
}

QList<RememberedUser> remembered(clsADO &db)
{
    QList<RememberedUser> users;
    Query q = db.query(QStringLiteral("SELECT * FROM [autouser] ORDER BY loginDateTime DESC"));
    const int name = q.column(QStringLiteral("username"));
    const int pwd = q.column(QStringLiteral("userpwd"));
    const int focus = q.column(QStringLiteral("focusUser"));
    const int when = q.column(QStringLiteral("loginDateTime"));
    const QString oldest = oldestToken().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    while (q.next()) {
        const bool f = q.int64(focus) == 1;
        users.append({q.text(name), f, usable(q.text(pwd), f, q.text(when) >= oldest, q.text(name))});
    }
    return users;
}

void upgradeAutouser(clsADO &db)
{
    Transaction t(db);
    db.execute(QStringLiteral("ALTER TABLE [autouser] ADD focusUser INT"));
    db.execute(QStringLiteral("ALTER TABLE [autouser] ADD loginDateTime DATETIME"));
    // Nothing is remembered in these rows any more; a password kept as typed must not stay.
    db.execute(QStringLiteral("UPDATE [autouser] SET focusUser=0,userpwd=''"));
    t.commit();
}

RememberedUser rememberedRow(clsADO &db, const QString &name)
{
    Query q = db.query(
        QStringLiteral("SELECT username,userpwd,focusUser,loginDateTime>=? FROM [autouser] WHERE username=?"),
        {oldestToken(), name});
    if (!q.next())
        return {name, false, false};
    const bool focus = q.int64(2) == 1;
    return {q.text(0), focus, usable(q.text(1), focus, q.int64(3) == 1, q.text(0))};
}

void revoke(clsADO &db, const QString &storedName)
{
    db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]='',focusUser=0 WHERE [username]=?"), {storedName});
    program::removeStoreValue(tokenKey(storedName));
}

namespace {

void rememberUser(clsADO &db, const QString &user, const QString &tokenHash)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (db.count(QStringLiteral("SELECT COUNT(*) FROM [autouser] WHERE [username]=?"), {user}) != 0) {
        db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]=?,[focusUser]=1,loginDateTime=? WHERE [username]=?"),
                   {tokenHash, now, user});
    } else {
        db.execute(QStringLiteral("INSERT INTO autouser(username,userpwd,focusUser,loginDateTime) VALUES(?,?,1,?)"),
                   {user, tokenHash, now});
    }
}

} // namespace

LoginOutcome login(clsADO &db, const QString &name, const QString &password, bool remember, Proof proof)
{
    LoginOutcome out;
    QString typed = password; // the password as typed, when it is known here
    bool rehash = false;
    {
        // Read and finished before the write lock is asked for, so that the engine can
        // wait for another program's lock instead of refusing at once.
        Query user = db.query(QStringLiteral("SELECT username,userpwd,logintime FROM [users] WHERE username=?"),
                              {SQLCut(name)});
        if (!user.next())
            return out;
        out.userName = user.text(0);
        out.result = LoginResult::WrongPassword;
        bool checked = false;
        if (proof == Proof::Remembered) {
            const RememberedUser row = rememberedRow(db, out.userName);
            if (!row.usable)
                return out;
            typed.clear();
            Query old = db.query(QStringLiteral("SELECT userpwd FROM [autouser] WHERE username=?"), {out.userName});
            if (old.next() && !passwords::isTokenHash(old.text(0)))
                typed = old.text(0);
            else
                checked = true;
        }
        if (!checked) {
            const passwords::Check c = passwords::check(user.text(1), typed);
            if (!c.ok)
                return out;
            rehash = c.rehash;
        }
        out.loginCount = qint32(user.int64(2));
    }
    out.result = LoginResult::Ok;
    const QString token = remember ? passwords::newToken() : QString();
    // Hashed before the write lock is taken: it is the slow part.
    const QString newHash = rehash ? passwords::hash(typed) : QString();
    try {
        Transaction t(db);
        db.execute(QStringLiteral("UPDATE [users] SET logintime = logintime + 1 WHERE [username]=?"), {out.userName});
        if (rehash)
            db.execute(QStringLiteral("UPDATE [users] SET userpwd=? WHERE [username]=?"), {newHash, out.userName});
        if (remember)
            rememberUser(db, out.userName, passwords::tokenHash(token));
        else
            db.execute(QStringLiteral("UPDATE [autouser] SET [userpwd]='',focusUser=0 WHERE [username]=?"),
                       {out.userName});
        t.commit();
        book::changes().announce(book::Change::Users);
    } catch (const DbError &e) {
        if (!e.isReadOnly())
            throw;
        out.readOnly = true;
        return out;
    }
    if (remember)
        program::writeStoreValue(tokenKey(out.userName), token);
    else
        program::removeStoreValue(tokenKey(out.userName));
    return out;
}

} // namespace ht::LoginStore
