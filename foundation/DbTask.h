#pragma once

#include "foundation/clsADO.h"

#include <utility>

class QWidget;

namespace ht {

// Tells the user why a database operation failed, in the program's words.
void reportDbFailure(QWidget *parent, const DbError &error);

// The one way a window runs database work: on the shared store's connection (opened
// for the work unless an outer scope holds it open), the work's transaction, if any,
// rolled back on failure, and the failure handed to onFailure. False when it failed.
template <typename Work, typename OnFailure> bool withDbOr(Work &&work, OnFailure &&onFailure)
{
    try {
        Connection connection(program::db());
        work(connection.db());
        return true;
    } catch (const DbError &e) {
        onFailure(e);
        return false;
    }
}

// The same with the failure told the user, the usual case.
template <typename Work> bool withDb(QWidget *parent, Work &&work)
{
    return withDbOr(std::forward<Work>(work), [parent](const DbError &e) { reportDbFailure(parent, e); });
}

// What happens when the database cannot be opened at all: the documented message,
// then the program ends. Installed once at start-up.
void installDatabaseFailureHandling();

} // namespace ht
