// The updater's readers of outside input: the answer head, the update list, the server
// setting, the signature; and the request and progress texts it builds.
#include "tests/update/UpdateServer.h"
#include "update/HttpHead.h"
#include "update/Minisign.h"
#include "update/updateModule.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using namespace ht::update;
using State = ResponseHeadReader::State;

class TstUpdateText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void headAcrossChunks_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("rangeFirst");
        QTest::newRow("200 with a blank") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n") << 200
                                          << qint64(1000) << qint64(-1);
        QTest::newRow("no blank, other case") << QByteArray("HTTP/1.0 200 OK\r\nserver: t\r\ncontent-length:7\r\n\r\n")
                                              << 200 << qint64(7) << qint64(-1);
        QTest::newRow("206 past 4 GB") << QByteArray("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes "
                                                     "5000000000-5000000009/5000000010\r\nContent-Length: 10\r\n\r\n")
                                       << 206 << qint64(10) << qint64(5000000000);
        QTest::newRow("404 without reason") << QByteArray("HTTP/1.1 404\r\n\r\n") << 404 << qint64(-1) << qint64(-1);
    }
    void headAcrossChunks()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, status);
        QFETCH(qint64, length);
        QFETCH(qint64, rangeFirst);
        const QByteArray answer = head + "BODY";
        // Every place the first chunk can end, and one byte at a time.
        for (qsizetype cut = 0; cut <= answer.size(); ++cut) {
            ResponseHeadReader reader;
            qsizetype start = -1;
            QByteArray rest;
            if (reader.feed(answer.left(cut), &start) == State::Done) {
                rest = answer.mid(start);
            } else {
                QCOMPARE(reader.feed(answer.mid(cut), &start), State::Done);
                rest = answer.mid(cut).mid(start);
            }
            QCOMPARE(rest, QByteArray("BODY"));
            QCOMPARE(reader.head().status, status);
            QCOMPARE(reader.head().contentLength, length);
            QCOMPARE(reader.head().rangeFirst, rangeFirst);
        }
        ResponseHeadReader reader;
        qsizetype start = -1;
        for (qsizetype i = 0; i < head.size() - 1; ++i)
            QCOMPARE(reader.feed(head.mid(i, 1)), State::NeedMore);
        QCOMPARE(reader.feed(head.right(1) + "BODY", &start), State::Done);
        QCOMPARE(start, 1);
    }

    void unreadableHeads()
    {
        const QList<QByteArray> bad{
            "garbage\r\n\r\n",
            "HTTP/1.1 20 OK\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 9999999999999999999\r\n\r\n",
            "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n",
            "HTTP/1.1 200 OK\r\nX: " + QByteArray(ResponseHeadReader::maxHeadBytes, 'x'),
        };
        for (const QByteArray &head : bad) {
            ResponseHead parsed;
            QCOMPARE(parseResponseHead(head, &parsed), State::Bad);
        }
        ResponseHead parsed;
        QCOMPARE(parseResponseHead("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length:5\r\n\r\n", &parsed),
                 State::Done);
        QCOMPARE(parsed.contentLength, 5);
    }

    void updateList()
    {
        const auto gb = [](const QString &text) {
            QStringEncoder encode("GB2312");
            return QByteArray(encode(text));
        };
        QCOMPARE(offeredVersion(gb(QStringLiteral("<list><version>1.3.0</version></list>"))), std::nullopt);
        QCOMPARE(offeredVersion(gb(QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<update><files>"
                                                  "<file><version>1.3.0 测试版</version></file></files>"
                                                  "<version>2.0</version></update>"))),
                 QStringLiteral("1.3.0 测试版"));
        // A trailing blank is part of the version: it differs from the installed one.
        QCOMPARE(offeredVersion(gb(QStringLiteral("<files><version>1.2.8 </version></files>"))), QStringLiteral("1.2.8 "));
        QCOMPARE(offeredVersion(gb(QStringLiteral("<files><name>pursewick</name></files>"))), QString());
        QCOMPARE(offeredVersion(gb(QStringLiteral("<files><version>1.3.0</version>"))), QString());
        QCOMPARE(offeredVersion(gb(QStringLiteral("<files><version>1.3.0</version></files><x>"))), QString());
    }

    void serverSetting()
    {
        const Server fallback{QStringLiteral("update.example.com"), 80};
        const auto parsed = [&](const char *text) { return parseServer(QString::fromLatin1(text), fallback).authority(); };
        QCOMPARE(parsed(""), QStringLiteral("update.example.com"));
        QCOMPARE(parsed("127.0.0.1"), QStringLiteral("127.0.0.1"));
        QCOMPARE(parsed(" mirror.example.org:8080 "), QStringLiteral("mirror.example.org:8080"));
        for (const char *bad : {"host:0", "host:65536", "host:", "host:x", "a b", "host\r\nX: y", "[::1]:80"})
            QCOMPARE(parsed(bad), QStringLiteral("update.example.com"));
    }

    void requestAndProgressTexts()
    {
        QCOMPARE(downloadRequest(Server{QStringLiteral("update.example.com"), 80}, 0),
                 QByteArray("GET /down/update/pursewick HTTP/1.0\r\n"
                            "Range:bytes=0-\r\n"
                            "Host:update.example.com\r\n"
                            "Accept: */*\r\n"
                            "Referer:/down/update/pursewick\r\n"
                            "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
                            "Pragma: no-cache\r\n"
                            "Cache-Control: no-cache\r\n"
                            "Connection:Close\r\n"
                            "\r\n"));
        QVERIFY(downloadRequest(Server{QStringLiteral("127.0.0.1"), 8080}, 5000000000)
                    .contains("\r\nRange:bytes=5000000000-\r\nHost:127.0.0.1:8080\r\n"));
        QCOMPARE(progressText(0, 307200), QStringLiteral("0.00KB/300.00KB"));
        QCOMPARE(progressText(201, 1000), QStringLiteral("0.20KB/0.98KB"));
        QCOMPARE(progressText(12800, 307199), QStringLiteral("12.50KB/300.00KB"));
        QCOMPARE(progressText(5368709121, 5368709120), QStringLiteral("5242880.00KB/5242880.00KB"));
    }

    void signatures()
    {
        const ht::test::SigningKey vendor;
        const ht::test::SigningKey stranger;
        const std::optional<MinisignKey> key = readMinisignKey(vendor.publicKey);
        QVERIFY(key);
        QVERIFY(!readMinisignKey("untrusted comment: x\n" + vendor.publicKey.left(20)));
        QVERIFY(!readMinisignKey(QByteArray()));

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("pursewick"));
        const QByteArray program(300000, '\x7f');
        const auto fileHolds = [&](const QByteArray &content) {
            QFile f(file);
            return f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
        };
        const auto verdict = [&](const QByteArray &sigText) {
            const std::optional<MinisignSignature> sig = readMinisignSignature(sigText);
            return sig ? verifyMinisign(*key, *sig, file) : Verdict::Unreadable;
        };
        QVERIFY(fileHolds(program));
        for (bool legacy : {false, true}) {
            const QByteArray good = vendor.sign(program, "timestamp:1\tversion:1.3.0", legacy);
            QCOMPARE(readMinisignSignature(good)->prehashed, !legacy);
            QCOMPARE(verdict(good), Verdict::Good);
            QCOMPARE(verdict(stranger.sign(program, "version:1.3.0", legacy)), Verdict::WrongKey);
            // The trusted comment is signed too: another text fails.
            QByteArray forged = good;
            forged.replace("version:1.3.0", "version:9.9.9");
            QCOMPARE(verdict(forged), Verdict::BadSignature);
        }
        const QByteArray good = vendor.sign(program, "version:1.3.0");
        QByteArray tampered = program;
        tampered[150000] = 0;
        QVERIFY(fileHolds(tampered));
        QCOMPARE(verdict(good), Verdict::BadSignature);

        QList<QByteArray> lines = good.split('\n');
        QVERIFY(!readMinisignSignature(good.left(good.size() - 10)));
        QVERIFY(!readMinisignSignature(lines.mid(1).join('\n')));
        QVERIFY(!readMinisignSignature(lines.value(0) + '\n' + lines.value(1).left(40) + '\n' + lines.mid(2).join('\n')));
        QVERIFY(!readMinisignSignature(good + "more\n"));
        QVERIFY(!readMinisignSignature("<html>404</html>"));
        QVERIFY(readMinisignSignature(QByteArray(good).replace("\n", "\r\n")));

        QVERIFY(namesVersion("timestamp:1\tfile:pursewick\tversion:1.3.0", QStringLiteral("1.3.0")));
        QVERIFY(!namesVersion("version:1.3.01", QStringLiteral("1.3.0")));
        QVERIFY(!namesVersion("version:1.3.0", QStringLiteral("1.3")));
    }
};

QTEST_GUILESS_MAIN(TstUpdateText)
#include "tst_updatetext.moc"
