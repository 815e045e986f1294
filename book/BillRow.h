#pragma once

#include "foundation/Money.h"

#include <QDateTime>
#include <QList>
#include <QString>

namespace ht {

// One line of a payment provider's statement, as the import previews and writes it.
struct BillRow {
    enum class Direction { Income, Expense, Neutral };

    QDateTime when;
    Direction direction = Direction::Neutral;
    Money amount;
    QString counterparty; // empty where the statement has none ("/")
    QString goods;
    QString method;
    QString status;
    QString txno;    // the provider's transaction number; may be empty
    QString skipped; // why the row is not imported; empty for a row to import

    int cls() const { return direction == Direction::Income ? 1 : 0; }
    // The remark as a user would write it: who, then what.
    QString remark() const
    {
        if (goods.isEmpty() || goods == counterparty)
            return counterparty;
        return counterparty.isEmpty() ? goods : counterparty + QLatin1Char(' ') + goods;
    }
};

// A whole statement: whose it is and its rows, or why it cannot be read at all.
struct Bill {
    QString provider; // "wechat", "alipay"
    QList<BillRow> rows;
    QString error;            // for the user, in Chinese; empty when the file was read
    bool unknownKind = false; // a table, but of neither provider: its columns may be mapped
};

} // namespace ht
