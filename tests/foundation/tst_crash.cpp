#include "tests/support/TestSupport.h"

#include "bench/crash/CrashTrials.h"

#include "foundation/clsADO.h"

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
        const crash::Result r = crash::trials(HT_CRASH_WORKER, HT_TEMPLATE_DB, kind, 10, seed);
        QVERIFY2(r.failures.isEmpty(), qPrintable(QString::number(seed) + ": " + r.failures.join("; ")));
        QCOMPARE(r.ok, 10);
    }

    // The checks see a change cut in half.
    void checksSeeHalfChanges()
    {
        const char *const transfer = "INSERT INTO pursewicks(username,typeid,postdate,money,style,memo) "
                                     "VALUES('admin',1,'2024-01-01 12:00:00',0.07,0,'transfer')";
        const std::tuple<const char *, const char *, const char *> halves[] = {
            {"transfers", nullptr, transfer},
            {"batchdelete", nullptr, "UPDATE pursewicks SET memo='batch1-1;' WHERE ID=(SELECT MAX(ID) FROM pursewicks)"},
            {"login", nullptr, "UPDATE users SET logintime=logintime+1 WHERE username='admin'"},
            {"memos", nullptr, "UPDATE MyNotesCount SET n=n+1"},
            {"restore", "UPDATE MyNotes SET noteContent='A'", "UPDATE MyNotes SET noteContent='A B'"}};
        for (const auto &[kind, before, half] : halves) {
            test::ProgramFolder folder;
            {
                Connection c(folder.openDb());
                c.db().execute("INSERT INTO autouser(username,userpwd,focusUser) VALUES('admin','',0)");
                c.db().execute("INSERT INTO MyNotes(username,noteDateTime,noteContent) VALUES('admin','2024-01-01','x')");
                c.db().execute(transfer);
                c.db().execute(QString(transfer).replace(",0,'transfer'", ",1,'transfer'"));
                if (before)
                    c.db().execute(before);
                QVERIFY2(crash::check(kind, folder.dir()).isEmpty(), kind);
                c.db().execute(half);
            }
            QVERIFY2(!crash::check(kind, folder.dir()).isEmpty(), kind);
        }
    }
};

QTEST_MAIN(TestCrash)
#include "tst_crash.moc"
