#include "foundation/SingleInstance.h"
#include "app/Startup.h"
#include "login/frmLogin.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QSignalSpy>
#include <QThread>

using namespace ht;

// A fresh runtime folder, only ours, for this process and the copies it starts; the old
// setting comes back however the case ends.
struct RuntimeFolder {
    QTemporaryDir dir;
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    RuntimeFolder()
    {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", dir.path().toUtf8());
    }
    ~RuntimeFolder() { old.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", old); }
};

// The real program started from a folder of its own, settings included; killed when the case ends.
struct Copy : QProcess {
    QTemporaryDir dir;
    Copy()
    {
        const QString program = dir.filePath(QStringLiteral("pursewick"));
        QFile::copy(QStringLiteral(HT_PROGRAM_BUILD_DIR "/pursewick"), program);
        test::copyTemplateDatabase(dir.filePath(QStringLiteral("syslibs.dll")));
        setEnvironment(systemEnvironment()
                       << QStringLiteral("XDG_CONFIG_HOME=") + dir.filePath(QStringLiteral("config")));
        start(program, {});
    }
    ~Copy() override
    {
        kill();
        waitForFinished();
    }
};

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondStartEndsWhileTheFirstRunsNotAfterItCrashed()
    {
        RuntimeFolder runtime;
        QVERIFY(SingleInstance::defaultName().startsWith(runtime.dir.path() + QLatin1Char('/')));
        {
            Copy first;
            QTRY_VERIFY_WITH_TIMEOUT(SingleInstance().send("raise", 200), 10000);
            Copy second;
            QVERIFY(second.waitForFinished(10000));
            QCOMPARE(second.exitCode(), 0);
            QCOMPARE(first.state(), QProcess::Running);
        }
        // Killed, the first copy left its socket file behind.
        QVERIFY(QFile::exists(SingleInstance::defaultName()));
        QCOMPARE(SingleInstance().claim(), SingleInstance::Claim::First);
    }

    // The running copy answers a second start, and a close request only while the updater waits.
    void runningCopyComesForwardAndClosesOnlyWhileAsked()
    {
        // This process plays the running copy; the real program is the second start.
        RuntimeFolder runtime;
        test::ProgramFolder programFolder;
        SingleInstance running;
        QCOMPARE(running.claim(), SingleInstance::Claim::First);
        connect(&running, &SingleInstance::raiseRequested, &raiseProgramWindows);
        QSignalSpy closes(&running, &SingleInstance::closeRequested);
        QList<SingleInstance::Closed> ends;
        const auto ask = [&ends] { ends << SingleInstance().closeRunningCopy(300, 300); };
        // The updater asks from a thread; this one stays busy until it has given up, then is free.
        const std::unique_ptr<QThread> late(QThread::create(ask)), timely(QThread::create(ask));
        late->start();
        QVERIFY(late->wait(10000));
        timely->start();
        QTRY_VERIFY_WITH_TIMEOUT(timely->isFinished(), 10000);
        QCOMPARE(ends, (QList{SingleInstance::Closed::NoAnswer, SingleInstance::Closed::StillRunning}));
        QCOMPARE(closes.size(), 1);

        frmLogin login;
        QVERIFY(login.load());
        login.showMinimized();
        QVERIFY(login.isMinimized());
        Copy second;
        // The event loop runs while this waits, so this process can answer the second start.
        QTRY_VERIFY_WITH_TIMEOUT(!login.isMinimized(), 10000);
    }

    void checkThatCannotBeMadeFailsWithAReason()
    {
        RuntimeFolder runtime;
        // A plain file where the folder should be: nobody writes into it, root included.
        const QString notAFolder = runtime.dir.filePath(QStringLiteral("file"));
        QVERIFY(QFile(notAFolder).open(QIODevice::WriteOnly));
        // A lock nobody answers for, as one left in a folder where it cannot be cleared.
        const QString stuck = runtime.dir.filePath(QStringLiteral("stuck.instance"));
        QLockFile held(stuck + QStringLiteral(".lock"));
        QVERIFY(held.tryLock());
        for (const QString &name : {notAFolder + QStringLiteral("/pursewick.instance"), stuck}) {
            QString why;
            QCOMPARE(SingleInstance(name).claim(&why), SingleInstance::Claim::Failed);
            QVERIFY2(why.contains(name), qPrintable(why));
        }
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_instance.moc"
