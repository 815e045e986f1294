#include "foundation/HttpFetch.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

constexpr qint64 pageLimit = 4 * 1024 * 1024;

QByteArray withLength(const QByteArray &head, const QByteArray &body)
{
    return head + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

class TstHttpFetch : public QObject {
    Q_OBJECT

private slots:
    void httpPage_data()
    {
        QTest::addColumn<QByteArray>("response"); // "silent", "endless", "refused" or what to send
        QTest::addColumn<QByteArray>("page");     // null: no answer
        QTest::addColumn<int>("status");

        const QByteArray text = QStringLiteral("<html>家庭收支记账：本月结余 1234.56 元</html>").toUtf8();
        const QByteArray ok = "HTTP/1.1 200 OK\r\n", notFound = "HTTP/1.1 404 Not Found\r\n";
        const QByteArray redirect = "HTTP/1.1 302 Found\r\nLocation: ", gzip = "Content-Encoding: gzip\r\n";
        const auto row =
            [](const char *name, const QByteArray &response, const QByteArray &page = {}, int status = 200) {
            QTest::newRow(name) << response << page << (page.isNull() ? 0 : status);
        };
        row("HTTP/1.0, ends by closing", "HTTP/1.0 200 OK\r\n\r\n" + text, text);
        row("with a length", withLength(ok, text), text);
        row("error page is an answer", withLength(notFound, "找不到"), "找不到", 404);
        row("compressed", withLength(ok + "Content-Encoding: deflate\r\n", qCompress(text).mid(4)), text);
        row("4 MB exactly", withLength(ok, QByteArray(pageLimit, 'x')), QByteArray(pageLimit, 'x'));
        row("no answer in time", "silent");
        row("connection refused", "refused");
        row("hangs up", "");
        row("cut short", ok + "Content-Length: 100\r\n\r\nshort");
        row("error page cut short", notFound + "Content-Length: 100\r\n\r\nshort");
        row("redirect loop", redirect + "/rates.htm\r\n\r\n");
        row("redirect refused", redirect + "ftp://127.0.0.1/\r\n\r\n");
        row("bad gzip", withLength(ok + gzip, "not gzip at all"));
        row("bad gzip on an error page", withLength(notFound + gzip, "not gzip at all"));
        row("declared over 4 MB", withLength(ok, QByteArray(pageLimit + 1, 'x')));
        row("endless body", "endless");
    }

    void httpPage()
    {
        QFETCH(QByteArray, response);
        QFETCH(QByteArray, page);
        QFETCH(int, status);
        qint64 sent = 0;
        const qint64 stopAt = 16 * pageLimit;
        QByteArray request; // every request head received, in order
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QString url = QStringLiteral("http://127.0.0.1:%1/rates.htm").arg(server.serverPort());
        if (response == "refused")
            server.close();
        // getHttpBytes's own event loop is what lets this server in the same thread answer.
        connect(&server, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [&, s] {
                    request += s->readAll();
                    if (!request.endsWith("\r\n\r\n") || response == "silent")
                        return;
                    s->write(response == "endless" ? "HTTP/1.1 200 OK\r\n\r\n" : response);
                    if (response != "endless")
                        return s->disconnectFromHost();
                    connect(s, &QTcpSocket::bytesWritten, s, [&, s](qint64 n) {
                        sent += n;
                        sent < stopAt ? void(s->write(QByteArray(64 * 1024, 'x'))) : s->disconnectFromHost();
                    });
                });
            }
        });

        bool ok = true;
        int answered = -1;
        QVERIFY(ht::getHttpBytes(QString(), 300, &ok).isEmpty() && !ok); // no address: no answer
        ok = page.isNull();
        // The short time-out still leaves a loaded machine ample time to deliver the request.
        const QByteArray body = ht::getHttpBytes(url, response == "silent" ? 1500 : 60000, &ok, &answered);
        QCOMPARE(body, page);
        QCOMPARE(ok, !page.isNull());
        QCOMPARE(answered, status);
        // An endless body is given up soon after the limit, not when the server runs dry.
        QVERIFY2(sent < stopAt, qPrintable(QString::number(sent)));
        QVERIFY2(response == "refused" || request.startsWith("GET /rates.htm "), request.constData());
        // Every fetch goes to the server, never to a cache along the way.
        QVERIFY2(response == "refused" || request.contains("\r\nIf-Modified-Since: 0\r\n"), request.constData());
    }
};

QTEST_GUILESS_MAIN(TstHttpFetch)
#include "tst_httpfetch.moc"
