#include "tests/support/TestSupport.h"

#include "bench/crash/CrashTrials.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ht;

// A worker doing real work through the data store is killed at random moments: every
// change of several statements is whole or absent afterwards (the long run is bench_crash).
class TestCrash : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void killedWorkLeavesConsistentData_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString &kind : crash::kinds())
            QTest::newRow(kind.toUtf8().constData()) << kind;
    }
    void killedWorkLeavesConsistentData()
    {
        QFETCH(QString, kind);
        const quint32 seed = QRandomGenerator::global()->generate();
        // Each busy run waits for the engine's busy time-out.
        const int runs = kind == "busy" ? 4 : 10;
        const crash::Result r = crash::trials(HT_CRASH_WORKER, HT_TEMPLATE_DB, kind, runs, seed);
        QVERIFY2(r.failures.isEmpty(), qPrintable(QString::number(seed) + ": " + r.failures.join("; ")));
        QCOMPARE(r.ok, runs);
    }

    // The checks are not blind: each sees a change cut in half.
    void checksSeeHalfChanges() { QCOMPARE(crash::blindChecks(HT_TEMPLATE_DB), QStringList()); }
};

QTEST_MAIN(TestCrash)
#include "tst_crash.moc"
