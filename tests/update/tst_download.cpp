// The download: what reaches the temporary file, whatever the server does.
#include "tests/update/UpdateServer.h"
#include "update/Download.h"

#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace ht;
using namespace ht::update;

Q_DECLARE_METATYPE(ht::test::Served)

namespace {
const QByteArray path = "/down/update/pursewick";

QByteArray program(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// Waits until the download ends one way or another; the signal's name.
QString outcome(Download &d)
{
    QString seen;
    QEventLoop loop;
    const auto end = [&](const char *what) {
        return [&, what] {
            seen = QString::fromLatin1(what);
            loop.quit();
        };
    };
    QObject::connect(&d, &Download::finished, &loop, end("finished"));
    QObject::connect(&d, &Download::failed, &loop, end("failed"));
    QObject::connect(&d, &Download::notFound, &loop, end("notFound"));
    QObject::connect(&d, &Download::connectFailed, &loop, end("connectFailed"));
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    return seen;
}
} // namespace

class TstDownload : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headSplitAnywhereLeavesOnlyTheBody()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        const QByteArray body = program(5000);
        server.files[path] = {.body = body};
        Download d(parseServer(server.setting(), {}), folder.tempFile());
        // The rest goes out only once the download has taken the first part.
        connect(d.socket(), &QTcpSocket::readyRead, &server, &test::UpdateServer::sendRest);
        for (qsizetype split = -60; split <= 1; ++split) {
            server.splitAt = split;
            d.discard();
            d.start();
            QCOMPARE(outcome(d), QStringLiteral("finished"));
            QCOMPARE(test::fileContents(folder.tempFile()), body);
        }
        // The request, byte for byte.
        QCOMPARE(server.requests.last(), downloadRequest(parseServer(server.setting(), {}), 0));
    }

    void resumeAppendsWhereTheFileEnds_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("tight");
        QTest::newRow("206") << 0 << false;
        QTest::newRow("200 starts over") << 200 << true;
    }
    void resumeAppendsWhereTheFileEnds()
    {
        QFETCH(int, status);
        QFETCH(bool, tight);
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        // A leftover of an earlier run, longer than the new file.
        QFile leftover(folder.tempFile());
        QVERIFY(leftover.open(QIODevice::WriteOnly) && leftover.write(QByteArray(900000, 'L')) == 900000);
        leftover.close();

        const QByteArray body = program(600000);
        server.files[path] = {.body = body, .tightLength = tight, .closeAfter = 250000, .stall = true};
        Download d(parseServer(server.setting(), {}), folder.tempFile());
        d.start();
        QTRY_COMPARE_WITH_TIMEOUT(d.received(), 250000, 20000);
        QCOMPARE(d.total(), 600000);
        QCOMPARE(d.position(), 250001);
        d.stop();

        server.files[path] = {.body = body, .status = status, .tightLength = tight};
        d.start();
        QCOMPARE(outcome(d), QStringLiteral("finished"));
        QVERIFY(server.requests.last().contains("\r\nRange:bytes=250000-\r\n"));
        QCOMPARE(test::fileContents(folder.tempFile()), body);
    }

    void serverThatMisbehavesLeavesAClearState_data()
    {
        QTest::addColumn<test::Served>("served");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("why");
        const QByteArray body = program(3000);
        QTest::newRow("closes early") << test::Served{.body = body, .closeAfter = 1000} << QStringLiteral("failed")
                                      << QStringLiteral("网络连接已断开，下载未完成");
        QTest::newRow("stalls") << test::Served{.body = body, .closeAfter = 1000, .stall = true} << QStringLiteral("failed")
                                << QStringLiteral("网络连接超时，下载未完成");
        QTest::newRow("error page") << test::Served{.body = body, .status = 500} << QStringLiteral("failed")
                                    << QStringLiteral("服务器应答有误（HTTP 500），下载未完成");
        QTest::newRow("more than announced")
            << test::Served{.body = body, .stall = true, .trailing = QByteArray(100000, 'X')} << QStringLiteral("finished") << QString();
    }
    void serverThatMisbehavesLeavesAClearState()
    {
        QFETCH(test::Served, served);
        QFETCH(QString, outcome);
        QFETCH(QString, why);
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        server.files[path] = served;
        Download d(parseServer(server.setting(), {}), folder.tempFile());
        d.stallTimeoutMs = 500;
        QSignalSpy failed(&d, &Download::failed);
        d.start();
        QCOMPARE(::outcome(d), outcome);
        QCOMPARE(failed.value(0).value(0).toString(), why);
        const QByteArray file = test::fileContents(folder.tempFile());
        QCOMPARE(file, served.body.left(file.size()));
        QCOMPARE(file.size(), outcome == QLatin1String("finished") ? served.body.size() : served.closeAfter < 0 ? 0 : served.closeAfter);
        QCOMPARE(d.socket()->state(), QAbstractSocket::UnconnectedState);
    }

    void notFoundAndNoServerWriteNothing()
    {
        test::UpdateServer server;
        test::UpdaterFolder folder(server, QStringLiteral("1.2.8"));
        Download d(parseServer(server.setting(), {}), folder.tempFile());
        d.start();
        QCOMPARE(outcome(d), QStringLiteral("notFound"));
        server.setListening(false);
        d.start();
        QCOMPARE(outcome(d), QStringLiteral("connectFailed"));
        QVERIFY(test::fileContents(folder.tempFile()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstDownload)
#include "tst_download.moc"
