// The updater's window: the check's states, the download's labels and buttons.
#include "tests/update/UpdateServer.h"
#include "update/Download.h"
#include "update/frmUpdate.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace ht;
using namespace ht::update;

namespace {
const QByteArray listPath = "/down/update/update.xml";
const QByteArray programPath = "/down/update/pursewick";

QByteArray list(const QByteArray &version)
{
    return "<?xml version=\"1.0\" encoding=\"gb2312\"?><update><files><file>" + version + "</file></files></update>";
}

// The window as the program shows it, checking the test server quickly.

struct Window : frmUpdate {
    Window() : frmUpdate(test::vendorKey().publicKey)
    {
        reachTimeoutMs = 500;
        show();
        if (!QTest::qWaitForWindowActive(this))
            qWarning("the updater's window did not become active");
    }
};
} // namespace

class TstFrmUpdate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void checkShowsOneOfItsStates_data()
    {
        QTest::addColumn<QByteArray>("offered");
        QTest::addColumn<QString>("label");
        QTest::newRow("same") << QByteArray("<version>1.2.8</version>") << QStringLiteral("当前已是最新版本，无需更新！");
        QTest::newRow("older") << QByteArray("<version>1.2.7</version>")
                               << QStringLiteral("最新版本：1.2.7  当前版本：1.2.8");
        QTest::newRow("trailing blank") << QByteArray("<version>1.2.8 </version>")
                                        << QStringLiteral("最新版本：1.2.8   当前版本：1.2.8");
        QTest::newRow("no version") << QByteArray() << QStringLiteral("最新版本：  当前版本：1.2.8");
    }
    void checkShowsOneOfItsStates()
    {
        QFETCH(QByteArray, offered);
        QFETCH(QString, label);
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        server.files[listPath] = {.body = list(offered)};
        Window form;
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), label, 10000);
        const bool update = !label.startsWith(QStringLiteral("当前"));
        QCOMPARE(form.Command1->isEnabled(), update);
        QCOMPARE(form.Command1->hasFocus(), update);
        QVERIFY(!form.Command2->isEnabled());
        QVERIFY(!form.Timer1->isActive());
    }

    void checkIsRetriedUntilTheServerAnswers()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        Window form;
        // No list yet: the window keeps its text and asks again.
        QTRY_VERIFY_WITH_TIMEOUT(server.requests.size() >= 2, 10000);
        QCOMPARE(form.Label1->text(), QStringLiteral("检测更新……"));
        server.setListening(false);
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络无法连接"), 10000);
        QVERIFY(!form.Command1->isEnabled() && !form.Command2->isEnabled());
        server.files[listPath] = {.body = list("<version>1.3.0</version>")};
        server.setListening(true);
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("最新版本：1.3.0  当前版本：1.2.8"), 10000);
    }

    void downloadShowsProgressAndStopsAndResumes()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        server.files[listPath] = {.body = list("<version>1.3.0</version>")};
        server.files[programPath] = {.body = QByteArray(1000, 'p')};
        Window form;
        QTRY_VERIFY_WITH_TIMEOUT(form.Command1->isEnabled(), 10000);

        // 1000 bytes announced, 200 of them in the first chunk.
        server.splitAt = 200;
        QStringList seen;
        connect(form.Winsock2, &QTcpSocket::readyRead, &form, [&] {
            seen << form.Label1->text()
                        + QStringLiteral(" %1/%2").arg(form.ProgressBar1->value()).arg(form.ProgressBar1->maximum());
            server.sendRest();
        });
        form.Command1->click();
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled() && form.Command2->hasFocus());
        QTRY_COMPARE_WITH_TIMEOUT(folder.messages.shown.size(), 2, 10000);
        QCOMPARE(seen.value(0), QStringLiteral("0.20KB/0.98KB 201/1001"));
        const MessageRecord done = folder.messages.shown.first();
        QCOMPARE(done.text, QStringLiteral("下载完成，点击确定进行更新升级"));
        QCOMPARE(done.title, QStringLiteral("更新提示"));
        QCOMPARE(done.icon, MsgIcon::Information);
        // Nothing signed it: refused, and the file gone.
        QCOMPARE(folder.messages.last().text, QStringLiteral("无法取得升级文件的签名，未升级。"));
        QVERIFY(!QFile::exists(folder.tempFile()));
        QVERIFY(form.Command1->isEnabled() && !form.Command2->isEnabled());

        // Stopped part-way, then resumed from where the file ends.
        server.splitAt.reset();
        server.files[programPath] = {.body = QByteArray(100000, 'p'), .closeAfter = 30000, .stall = true};
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("29.30KB/97.66KB"), 10000);
        form.Command2->click();
        QVERIFY(form.Command1->isEnabled() && !form.Command2->isEnabled());
        QCOMPARE(form.Winsock2->state(), QAbstractSocket::UnconnectedState);
        server.files[programPath] = {.body = QByteArray(100000, 'p')};
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("无法取得升级文件的签名，未升级。"), 10000);
        // The last request before the signature's.
        QVERIFY(server.requests.value(server.requests.size() - 2).contains("\r\nRange:bytes=30000-\r\n"));
    }

    void downloadFailuresAreShown()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        server.files[listPath] = {.body = list("<version>1.3.0</version>")};
        Window form;
        QTRY_VERIFY_WITH_TIMEOUT(form.Command1->isEnabled(), 10000);

        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(folder.messages.shown.size(), 1, 10000);
        QCOMPARE(folder.messages.last().text, QStringLiteral("没找到资源文件"));
        QCOMPARE(folder.messages.last().title, QStringLiteral("提示"));
        QCOMPARE(folder.messages.last().icon, MsgIcon::Critical);
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled());
        QVERIFY(!QFile::exists(folder.tempFile()));

        form.Command2->click();
        server.files[programPath] = {.body = QByteArray(5000, 'p'), .closeAfter = 100};
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络连接已断开，下载未完成"), 10000);
        QVERIFY(form.Command1->isEnabled() && !form.Command2->isEnabled());

        server.setListening(false);
        form.Command1->click();
        QTRY_COMPARE_WITH_TIMEOUT(form.Label1->text(), QStringLiteral("网络连接错误"), 10000);
        QVERIFY(!form.Command1->isEnabled() && form.Command2->isEnabled());
    }
};

QTEST_MAIN(TstFrmUpdate)
#include "tst_frmupdate.moc"
