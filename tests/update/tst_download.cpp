// The download (what reaches the temporary file, whatever the server does) and the
// updater's readers of outside input: the answer head, the update list, the server
// setting, the signature; and the request and progress texts it builds.
#include "tests/update/UpdateServer.h"
#include "update/Download.h"
#include "update/HttpHead.h"
#include "update/Minisign.h"
#include "update/UpdateRules.h"

#include <QStringEncoder>
#include <QTcpSocket>
#include <QTest>

using namespace ht;
using namespace ht::update;
using State = ResponseHeadReader::State;

namespace {

// Starts the download and waits until it finishes or fails, with the failure's reason. The
// other two ends (nothing at the address, no connection) are the window test's.
QString outcome(Download &d)
{
    QString seen;
    QObject context;
    QObject::connect(&d, &Download::finished, &context, [&seen] { seen = QStringLiteral("finished"); });
    QObject::connect(&d, &Download::failed, &context, [&seen](const QString &why) { seen = "failed: " + why; });
    d.start();
    return QTest::qWaitFor([&seen] { return !seen.isEmpty(); }, 30000) ? seen : QStringLiteral("no end in 30 s");
}
} // namespace

class TstDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Whatever the server does, the temporary file holds what arrived of the body and nothing
    // else, and the connection ends.
    void serverAnswers()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        const QByteArray body = test::patterned(5000);
        server.files[test::programPath] = {.body = body};
        Download d(parseServer(server.setting(), QString()), folder.tempFile());
        d.stallTimeoutMs = 500;
        // The head split anywhere; the rest goes out only once the download has taken the first part.
        connect(d.socket(), &QTcpSocket::readyRead, &server, &test::UpdateServer::sendRest);
        for (qsizetype split = -60; split <= 1; ++split) {
            server.splitAt = split;
            d.discard();
            QCOMPARE(outcome(d), QStringLiteral("finished"));
            QCOMPARE(test::fileContents(folder.tempFile()), body);
        }
        server.splitAt.reset();
        const std::pair<test::Served, QString> misbehaving[] = {
            {{.body = body, .closeAfter = 1000}, QStringLiteral("failed: 网络连接已断开，下载未完成")},
            {{.body = body, .closeAfter = 1000, .stall = true}, QStringLiteral("failed: 网络连接超时，下载未完成")},
            {{.body = body, .status = 500}, QStringLiteral("failed: 服务器应答有误（HTTP 500），下载未完成")},
            {{.body = body, .stall = true, .trailing = QByteArray(100000, 'X')}, QStringLiteral("finished")},
        };
        for (const auto &[served, end] : misbehaving) {
            server.files[test::programPath] = served;
            d.discard();
            QCOMPARE(outcome(d), end);
            const qint64 arrived = end == QLatin1String("finished") ? body.size() : qMax<qint64>(0, served.closeAfter);
            QCOMPARE(test::fileContents(folder.tempFile()), body.left(arrived));
            QCOMPARE(d.socket()->state(), QAbstractSocket::UnconnectedState);
        }
    }

    // Every place the first chunk can end, then one byte at a time: the same head, and the
    // body from its first byte. Heads that cannot be read are refused.
    void responseHeads()
    {
        const QList<std::pair<QByteArray, QList<qint64>>> good{
            // status, length, first byte of the range
            {"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n", {200, 1000, -1}},
            {"HTTP/1.0 200 OK\r\nserver: t\r\ncontent-length:7\r\n\r\n", {200, 7, -1}},
            {"HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5000000000-5000000009/5000000010\r\n"
             "Content-Length: 10\r\n\r\n",
             {206, 10, 5000000000}},
            {"HTTP/1.1 404\r\n\r\n", {404, -1, -1}},
            {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length:5\r\n\r\n", {200, 5, -1}},
        };
        for (const auto &[head, parsed] : good) {
            const QByteArray answer = head + "BODY";
            for (qsizetype cut = 0; cut <= answer.size() + 1; ++cut) {
                const bool bytewise = cut > answer.size();
                ResponseHeadReader reader;
                qsizetype fed = 0, last = 0, start = -1;
                while (reader.state() == State::NeedMore && fed < answer.size()) {
                    last = fed;
                    fed += bytewise ? 1 : fed < cut ? cut - fed : answer.size() - fed;
                    reader.feed(answer.mid(last, fed - last), &start);
                }
                QVERIFY2(reader.state() == State::Done, head.constData());
                QCOMPARE(answer.mid(last + start), QByteArray("BODY"));
                QCOMPARE((QList<qint64>{reader.head().status, reader.head().contentLength, reader.head().rangeFirst}),
                         parsed);
            }
        }
        const QList<QByteArray> bad{
            "garbage\r\n\r\n",
            "HTTP/1.1 20 OK\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 9999999999999999999\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n",
            "HTTP/1.1 200 OK\r\nX: " + QByteArray(ResponseHeadReader::maxHeadBytes, 'x'),
        };
        for (const QByteArray &head : bad)
            QCOMPARE(parseResponseHead(head, nullptr), State::Bad);
    }

    // The update list, the server setting, the request it leads to, and the progress text.
    void checkAndDownloadTexts()
    {
        const auto offered = [](const QString &text) { return offeredVersion(QStringEncoder("GB2312")(text)); };
        QCOMPARE(offered(QStringLiteral(
                     "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<update><files><file><version>"
                     " 1.3.0\r\n</version><name>记账</name></file></files><version>2.0</version></update>")),
                 QStringLiteral("1.3.0"));
        QCOMPARE(offered(QStringLiteral("<list><version>1.3.0</version></list>")), std::nullopt);
        for (const char *refused :
             {"<files><name>pursewick</name></files>", "<files><version>1.3.0</version>",
              "<files><version>1.3.0</version></files><x>", "<files><version>1.3 测试版</version></files>"})
            QCOMPARE(offered(QString::fromUtf8(refused)), QString());
        // Offered only when later, number by number; an unreadable installed version is older than any.
        const std::tuple<const char *, const char *, bool> versions[] = {
            {"1.10", "1.9", true}, {"1.3", "1.3.0", false}, {"0.1", "1.3 beta", true}, {"1.2.3.4.5", "", false},
            {"123456", "", false}, {"1..2", "", false},     {"-1", "", false},         {"１", "", false}};
        for (const auto &[later, installed, newer] : versions)
            QVERIFY2(isNewer(QString::fromUtf8(later), QLatin1String(installed)) == newer, later);

        const auto parsed = [](const char *text) {
            const Server server = parseServer(QString::fromLatin1(text), QStringLiteral("update.example.com:8080"));
            return server.host + QStringLiteral(" %1").arg(server.port);
        };
        QCOMPARE(parsed("127.0.0.1"), QStringLiteral("127.0.0.1 80"));
        QCOMPARE(parsed(" mirror.example.org:8080 "), QStringLiteral("mirror.example.org 8080"));
        // Unset or unusable: the built-in server, written the same way; then none.
        for (const char *text : {"", "host:0", "host:65536", "host:", "host:x", "a b", "host\r\nX: y", "[::1]:80"})
            QCOMPARE(parsed(text), QStringLiteral("update.example.com 8080"));

        QVERIFY(
            downloadRequest(Server{QStringLiteral("update.example.com"), 80}, 0)
                .startsWith("GET /down/update/pursewick HTTP/1.0\r\nRange:bytes=0-\r\nHost:update.example.com\r\n"));
        QVERIFY(downloadRequest(Server{QStringLiteral("127.0.0.1"), 8080}, 5000000000)
                    .contains("\r\nRange:bytes=5000000000-\r\nHost:127.0.0.1:8080\r\n"));
        QCOMPARE(progressText(5368709121, 5368709120), QStringLiteral("5242880.00KB/5242880.00KB"));
    }

    // The readers refuse what is not a key or a signature, or names another version; what they
    // accept, and the verdicts on signatures, are the install's, tested through the window.
    void signatureTexts()
    {
        const QByteArray key = test::vendorKey().publicKey;
        QVERIFY(!readMinisignKey("untrusted comment: x\n" + key.left(20)));
        QVERIFY(!readMinisignKey(QByteArray()));
        const QByteArray good = test::vendorKey().sign("program", "version:1.3.0");
        const QList<QByteArray> lines = good.split('\n');
        for (const QByteArray &bad : {good.left(good.size() - 10), lines.mid(1).join('\n'),
                                      lines.value(0) + '\n' + lines.value(1).left(40) + '\n' + lines.mid(2).join('\n'),
                                      good + "more\n", QByteArray("<html>404</html>")})
            QVERIFY(!readMinisignSignature(bad));
        QVERIFY(readMinisignSignature(QByteArray(good).replace("\n", "\r\n")));

        QVERIFY(!namesVersion("version:1.3.01", QStringLiteral("1.3.0")));
        QVERIFY(!namesVersion("version:1.3.0", QStringLiteral("1.3")));
    }
};

QTEST_GUILESS_MAIN(TstDownload)
#include "tst_download.moc"
