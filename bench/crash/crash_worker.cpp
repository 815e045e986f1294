// The crash trials' worker: "crash_worker work KIND PROGRAMDIR" does the kind's work until
// it is killed.
#include "bench/crash/CrashTrials.h"

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || args[1] != QLatin1String("work"))
        return 64;
    return crash::work(args[2], args[3]);
}
