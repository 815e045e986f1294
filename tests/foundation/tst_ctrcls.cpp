#include "TestSupport.h"
#include "ctrcls.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using ht::ctrcls;

namespace {

// A web server in this thread: getHttpPage spins its own event loop, which is
// what lets this server read the request and answer it.
class HttpStub : public QObject {
public:
    QByteArray response; // empty: take the request and never answer
    bool answerByClosing = false;
    QByteArray request;

    HttpStub()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &HttpStub::accept);
    }
    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/rates.htm").arg(m_server.serverPort()); }

private:
    void accept()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto received = std::make_shared<QByteArray>();
            connect(socket, &QTcpSocket::readyRead, this, [this, socket, received] {
                *received += socket->readAll();
                if (!received->contains("\r\n\r\n"))
                    return;
                request = *received;
                received->clear();
                if (answerByClosing) {
                    socket->disconnectFromHost();
                } else if (!response.isEmpty()) {
                    socket->write(response);
                    socket->disconnectFromHost();
                }
            });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
};

QByteArray gb2312(const QString &text)
{
    QStringEncoder encode("GB2312");
    QByteArray bytes = encode(text);
    if (!encode.isValid() || encode.hasError())
        qFatal("no GB2312 encoder");
    return bytes;
}

// The routines that hand back the result and also leave it in their argument.
void checkEditsArgument(QString (*edit)(QString &))
{
    QFETCH(QString, input);
    QFETCH(QString, result);

    QString text = input;
    QCOMPARE(edit(text), result);
    QCOMPARE(text, result);
}

// A port nobody listens on: taken from the system, then given back.
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        qFatal("cannot listen on 127.0.0.1");
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

class TstCtrcls : public QObject {
    Q_OBJECT

private slots:
    void dateTexts_data();
    void dateTexts();
    void weekNames_data();
    void weekNames();
    void fullTime_data();
    void fullTime();
    void fullTimeNow();

    void sqlString_data();
    void sqlString();
    void sqlCut_data();
    void sqlCut();
    void makeFilename_data();
    void makeFilename();
    void randomNum_data();
    void randomNum();
    void randomNumVaries();

    void fileExists_data();
    void fileExists();
    void saveLogFileAppendsLines();

    void httpPage_data();
    void httpPage();
    void httpPageNoAnswer_data();
    void httpPageNoAnswer();
    void httpPageEmptyUrl();
};

void TstCtrcls::dateTexts_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("dateTime");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("week");

    const QString dec1 = QStringLiteral("2023年12月01日 ");
    const QString mar5 = QStringLiteral("2024年03月05日 ");
    QTest::newRow("date-time, just after midnight")
        << QVariant(QDateTime(QDate(2023, 12, 1), QTime(0, 5))) << dec1 + QStringLiteral("00点05分") << dec1
        << QStringLiteral("星期五");
    QTest::newRow("date-time, seconds dropped")
        << QVariant(QDateTime(QDate(2024, 3, 5), QTime(8, 7, 9))) << mar5 + QStringLiteral("08点07分") << mar5
        << QStringLiteral("星期二");
    QTest::newRow("afternoon stays on the 24-hour clock")
        << QVariant(QDateTime(QDate(2024, 3, 5), QTime(20, 7, 9))) << mar5 + QStringLiteral("20点07分") << mar5
        << QStringLiteral("星期二");
    QTest::newRow("date only") << QVariant(QDate(2023, 12, 1)) << dec1 + QStringLiteral("00点00分") << dec1
                               << QStringLiteral("星期五");
    QTest::newRow("stored date-time text") << QVariant(QStringLiteral("2024-03-05 08:07:09"))
                                           << mar5 + QStringLiteral("08点07分") << mar5 << QStringLiteral("星期二");
    QTest::newRow("stored date text") << QVariant(QStringLiteral("2023-12-01")) << dec1 + QStringLiteral("00点00分")
                                      << dec1 << QStringLiteral("星期五");

    const QString none;
    QTest::newRow("not a date") << QVariant(QStringLiteral("abc")) << none << none << none;
    QTest::newRow("empty text") << QVariant(QString()) << none << none << none;
    QTest::newRow("30 February") << QVariant(QStringLiteral("2023-02-30")) << none << none << none;
    QTest::newRow("30 February with a time") << QVariant(QStringLiteral("2023-02-30 10:00:00")) << none << none
                                             << none;
    QTest::newRow("hour 25") << QVariant(QStringLiteral("2024-03-05 25:00:00")) << none << none << none;
    QTest::newRow("no value") << QVariant() << none << none << none;
    QTest::newRow("invalid date-time") << QVariant(QDateTime()) << none << none << none;
}

