// Crash consistency, 100 kills per kind (or as many as the first argument says), of every
// kind or of those named after it.
#include "bench/crash/CrashTrials.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextStream>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;
    if (const QStringList blind = crash::blindChecks(QStringLiteral(HT_TEMPLATE_DB)); !blind.isEmpty()) {
        out << "checks that miss a half change: " << blind.join(QStringLiteral(", ")) << Qt::endl;
        return 1;
    }
    int allRuns = 0, allOk = 0;
    const QStringList named = app.arguments().mid(2);
    for (const QString &kind : named.isEmpty() ? crash::kinds() : named) {
        const crash::Result r = crash::trials(QStringLiteral(HT_CRASH_WORKER), QStringLiteral(HT_TEMPLATE_DB), kind,
                                              runs, QRandomGenerator::global()->generate());
        out << kind << ": " << r.ok << "/" << r.runs << " consistent" << Qt::endl;
        for (const QString &f : r.failures)
            out << "  " << f << Qt::endl;
        allRuns += r.runs;
        allOk += r.ok;
    }
    out << "crash_runs=" << allRuns << Qt::endl << "crash_ok=" << allOk << Qt::endl;
    return allOk == allRuns ? 0 : 1;
}
