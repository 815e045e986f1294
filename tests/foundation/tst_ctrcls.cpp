#include "tests/support/TestSupport.h"
#include "foundation/StoredDate.h"
#include "foundation/ctrcls.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using ht::ctrcls;

namespace {

constexpr qint64 pageLimit = 4 * 1024 * 1024;

QByteArray withLength(const QByteArray &head, const QByteArray &body)
{
    return head + "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

class TstCtrcls : public QObject {
    Q_OBJECT

private slots:
    void dateTexts()
    {
        const QString none;
        const std::tuple<QVariant, QString, QString> cases[] = {
            {QDateTime(QDate(2023, 12, 1), QTime(0, 5)), "2023年12月01日 00点05分", "星期五"},
            {QDateTime(QDate(2024, 3, 5), QTime(20, 7, 9)), "2024年03月05日 20点07分", "星期二"},
            {QDate(2023, 12, 1), "2023年12月01日 00点00分", "星期五"},
            {QDate(2024, 3, 3), "2024年03月03日 00点00分", "星期天"}, // Qt counts Sunday as 7
            {"2024-03-05 08:07:09", "2024年03月05日 08点07分", "星期二"},
            {"2023-02-30", none, none}, {QString(), none, none}, {QVariant(), none, none}, {QDateTime(), none, none}};
        for (const auto &[value, dateTime, week] : cases) {
            QCOMPARE(ctrcls::chsDateTime(value), dateTime);
            QCOMPARE(ctrcls::chsDate(value), dateTime.left(12)); // "2024年03月05日 " keeps its blank
            QCOMPARE(ctrcls::chsWeek(value), week);
        }
        QCOMPARE(ctrcls::fullTime(QTime(20, 7, 9)), QStringLiteral("20:07:09"));

        // Both readers of stored dates, and toDateTime on top of them, agree on every shape.
        const QDate mar5(2024, 3, 5);
        const std::pair<const char *, QDateTime> shapes[] = {
            {"2024-03-05 08:07:09", QDateTime(mar5, QTime(8, 7, 9))}, {" 2024-03-05 ", QDateTime(mar5, QTime(0, 0))},
            {"2024-03-05T08:07", QDateTime(mar5, QTime(8, 7))}, {"2024/3/5 8:07:09", QDateTime(mar5, QTime(8, 7, 9))},
            {"2024/3/5", QDateTime(mar5, QTime(0, 0))}, {"2024-02-30", {}}, {"2024-03-05 25:00", {}},
            {"2024/13/5", {}}, {"20240305", {}}, {"明天", {}}, {"", {}}};
        for (const auto &[text, expected] : shapes) {
            const QString qtext = QString::fromUtf8(text);
            // the QStringView and the UTF-8 overload
            for (const auto &parsed : {ht::parseStoredDate(QStringView(qtext)), ht::parseStoredDate(text)})
                QCOMPARE(parsed ? parsed->toDateTime() : QDateTime(), expected);
            QCOMPARE(ctrcls::toDateTime(qtext), expected);
        }
    }

    void textEdits()
    {
        // SQLString and makeFilename hand back the result and leave it in the argument too.
        const std::tuple<QString (*)(QString &), QString, QString> cases[] = {
            {&ctrcls::SQLString, "a'b  c", "a&#39b&nbsp;&nbsp;c"},
            {&ctrcls::SQLString, QStringLiteral("午饭{'}") + QChar(0) + u'x', "午饭&#123&#39&#125x"},
            {&ctrcls::SQLString, QString(), QString()},
            {&ctrcls::makeFilename, "2024-3-5 下午 08:07:09", "202435080709"},
            {&ctrcls::makeFilename, "2024/3/5 上午 8:07:09", "20243580709"},
            {&ctrcls::makeFilename, "3/5/2024 8:07:09 PM", "35202480709"}};
        for (auto [edit, text, result] : cases) {
            QCOMPARE(edit(text), result);
            QCOMPARE(text, result);
        }
        QCOMPARE(ctrcls::SQLCut(QStringLiteral("50% off's {a b}")), QStringLiteral("50 offs {a b}"));
        QCOMPARE(ctrcls::SQLCut(QStringLiteral("%'%'")), QString());

    }

    void filesExist()
    {
        ht::test::ProgramFolder folder(false);
        QVERIFY(QDir(folder.dir()).mkdir(QStringLiteral("sub")));
        for (const char *file : {"normal.txt", ".hidden", "sub/run.log"}) {
            QFile f(folder.path(QString::fromLatin1(file)));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("x") == 1);
        }
        const std::pair<const char *, bool> names[] = {
            {"normal.txt", true}, {"missing.txt", false}, {"nofolder/normal.txt", false}, {"sub", false},
            {".hidden", false},   {"*.txt", true},        {"norma?.txt", true},           {"sub/*.log", true},
            {"*.csv", false},     {"su*", false},         {"nofolder/*.txt", false}};
        for (const auto &[name, exists] : names)
            QVERIFY2(ctrcls::FileExsits(folder.path(QString::fromLatin1(name))) == exists, name);
        QVERIFY(!ctrcls::FileExsits(QString()));

    }

    void httpPage_data()
    {
        QTest::addColumn<QByteArray>("response"); // "silent", "endless", "refused" or what to send
        QTest::addColumn<QString>("page");        // null: no answer

        const auto gb2312 = [](const QString &t) -> QByteArray { return QStringEncoder("GB2312").encode(t); };
        const QString text = QStringLiteral("<html>家庭收支记账：本月结余 1234.56 元</html>");
        const QByteArray ok = "HTTP/1.1 200 OK\r\n", notFound = "HTTP/1.1 404 Not Found\r\n";
        const QByteArray redirect = "HTTP/1.1 302 Found\r\nLocation: ", gzip = "Content-Encoding: gzip\r\n";
        const auto row = [](const char *name, const QByteArray &response, const QString &page = {}) {
            QTest::newRow(name) << response << page;
        };
        row("HTTP/1.0, ends by closing", "HTTP/1.0 200 OK\r\n\r\n" + gb2312(text), text);
        row("with a length", withLength(ok, gb2312(text)), text);
        row("error page is an answer", withLength(notFound, gb2312(QStringLiteral("找不到"))), "找不到");
        row("compressed", withLength(ok + "Content-Encoding: deflate\r\n", qCompress(gb2312(text)).mid(4)), text);
        row("4 MB exactly", withLength(ok, QByteArray(pageLimit, 'x')), QString(pageLimit, u'x'));
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
        QFETCH(QString, page);
        qint64 sent = 0;
        const qint64 stopAt = 16 * pageLimit;
        QByteArray request; // every request head received, in order
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QString url = QStringLiteral("http://127.0.0.1:%1/rates.htm").arg(server.serverPort());
        if (response == "refused")
            server.close();
        // getHttpPage's own event loop is what lets this server in the same thread answer.
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
        QVERIFY(ctrcls::getHttpPage(QString(), 300, &ok).isEmpty() && !ok); // no address: no answer
        ok = page.isNull();
        // The short time-out still leaves a loaded machine ample time to deliver the request.
        QCOMPARE(ctrcls::getHttpPage(url, response == "silent" ? 1500 : 60000, &ok), page);
        QCOMPARE(ok, !page.isNull());
        // An endless body is given up soon after the limit, not when the server runs dry.
        QVERIFY2(sent < stopAt, qPrintable(QString::number(sent)));
        QVERIFY2(response == "refused" || request.startsWith("GET /rates.htm "), request.constData());
        // Every fetch goes to the server, never to a cache along the way.
        QVERIFY2(response == "refused" || request.contains("\r\nIf-Modified-Since: 0\r\n"), request.constData());
    }
};

QTEST_GUILESS_MAIN(TstCtrcls)
#include "tst_ctrcls.moc"
