#include "SingleInstance.h"
#include "Startup.h"
#include "TestSupport.h"
#include "frmLogin.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace ht;

namespace {

// A program folder holding a copy of the real program, with its own temp and settings folders.
struct RealProgram {
    QTemporaryDir dir;
    QString program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();

    RealProgram()
    {
        program = dir.filePath(QStringLiteral("pursewick"));
        QFile::copy(QStringLiteral(HT_PROGRAM_BUILD_DIR "/pursewick"), program);
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ht::test::copyTemplateDatabase(dir.filePath(QStringLiteral("syslibs.dll")));
        QDir(dir.path()).mkpath(QStringLiteral("tmp"));
        QDir(dir.path()).mkpath(QStringLiteral("config"));
        env.insert(QStringLiteral("TMPDIR"), tempDir());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    QString tempDir() const { return dir.filePath(QStringLiteral("tmp")); }
    QString socketPath() const { return QDir(tempDir()).filePath(SingleInstance::defaultName()); }
    void start(QProcess &p) const
    {
        p.setProcessEnvironment(env);
        p.setProgram(program);
        p.start();
    }
    bool listening() const
    {
        QLocalSocket s;
        s.connectToServer(socketPath());
        return s.waitForConnected(200);
    }
};

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondStartEndsAtOnceWhileTheFirstRuns();
    void secondStartBringsTheRunningWindowForward();
    void staleSocketDoesNotBlockAStart();
};

void TestSingleInstance::secondStartEndsAtOnceWhileTheFirstRuns()
{
    RealProgram folder;
    QProcess first;
    folder.start(first);
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(folder.listening(), 10000);

    QProcess second;
    folder.start(second);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

void TestSingleInstance::secondStartBringsTheRunningWindowForward()
{
    // This test process plays the running copy; the real program is the second start.
    RealProgram folder;
    const QByteArray oldTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", folder.tempDir().toUtf8());
    ht::test::ProgramFolder programFolder;
    SingleInstance running;
    QVERIFY(running.claim());
    connect(&running, &SingleInstance::raiseRequested, this, [] { raiseProgramWindows(); });
    QSignalSpy raised(&running, &SingleInstance::raiseRequested);

    frmLogin login;
    QVERIFY(login.load());
    login.showMinimized();
    QVERIFY(login.isMinimized());

    QProcess second;
    QSignalSpy finished(&second, &QProcess::finished);
    folder.start(second);
    QVERIFY(finished.wait(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(raised.count(), 1);
    QVERIFY(!login.isMinimized());
    QVERIFY(login.isVisible());
    qputenv("TMPDIR", oldTmp);
}

void TestSingleInstance::staleSocketDoesNotBlockAStart()
{
    QTemporaryDir tmp;
    const QString name = QDir(tmp.path()).filePath(QStringLiteral("stale-%1").arg(getuid()));
    QFile leftOver(name);
    QVERIFY(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();
    SingleInstance first(name);
    QVERIFY(first.claim());
    SingleInstance second(name);
    QVERIFY(!second.claim());
}

QTEST_MAIN(TestSingleInstance)
#include "tst_instance.moc"