void TstCtrcls::dateTexts()
{
    QFETCH(QVariant, value);
    QFETCH(QString, dateTime);
    QFETCH(QString, date);
    QFETCH(QString, week);

    QCOMPARE(ctrcls::chsDateTime(value), dateTime);
    QCOMPARE(ctrcls::chsDate(value), date);
    QCOMPARE(ctrcls::chsWeek(value), week);
}

void TstCtrcls::weekNames_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QString>("name");

    // 3 March 2024 is a Sunday.
    const char16_t *const names[] = {u"星期天", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六"};
    for (int i = 0; i < 7; ++i) {
        const QDate day(2024, 3, 3 + i);
        QTest::newRow(qPrintable(day.toString(Qt::ISODate))) << day << QString::fromUtf16(names[i]);
    }
}

void TstCtrcls::weekNames()
{
    QFETCH(QDate, day);
    QFETCH(QString, name);

    QCOMPARE(ctrcls::chsWeek(day), name);
    QCOMPARE(ctrcls::chsWeek(day.toString(QStringLiteral("yyyy-MM-dd"))), name);
}

void TstCtrcls::fullTime_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");

    QTest::newRow("morning") << QTime(8, 7, 9) << QStringLiteral("08:07:09");
    QTest::newRow("evening") << QTime(20, 7, 9) << QStringLiteral("20:07:09");
    QTest::newRow("midnight") << QTime(0, 0, 0) << QStringLiteral("00:00:00");
    QTest::newRow("noon") << QTime(12, 0, 0) << QStringLiteral("12:00:00");
    QTest::newRow("last second") << QTime(23, 59, 59) << QStringLiteral("23:59:59");
}

void TstCtrcls::fullTime()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);

    QCOMPARE(ctrcls::fullTime(time), text);
}

void TstCtrcls::fullTimeNow()
{
    const QTime before = QTime::currentTime();
    const QString text = ctrcls::fullTime();
    const QTime after = QTime::currentTime();

    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(text).hasMatch(), qPrintable(text));
    if (after < before)
        QSKIP("the clock passed midnight");
    const QTime shown = QTime::fromString(text, QStringLiteral("HH:mm:ss"));
    QVERIFY(shown >= QTime(before.hour(), before.minute(), before.second()));
    QVERIFY(shown <= after);
}

void TstCtrcls::sqlString_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");

    QTest::newRow("quote and blank") << QStringLiteral("a'b c") << QStringLiteral("a&#39b&nbsp;c");
    QTest::newRow("braces") << QStringLiteral("{x}") << QStringLiteral("&#123x&#125");
    QTest::newRow("two blanks") << QStringLiteral("a  b") << QStringLiteral("a&nbsp;&nbsp;b");
    QTest::newRow("NUL removed") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << QStringLiteral("ab");
    QTest::newRow("Chinese with all of them") << QStringLiteral("午饭 {'}") + QChar(0)
                                              << QStringLiteral("午饭&nbsp;&#123&#39&#125");
    QTest::newRow("nothing to escape") << QStringLiteral("工资2024") << QStringLiteral("工资2024");
    QTest::newRow("empty") << QString() << QString();
}

void TstCtrcls::sqlString()
{
    checkEditsArgument(&ctrcls::SQLString);
}

