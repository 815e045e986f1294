// Installing: nothing unsigned goes in, the running program is closed through its socket,
// the program file is replaced and the new one started, or the old one stays.
#include "tests/update/UpdateServer.h"
#include "update/frmUpdate.h"

#include "foundation/Program.h"
#include "foundation/SingleInstance.h"
#include "foundation/clsRWIni.h"
#include "ledger/MainWindow.h"
#include "login/Startup.h"

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

using namespace ht;
using namespace ht::update;

namespace {
const QByteArray listPath = "/down/update/update.xml";
const QByteArray programPath = "/down/update/pursewick";
const QByteArray sigPath = "/down/update/pursewick.minisig";


void writeFile(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file));
    f.setPermissions(f.permissions() | QFile::ExeOwner);
}

QString installedVersion(const test::UpdaterFolder &folder)
{
    clsRWIni ini;
    ini.SpecifyIni(folder.path(QStringLiteral("update.ini")));
    return ini.ReadString(QStringLiteral("config"), QStringLiteral("version"), 255);
}

// A server offering 1.3.0: the program file, and its signature when there is one.
void offer(test::UpdateServer &server, const QByteArray &program, const QByteArray &signature)
{
    server.files[listPath] = {.body = "<files><version>1.3.0</version></files>"};
    server.files[programPath] = {.body = program};
    if (!signature.isNull())
        server.files[sigPath] = {.body = signature};
}

// Shows the window, presses "升级" once the update is offered and waits until the window
// has gone (installed) or has told why not.
bool upgrade(frmUpdate &form, const test::UpdaterFolder &folder)
{
    form.show();
    if (!QTest::qWaitFor([&] { return form.Command1->isEnabled(); }, 10000))
        return false;
    form.Command1->click();
    return QTest::qWaitFor([&] { return form.isHidden() || folder.messages.shown.size() >= 2; }, 60000);
}
} // namespace

class TstInstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onlyAFileSignedForTheOfferedVersionGoesIn_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<QString>("refusal");
        const test::SigningKey stranger;
        const QByteArray program(200000, 'n');
        QTest::newRow("none") << QByteArray() << QStringLiteral("无法取得升级文件的签名，未升级。");
        QTest::newRow("malformed") << QByteArray("untrusted comment: x\nnot a signature\n")
                                   << QStringLiteral("升级文件的签名格式有误，未升级。");
        QTest::newRow("stranger's key") << stranger.sign(program, "version:1.3.0")
                                        << QStringLiteral("升级文件不是用本程序认可的密钥签名的，未升级。");
        QTest::newRow("tampered file") << test::vendorKey().sign(program + "x", "version:1.3.0")
                                       << QStringLiteral("升级文件与签名不符，可能已被篡改，未升级。");
        QTest::newRow("other version") << test::vendorKey().sign(program, "version:1.2.9")
                                       << QStringLiteral("升级文件的签名不是版本 1.3.0 的，未升级。");
        QTest::newRow("still running") << test::vendorKey().sign(program, "version:1.3.0")
                                       << QStringLiteral("记账程序没有退出，请先退出它再升级。");
    }
    void onlyAFileSignedForTheOfferedVersionGoesIn()
    {
        QFETCH(QByteArray, signature);
        QFETCH(QString, refusal);
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        offer(server, QByteArray(200000, 'n'), signature);
        const QString target = folder.path(QStringLiteral("pursewick"));
        writeFile(target, "old program");
        // This process plays a running copy that takes the request but never ends.
        SingleInstance running;
        QCOMPARE(running.claim(), SingleInstance::Claim::First);

        frmUpdate form(test::vendorKey().publicKey);
        form.programEndMs = 300;
        QVERIFY(upgrade(form, folder));
        QCOMPARE(folder.messages.last().text, refusal);
        QCOMPARE(folder.messages.last().icon, MsgIcon::Critical);
        QCOMPARE(form.Label1->text(), refusal);
        QCOMPARE(form.ProgressBar1->value(), 0);
        QVERIFY(form.isVisible() && form.Command1->isEnabled());
        QCOMPARE(test::fileContents(target), QByteArray("old program"));
        QCOMPARE(installedVersion(folder), QStringLiteral("1.2.8"));
        QVERIFY(!QFile::exists(folder.tempFile()));
        QVERIFY(!QFile::exists(target + QStringLiteral(".old")));
    }

    void newProgramThatWillNotStartIsPutBack()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        // Signed, but nothing the system can run.
        const QByteArray broken = "\x7f" "ELF" + QByteArray(64, '\0');
        offer(server, broken, test::vendorKey().sign(broken, "version:1.3.0"));
        const QString target = folder.path(QStringLiteral("pursewick"));
        writeFile(target, "#!/bin/sh\nexit 0\n");

        frmUpdate form(test::vendorKey().publicKey);
        QVERIFY(upgrade(form, folder));
        QCOMPARE(folder.messages.last().text, QStringLiteral("新版程序无法启动，已恢复原程序。"));
        QVERIFY(form.isVisible());
        QCOMPARE(test::fileContents(target), QByteArray("#!/bin/sh\nexit 0\n"));
        QVERIFY(QFile::permissions(target) & QFile::ExeOwner);
        QCOMPARE(installedVersion(folder), QStringLiteral("1.2.8"));
        QVERIFY(!QFile::exists(target + QStringLiteral(".old")));
    }

    void closeRequestClosesTheMainWindowAsTheUserWould()
    {
        test::ProgramFolder folder;
        program::session().userName = QStringLiteral("admin");
        main *w = openMainWindow();
        w->showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        closeProgramWindows();
        test::resumeAfterQuit();
        QVERIFY(!main::instance());
        clsRWIni config;
        config.SpecifyIni(folder.path(QStringLiteral("config.ini")));
        QCOMPARE(config.ReadInt(QStringLiteral("client"), QStringLiteral("windowstate")), 2);
    }

    void runningProgramIsClosedReplacedAndStartedAgain()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"), true);
        const QString target = folder.path(QStringLiteral("pursewick"));
        QVERIFY(QFile::copy(QStringLiteral(HT_PROGRAM_BUILD_DIR "/pursewick"), target));
        // The same program with a mark at its end, so the new file can be told from the old.
        const QByteArray fresh = test::fileContents(target) + "\nnew build 1.3.0\n";
        offer(server, fresh, test::vendorKey().sign(fresh, "timestamp:1\tfile:pursewick\tversion:1.3.0"));
        // The programs keep their settings store in the folder, not the user's.
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", folder.path(QStringLiteral(".config")).toUtf8());
        const auto restoreConfig = qScopeGuard([&] {
            oldConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldConfig);
        });

        QProcess old;
        old.start(target, {});
        QVERIFY(old.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(SingleInstance().send("raise", 200), 20000);

        // Whatever happens, no copy outlives the case (it would hold the test's output open).
        const auto closeNewCopy = qScopeGuard([] { SingleInstance().closeRunningCopy(5000, 20000); });
        frmUpdate form(test::vendorKey().publicKey);
        QVERIFY(upgrade(form, folder));
        QVERIFY2(form.isHidden(), qPrintable(folder.messages.last().text));
        QCOMPARE(form.result(), int(QDialog::Accepted));
        // The old copy ended on its own, as when its user closes it.
        QTRY_COMPARE_WITH_TIMEOUT(old.state(), QProcess::NotRunning, 20000);
        QCOMPARE(old.exitStatus(), QProcess::NormalExit);
        QCOMPARE(old.exitCode(), 0);
        QCOMPARE(test::fileContents(target), fresh);
        QVERIFY(QFile::permissions(target) & QFile::ExeOwner);
        QCOMPARE(installedVersion(folder), QStringLiteral("1.3.0"));
        QVERIFY(test::fileContents(folder.path(QStringLiteral("update.ini"))).contains("server=" + server.setting().toLatin1()));
        QVERIFY(!QFile::exists(target + QStringLiteral(".old")));
        QVERIFY(!QFile::exists(folder.tempFile()));
        // The new one runs, at its login window, and ends when asked.
        QTRY_VERIFY_WITH_TIMEOUT(SingleInstance().send("raise", 200), 20000);
        QCOMPARE(SingleInstance().closeRunningCopy(5000, 20000), SingleInstance::Closed::Ended);
    }
};

QTEST_MAIN(TstInstall)
#include "tst_install.moc"
