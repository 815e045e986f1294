#pragma once

#include <QString>
#include <QStringList>

// Crash consistency: a worker process does real work through the program's data store
// and is killed (SIGKILL) at a random moment; then the database must pass the engine's
// integrity check and every change of several statements must be whole or absent.
namespace crash {

// The kinds of work, each with the invariant its check holds it to.
QStringList kinds();

// The worker's side: prepares the program folder's database for the kind (once), then
// does the work over and over, writing "done" on a line after each whole change.
int work(const QString &kind, const QString &programDir);

// What is wrong with the folder's database after a kill; empty when it is consistent.
QString check(const QString &kind, const QString &programDir);

// The kinds whose check misses a change cut in half, made by hand in a fresh folder.
QStringList blindChecks(const QString &templateDb);

struct Result {
    int runs = 0;
    int ok = 0;
    QStringList failures;
};

// Runs the worker in a fresh program folder (a copy of the shipped database), kills it
// after a random number of whole changes (1 to 20) while it is in the middle of the
// next, checks, and starts it again on the same folder, runs times. For "busy" the killed
// worker is another program in the middle of a change while this one backs up or restores.
Result trials(const QString &workerPath, const QString &templateDb, const QString &kind, int runs, quint32 seed);

} // namespace crash