void TstCtrcls::sqlCut_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("cut");

    QTest::newRow("percent and quote") << QStringLiteral("50% off's") << QStringLiteral("50 offs");
    QTest::newRow("blanks kept") << QStringLiteral("  a'b  ") << QStringLiteral("  ab  ");
    QTest::newRow("only cut characters") << QStringLiteral("%'%'") << QString();
    QTest::newRow("other escapes kept") << QStringLiteral("{a b}") << QStringLiteral("{a b}");
    QTest::newRow("empty") << QString() << QString();
}

void TstCtrcls::sqlCut()
{
    QFETCH(QString, input);
    QFETCH(QString, cut);

    const QString original = input;
    QCOMPARE(ctrcls::SQLCut(input), cut);
    QCOMPARE(input, original);
}

void TstCtrcls::makeFilename_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");

    QTest::newRow("Chinese afternoon") << QStringLiteral("2024-3-5 下午 08:07:09") << QStringLiteral("202435080709");
    QTest::newRow("Chinese morning, slashes") << QStringLiteral("2024/3/5 上午 8:07:09")
                                              << QStringLiteral("20243580709");
    QTest::newRow("AM") << QStringLiteral("3/5/2024 8:07:09 AM") << QStringLiteral("35202480709");
    QTest::newRow("PM") << QStringLiteral("3/5/2024 8:07:09 PM") << QStringLiteral("35202480709");
    QTest::newRow("already a name") << QStringLiteral("20240305") << QStringLiteral("20240305");
}

void TstCtrcls::makeFilename()
{
    checkEditsArgument(&ctrcls::makeFilename);
}

void TstCtrcls::randomNum_data()
{
    QTest::addColumn<int>("length");

    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
    QTest::newRow("six") << 6;
    QTest::newRow("thirty") << 30;
}

void TstCtrcls::randomNum()
{
    QFETCH(int, length);

    const QString digits = ctrcls::RandomNum(length);
    QCOMPARE(digits.size(), length);
    QVERIFY2(QRegularExpression(QStringLiteral("^[0-9]*$")).match(digits).hasMatch(), qPrintable(digits));
}

void TstCtrcls::randomNumVaries()
{
    // 200 digits drawn evenly use nearly all ten; a stuck generator would not.
    const QString digits = ctrcls::RandomNum(200);
    QSet<QChar> seen(digits.cbegin(), digits.cend());
    QVERIFY2(seen.size() >= 8, qPrintable(digits));
}

void TstCtrcls::fileExists_data()
{
    QTest::addColumn<QString>("name"); // "%1" stands for the test's folder
    QTest::addColumn<bool>("exists");

    QTest::newRow("normal file") << QStringLiteral("%1/normal.txt") << true;
    QTest::newRow("missing file") << QStringLiteral("%1/missing.txt") << false;
    QTest::newRow("missing folder") << QStringLiteral("%1/nofolder/normal.txt") << false;
    QTest::newRow("directory") << QStringLiteral("%1/sub") << false;
    QTest::newRow("hidden file") << QStringLiteral("%1/.hidden") << false;
    QTest::newRow("star matches") << QStringLiteral("%1/*.txt") << true;
    QTest::newRow("question mark matches") << QStringLiteral("%1/norma?.txt") << true;
    QTest::newRow("file in a sub-folder matches") << QStringLiteral("%1/sub/*.log") << true;
    QTest::newRow("star matches nothing") << QStringLiteral("%1/*.csv") << false;
    QTest::newRow("star matches only a directory") << QStringLiteral("%1/su*") << false;
    QTest::newRow("star in a missing folder") << QStringLiteral("%1/nofolder/*.txt") << false;
    QTest::newRow("empty name") << QString() << false;
}

