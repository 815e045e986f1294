#include "recycle/Recycle.h"

#include "recycle/BinTexts.h"
#include "recycle/frmRecycleBin.h"

#include "ledger/LedgerLists.h"

#include "book/Changes.h"
#include "book/RecycleBin.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/Program.h"
#include "foundation/clsRWIni.h"

#include <QAction>

#include <memory>
#include <utility>

namespace ht::recycle {
namespace {

const QString keepSection = QStringLiteral("recycle"), keepKey = QStringLiteral("keepdays");

QString user()
{
    return program::session().userName;
}

// Erases what the user deleted longer ago than config.ini says; the setting is written
// out with its default the first time, so that a user can find it.
void expireAtLogin()
{
    clsRWIni config;
    config.SpecifyIni(program::pathIn(QStringLiteral("config.ini")));
    const QString text = config.ReadString(keepSection, keepKey, 16);
    if (text.trimmed().isEmpty())
        config.WriteString(keepSection, keepKey, QString::number(defaultKeepDays));
    const int days = keepDays(text);
    withDbOr([&](clsADO &db) { RecycleBin::expire(db, user(), days); }, [](const DbError &) {});
}

// The last delete of this run, as long as it is in the bin and its user is logged in.
struct LastDelete {
    QString user;
    qint64 entry = 0;
};

void undoLast(LedgerLists &lists, QAction *undo, LastDelete &last)
{
    undo->setEnabled(false);
    const LastDelete was = std::exchange(last, {});
    if (was.entry == 0 || was.user != user())
        return;
    RestoredTotal total;
    const BusyCursor busy;
    withDb(lists.window(), [&](clsADO &db) {
        const std::optional<RecycleBin::Entry> e = RecycleBin::entry(db, was.user, was.entry);
        if (!e)
            return;
        if (const std::optional<RecycleBin::Restored> r = RecycleBin::restore(db, was.user, e->id))
            total.add(*e, *r);
    });
    lists.offer(restoredText(total).replace(QStringLiteral("\r\n\r\n"), QString()));
}

void followDeletes(LedgerLists &lists)
{
    QAction *undo = lists.command("mm_undo");
    auto last = std::make_shared<LastDelete>();
    QObject::connect(&book::changes(), &book::Changes::changed, undo,
                     [&lists, undo, last](book::Change what, int, qint64 id) {
        if (what == book::Change::Database) {
            *last = {};
        } else if (what == book::Change::Bin && id != 0) {
            withDbOr(
                [&](clsADO &db) {
                if (const std::optional<RecycleBin::Entry> e = RecycleBin::entry(db, user(), id)) {
                    *last = {user(), id};
                    lists.offer(deletedText(*e), undo);
                }
                },
                [](const DbError &) {});
        } else if (what == book::Change::Bin && last->entry != 0) {
            // Restored or erased from the bin window: nothing left to undo.
            bool held = true;
            withDbOr([&](clsADO &db) { held = RecycleBin::entry(db, last->user, last->entry).has_value(); },
                     [](const DbError &) {});
            if (!held)
                *last = {};
        }
        undo->setEnabled(last->entry != 0);
    });
    QObject::connect(undo, &QAction::triggered, lists.window(), [&lists, undo, last] { undoLast(lists, undo, *last); });
}

} // namespace

int keepDays(const QString &setting)
{
    bool ok = false;
    const int days = setting.trimmed().toInt(&ok);
    return ok && days >= 0 ? days : defaultKeepDays;
}

void attach(LedgerLists &lists)
{
    opensDialog<frmRecycleBin>(lists, "mm_bin");
    followDeletes(lists);
    expireAtLogin();
}

} // namespace ht::recycle
