#pragma once

#include "foundation/SqlFilter.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace ht {

class clsADO;

// A note's display attributes, stored as texts; "N/A" where the user chose none.
struct MemoStyle {
    QString fontName = QStringLiteral("N/A");
    QString fontBold = QStringLiteral("N/A");
    QString fontItalic = QStringLiteral("N/A");
    QString fontSize = QStringLiteral("N/A");
    QString foreColor = QStringLiteral("N/A");
};

struct MemoNote {
    qint64 id = 0;
    QDateTime when;
    QString content; // exactly as typed
    MemoStyle style;
};

// One row of the memo list.
struct MemoRow {
    qint64 id = 0;
    QDateTime when;
    QString content;
};

// One page of the list with the numbers the pager and the status text need.
struct MemoPage {
    qint64 total = 0;
    qint32 page = 1;  // the page shown, within 1..pages
    qint32 pages = 1; // at least 1
    std::vector<MemoRow> rows;
};

// The data side of the memo windows, on an open connection. Every statement matches the
// owner as well as the IDs, and every typed text is bound.
namespace MemoStore {

inline constexpr int pageSize = 30;

// The wanted page of the user's notes under the condition, newest first (same moment:
// the later note first); a page beyond either end gives the nearest one.
MemoPage loadPage(clsADO &db, const QString &user, const SqlFilter &condition, qint32 page);
// Brings a database from before memo notes, or before their counts, up to date.
void createTables(clsADO &db);

std::optional<MemoNote> load(clsADO &db, const QString &user, qint64 id);
// The new note's ID.
qint64 add(clsADO &db, const QString &user, const MemoNote &note);
// False when the note is gone or not the user's.
bool update(clsADO &db, const QString &user, const MemoNote &note);
// Moves those of the notes that are the user's into their recycle bin; how many went.
int remove(clsADO &db, const QString &user, const QList<qint64> &ids);

// The quick search: a typed date keeps that day's notes, any other text the notes
// containing it.
SqlFilter quickSearch(const QString &typed);
SqlFilter containing(const QString &text);
SqlFilter days(const QDate &first, const QDate &last);

} // namespace MemoStore
} // namespace ht
