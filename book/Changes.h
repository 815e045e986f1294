#pragma once

#include <QObject>

namespace ht::book {

// What a committed write changed.
enum class Change {
    Records,    // with the class: 1 income, 0 expense, anyClass for both or unknown; and the
                // record's ID when just one was written
    Categories, // with the class as for records
    Banks,
    Memos,
    Users,
    Database, // the whole file, after a restore
    Bin,      // the user's recycle bin; with the new entry's ID when a delete made one
};

inline constexpr int anyClass = -1;

// Tells every window what the stores have changed. The stores announce each write that
// changed something, synchronously and after it committed, so a list reloads at once and
// sees the change; a refused or rolled-back write announces nothing. Upgrades of an older
// file change no content and announce nothing. A caller that holds its own transaction
// around store writes (only the crash trials do) hears of them before its commit.
class Changes : public QObject {
    Q_OBJECT
public:
    void announce(Change what, int cls = anyClass, qint64 id = 0);

Q_SIGNALS:
    void changed(ht::book::Change what, int cls, qint64 id);
};

// The program's one instance.
Changes &changes();

} // namespace ht::book
