#pragma once

#include "foundation/Money.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace ht {

class clsADO;

// One row of banks as the list and the dialog use it.
struct BankAccount {
    qint64 id = 0;
    QString addr;    // bankAddr
    QDate regdate;   // bankRegdate; invalid when the stored value is not a date
    QString name;    // bankName
    QString holder;  // bankUsername
    QString account; // bankID
    QString card;    // bankCardID
    Money balance;   // bankMoney
    QString memo;    // bankMemo
};

// The data side of the bank account list and its dialog, on an open connection. Every
// statement matches the owner as well as the ID, so a crafted ID reaches nobody else's row.
namespace BankStore {

// The user's accounts in ID order.
std::vector<BankAccount> list(clsADO &db, const QString &user);
// One of the user's accounts; none when it is gone or belongs to someone else.
std::optional<BankAccount> load(clsADO &db, const QString &user, qint64 id);
// Whether the user already has an account of that number (letter case ignored).
bool accountTaken(clsADO &db, const QString &user, const QString &account);
// The new row's ID.
qint64 add(clsADO &db, const QString &user, const BankAccount &a);
// False when the account is gone or not the user's.
bool update(clsADO &db, const QString &user, const BankAccount &a);
// Moves the user's account into their recycle bin; false when there was none.
bool remove(clsADO &db, const QString &user, qint64 id);

} // namespace BankStore
} // namespace ht
