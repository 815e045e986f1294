// The updater's window: the check's states, the download's labels and buttons, and the
// install: nothing unsigned goes in, the running program is closed through its socket, the
// program file is replaced and the new one started, or the old one stays.
#include "tests/update/UpdateServer.h"
#include "update/frmUpdate.h"

#include "foundation/SingleInstance.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace ht;
using namespace ht::update;

namespace {
// Signed, but nothing the system can run.
const QByteArray unrunnable = "\177ELF" + test::patterned(996);

// The window as the program shows it, checking the test server quickly.
struct Window : frmUpdate {
    explicit Window(const QByteArray &key = test::vendorKey().publicKey) : frmUpdate(key)
    {
        reachTimeoutMs = 500;
        show();
        if (!QTest::qWaitForWindowActive(this))
            qWarning("the updater's window did not become active");
    }
    // Presses "升级" once the update is offered and waits until the window has gone
    // (installed) or has told why not.
    bool upgrade(const test::MessageRecorder &messages)
    {
        if (!QTest::qWaitFor([&] { return Command1->isEnabled(); }, 10000))
            return false;
        Command1->click();
        return QTest::qWaitFor([&] { return isHidden() || messages.shown.size() >= 2; }, 60000);
    }
};
} // namespace

class TstFrmUpdate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Made before any test points the temporary folder at its own, so it outlives them all.
    void initTestCase() { test::vendorKey(); }

    // The check shows one of its states; it is retried until the server answers; then the
    // download's failures are shown.
    void checkStatesRetriesAndFailedDownloads()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        // Nothing older is offered; a version megabytes long is refused.
        for (const auto &[offered, label] : QList<std::pair<QByteArray, QString>>{
                 {"<version>1.2.8</version>", QStringLiteral("当前已是最新版本，无需更新！")},
                 {"<version>1.2.7</version>", QStringLiteral("当前已是最新版本，无需更新！")},
                 {"<version>1.2.10</version>", QStringLiteral("最新版本：1.2.10  当前版本：1.2.8")},
                 {"<version>" + QByteArray(3500000, '9') + "</version>",
                  QStringLiteral("服务器上的升级列表有误，无法升级。")}}) {
            server.files[test::listPath] = {.body = "<files>" + offered + "</files>"};
            Window form;
            QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), label, 10000);
            const bool update = label.startsWith(QStringLiteral("最新"));
            QCOMPARE(form.Command1->isEnabled(), update);
            QCOMPARE(form.Command1->hasFocus(), update);
            QVERIFY(!form.Command2->isEnabled());
            QVERIFY(!form.Timer1->isActive());
        }

        server.files.remove(test::listPath);
        server.requests.clear();
        Window form;
        // No list yet: the window keeps its text and asks again.
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() >= 2, 10000);
        QCOMPARE(form.Label1->text(), QStringLiteral("检测更新……"));
        server.setListening(false);
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络无法连接"), 10000);
        QVERIFY(!form.Command1->isEnabled() && !form.Command2->isEnabled());
        server.offer("1.3.0");
        server.setListening(true);
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("最新版本：1.3.0  当前版本：1.2.8"), 10000);
        {
            // Built without the key, it says so before fetching what it could not verify.
            Window keyless{QByteArray()};
            QTRY_VERIFY_WITH_TIMEOUT(keyless.Command1->isEnabled(), 10000);
            keyless.Command1->click();
            QCOMPARE(folder.messages.last().text,
                     QStringLiteral("本程序没有可用的升级签名公钥，无法验证升级文件，未升级。"));
            QCOMPARE(keyless.Winsock2->state(), QAbstractSocket::UnconnectedState);
        }

        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(folder.messages.shown.size(), 2, 10000);
        QCOMPARE(folder.messages.last().text, QStringLiteral("没找到资源文件"));
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled());
        QVERIFY(!QFile::exists(folder.tempFile()));

        form.Command2->click();
        server.files[test::programPath] = {.body = QByteArray(5000, 'p'), .closeAfter = 100};
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络连接已断开，下载未完成"), 10000);
        QVERIFY(form.Command1->isEnabled() && !form.Command2->isEnabled());
        server.setListening(false);
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络连接错误"), 10000);
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled());
    }

    // The download shows its progress, stops and resumes (or starts over when the server
    // ignores the range), ignoring a leftover of an earlier run. Then nothing unsigned goes
    // in: every refusal leaves the old program and version, and no temporary file; a signed
    // program that will not start is replaced by the old one again.
    void downloadThenInstallOnlyWhatIsSigned_data()
    {
        QTest::addColumn<QByteArray>("signature");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("refusal");
        const test::SigningKey stranger;
        const test::SigningKey &vendor = test::vendorKey();
        const QString tampered = QStringLiteral("升级文件与签名不符，可能已被篡改，未升级。");
        const QString running = QStringLiteral("记账程序没有退出，请先退出它再升级。");
        QTest::newRow("none") << QByteArray() << 0 << QStringLiteral("无法取得升级文件的签名，未升级。");
        QTest::newRow("malformed") << QByteArray("untrusted comment: x\nnot a signature\n") << 0
                                   << QStringLiteral("升级文件的签名格式有误，未升级。");
        QTest::newRow("stranger's key") << stranger.sign(unrunnable, "version:1.3.0") << 0
                                        << QStringLiteral("升级文件不是用本程序认可的密钥签名的，未升级。");
        QTest::newRow("tampered file") << vendor.sign(unrunnable + "x", "version:1.3.0") << 0 << tampered;
        // The trusted comment is signed too: another text fails.
        QTest::newRow("forged comment") << vendor.sign(unrunnable, "version:1.2.9").replace("1.2.9", "1.3.0") << 0
                                        << tampered;
        QTest::newRow("other version") << vendor.sign(unrunnable, "version:1.2.9") << 0
                                       << QStringLiteral("升级文件的签名不是版本 1.3.0 的，未升级。");
        // Good signatures, the current form and the old unhashed one.
        QTest::newRow("still running") << vendor.sign(unrunnable, "timestamp:1\tversion:1.3.0") << 0 << running;
        QTest::newRow("old form, still running") << vendor.sign(unrunnable, "version:1.3.0", true) << 0 << running;
        const QString rolledBack = QStringLiteral("新版程序无法启动，已恢复原程序。");
        QTest::newRow("will not start") << vendor.sign(unrunnable, "version:1.3.0") << 0 << rolledBack;
        QTest::newRow("200 starts over") << vendor.sign(unrunnable, "version:1.3.0") << 200 << rolledBack;
    }
    void downloadThenInstallOnlyWhatIsSigned()
    {
        QFETCH(QByteArray, signature);
        QFETCH(int, status);
        QFETCH(QString, refusal);
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        const QString target = folder.path(QStringLiteral("pursewick"));
        test::writeFile(target, "#!/bin/sh\nexit 0\n");
        QFile::setPermissions(target, QFile::permissions(target) | QFile::ExeOwner);
        test::writeFile(folder.tempFile(), QByteArray(900000, 'L'));
        const QByteArray ini = test::fileContents(folder.path(QStringLiteral("update.ini")));
        // This process plays a running copy that takes the request but never ends.
        SingleInstance running;
        if (refusal.contains(QStringLiteral("没有退出")))
            QCOMPARE(running.claim(), SingleInstance::Claim::First);
        // 1000 bytes announced, 200 of them in the first chunk, 500 before the server goes silent.
        server.offer("1.3.0", unrunnable, signature);
        server.files[test::programPath].closeAfter = 500;
        server.files[test::programPath].stall = true;
        server.splitAt = 200;
        Window form;
        form.programEndMs = 300;
        QTRY_VERIFY_WITH_TIMEOUT(form.Command1->isEnabled(), 10000);
        QStringList seen;
        connect(form.Winsock2, &QTcpSocket::readyRead, &form, [&] {
            seen << form.Label1->text()
                    + QStringLiteral(" %1/%2").arg(form.ProgressBar1->value()).arg(form.ProgressBar1->maximum());
            server.sendRest();
        });
        form.Command1->click();
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled() && form.Command2->hasFocus());
        QTRY_COMPARE_WITH_TIMEOUT(seen.value(seen.size() - 1), QStringLiteral("0.49KB/0.98KB 501/1001"), 10000);
        QCOMPARE(seen.first(), QStringLiteral("0.20KB/0.98KB 201/1001"));

        form.Command2->click();
        QVERIFY(form.Command1->isEnabled() && !form.Command2->isEnabled());
        QCOMPARE(form.Winsock2->state(), QAbstractSocket::UnconnectedState);
        server.splitAt.reset();
        server.files[test::programPath] = {.body = unrunnable, .status = status};
        QVERIFY(form.upgrade(folder.messages));
        // The last request before the signature's asks for the rest.
        QVERIFY(server.requests.value(server.requests.size() - 2).contains("\r\nRange:bytes=500-\r\n"));
        QCOMPARE(folder.messages.last().text, refusal);
        QVERIFY(form.isVisible() && form.Command1->isEnabled());
        QCOMPARE(test::fileContents(target), QByteArray("#!/bin/sh\nexit 0\n"));
        QVERIFY(QFile::permissions(target) & QFile::ExeOwner);
        QCOMPARE(test::fileContents(folder.path(QStringLiteral("update.ini"))), ini);
        QVERIFY(!QFile::exists(folder.tempFile()) && !QFile::exists(target + QStringLiteral(".old")));
    }

    void runningProgramIsClosedReplacedAndStartedAgain()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"), true);
        const QString target = folder.path(QStringLiteral("pursewick"));
        QByteArray ini = test::fileContents(folder.path(QStringLiteral("update.ini")));
        QVERIFY(QFile::copy(QStringLiteral(HT_PROGRAM_BUILD_DIR "/pursewick"), target));
        // The same program with a mark at its end, so the new file can be told from the old.
        const QByteArray fresh = test::fileContents(target) + "\nnew build 1.3.0\n";
        server.offer("1.3.0", fresh, test::vendorKey().sign(fresh, "timestamp:1\tfile:pursewick\tversion:1.3.0"));

        QProcess old;
        old.start(target, {});
        QVERIFY(old.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(SingleInstance().send("raise", 200), 20000);

        // Whatever happens, no copy outlives the case (it would hold the test's output open).
        const auto closeNewCopy = qScopeGuard([] { SingleInstance().closeRunningCopy(5000, 20000); });
        Window form;
        QVERIFY(form.upgrade(folder.messages));
        QVERIFY2(form.isHidden(), qPrintable(folder.messages.last().text));
        // The old copy ended on its own, as when its user closes it.
        QTRY_COMPARE_WITH_TIMEOUT(old.state(), QProcess::NotRunning, 20000);
        QVERIFY(old.exitStatus() == QProcess::NormalExit && old.exitCode() == 0);
        QCOMPARE(test::fileContents(target), fresh);
        // The new version is recorded; the server setting stays.
        QCOMPARE(test::fileContents(folder.path(QStringLiteral("update.ini"))), ini.replace("=1.2.8", "=1.3.0"));
        QVERIFY(!QFile::exists(folder.tempFile()) && !QFile::exists(target + QStringLiteral(".old")));
        // The new one runs, at its login window, and ends when asked.
        QTRY_VERIFY_WITH_TIMEOUT(SingleInstance().send("raise", 200), 20000);
        QCOMPARE(SingleInstance().closeRunningCopy(5000, 20000), SingleInstance::Closed::Ended);
    }
};

QTEST_MAIN(TstFrmUpdate)
#include "tst_frmupdate.moc"