void TstCtrcls::fileExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    for (const char *file : {"normal.txt", ".hidden", "sub/run.log"}) {
        QFile f(dir.filePath(QString::fromLatin1(file)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }

    const QString path = name.isEmpty() ? name : name.arg(dir.path());
    QCOMPARE(ctrcls::FileExsits(path), exists);
}

void TstCtrcls::saveLogFileAppendsLines()
{
    ht::test::ProgramFolder folder(false);
    const QString log = folder.path(QStringLiteral("backup.log"));

    ctrcls::SaveLogFile(QStringLiteral("backup"), QStringLiteral("first"));
    ctrcls::SaveLogFile(QStringLiteral("backup"), QStringLiteral("second"));

    QFile file(log);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first\r\nsecond\r\n"));
    file.close();

    // Another run adds to the lines already there.
    ctrcls::SaveLogFile(QStringLiteral("backup"), QString());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("first\r\nsecond\r\n\r\n"));
}

void TstCtrcls::httpPage_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("withLength");
    QTest::addColumn<QString>("body");

    const QString page = QStringLiteral("<html>家庭收支记账：本月结余 1234.56 元</html>");
    QTest::newRow("HTTP/1.0, ends by closing") << QByteArray("HTTP/1.0 200 OK\r\n") << false << page;
    QTest::newRow("HTTP/1.1 with a length") << QByteArray("HTTP/1.1 200 OK\r\n") << true << page;
    QTest::newRow("error page counts as an answer")
        << QByteArray("HTTP/1.1 404 Not Found\r\n") << true << QStringLiteral("找不到网页");
    QTest::newRow("large page") << QByteArray("HTTP/1.0 200 OK\r\n") << false << page.repeated(3000);
    QTest::newRow("empty page") << QByteArray("HTTP/1.1 200 OK\r\n") << true << QString();
}

void TstCtrcls::httpPage()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, withLength);
    QFETCH(QString, body);

    const QByteArray encoded = gb2312(body);
    HttpStub server;
    server.response = head + "Content-Type: text/html\r\n";
    if (withLength)
        server.response += "Content-Length: " + QByteArray::number(encoded.size()) + "\r\n";
    server.response += "\r\n" + encoded;
    QVERIFY(server.listen());

    bool ok = false;
    const QString page = ctrcls::getHttpPage(server.url(), 5000, &ok);

    QVERIFY(ok);
    QCOMPARE(page, body);
    QVERIFY2(server.request.startsWith("GET /rates.htm "), server.request.constData());
    // Every fetch goes to the server, never to a cache along the way.
    QVERIFY2(server.request.contains("\r\nIf-Modified-Since: 0\r\n"), server.request.constData());
}

void TstCtrcls::httpPageNoAnswer_data()
{
    QTest::addColumn<int>("server"); // 0 silent, 1 hangs up, 2 nobody listening

    QTest::newRow("server never answers") << 0;
    QTest::newRow("server hangs up") << 1;
    QTest::newRow("connection refused") << 2;
}

void TstCtrcls::httpPageNoAnswer()
{
    QFETCH(int, server);

    HttpStub stub;
    stub.answerByClosing = server == 1;
    QString url;
    if (server == 2) {
        url = QStringLiteral("http://127.0.0.1:%1/rates.htm").arg(closedPort());
    } else {
        QVERIFY(stub.listen());
        url = stub.url();
    }

    const int timeoutMs = server == 0 ? 300 : 10000;
    QElapsedTimer clock;
    clock.start();
    bool ok = true;
    const QString page = ctrcls::getHttpPage(url, timeoutMs, &ok);
    const qint64 took = clock.elapsed();

    QVERIFY(page.isEmpty());
    QVERIFY(!ok);
    if (server == 0) {
        QVERIFY2(stub.request.startsWith("GET "), "the request never reached the server");
        QVERIFY2(took >= 250 && took < 3000, qPrintable(QString::number(took)));
    } else {
        // A dead server is known at once, without waiting out the time-out.
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
    }
}

void TstCtrcls::httpPageEmptyUrl()
{
    bool ok = true;
    QCOMPARE(ctrcls::getHttpPage(QString(), 300, &ok), QString());
    QVERIFY(!ok);
    QCOMPARE(ctrcls::getHttpPage(QString()), QString());
}

QTEST_GUILESS_MAIN(TstCtrcls)
#include "tst_ctrcls.moc"
