#pragma once

#include "tests/support/TestSupport.h"

#include <QFile>
#include <QHash>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <optional>

namespace ht::test {

inline const QByteArray listPath = "/down/update/update.xml";
inline const QByteArray programPath = "/down/update/pursewick";

// How the test server answers for one path.
struct Served {
    QByteArray body{};
    int status = 0;         // 0: 200, or 206 for a range past the start
    qint64 closeAfter = -1; // body bytes sent before the server closes (or, with stall, goes silent)
    bool stall = false;
    QByteArray trailing{}; // sent after the body, beyond the announced length
};

// Bytes that differ from their neighbours, so a piece out of place shows.
inline QByteArray patterned(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// A small HTTP server on 127.0.0.1 that serves the update folder.
class UpdateServer : public QObject {
public:
    UpdateServer()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            qFatal("the test server cannot listen");
        m_port = m_server.serverPort();
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, this, [this, s, request = QByteArray()]() mutable {
                    request += s->readAll();
                    if (request.endsWith("\r\n\r\n")) {
                        requests.append(request);
                        answer(s, request);
                    }
                });
            }
        });
    }
    // "127.0.0.1:port", as update.ini names a server.
    QString setting() const { return QStringLiteral("127.0.0.1:%1").arg(m_port); }

    // Offers a version in the update list, with the program file and its signature when given.
    void offer(const QByteArray &version, const QByteArray &program = {}, const QByteArray &signature = {})
    {
        files[listPath] = {.body = "<files><version>" + version + "</version></files>"};
        if (!program.isNull())
            files[programPath] = {.body = program};
        if (!signature.isNull())
            files[programPath + ".minisig"] = {.body = signature};
    }

    QHash<QByteArray, Served> files; // by path; any other path answers 404
    QList<QByteArray> requests;      // every request head, in order
    // With a split point (counted from the body's start, negative inside the head), an
    // answer goes out in two writes: the bytes before the point, then the rest when
    // sendRest() is called (after the client has read the first).
    std::optional<qsizetype> splitAt;
    void sendRest()
    {
        if (!m_waiting)
            return;
        m_waiting->write(m_rest);
        if (!m_stallAfterRest)
            m_waiting->disconnectFromHost();
        m_waiting = nullptr;
    }
    // Stops and starts listening on the same port.
    void setListening(bool on)
    {
        m_server.close();
        if (on && !m_server.listen(QHostAddress::LocalHost, m_port))
            qFatal("the test server cannot listen again");
    }

private:
    void answer(QTcpSocket *s, const QByteArray &request)
    {
        const QByteArray path = request.mid(4, request.indexOf(' ', 4) - 4);
        if (!files.contains(path)) {
            s->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found");
            return s->disconnectFromHost();
        }
        const Served &f = files[path];
        static const QRegularExpression rangeLine(QStringLiteral("\r\nRange: ?bytes=(\\d+)-"));
        const QRegularExpressionMatch range = rangeLine.match(QString::fromLatin1(request));
        const qint64 from = range.hasMatch() ? range.captured(1).toLongLong() : 0;
        const int status = f.status ? f.status : from > 0 ? 206 : 200;
        const QByteArray part = status == 206 ? f.body.mid(from) : f.body;
        QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status == 206 ? " Partial Content" : " OK")
            + "\r\n";
        if (status == 206)
            head += "Content-Range: bytes " + QByteArray::number(from) + '-' + QByteArray::number(f.body.size() - 1)
                + '/' + QByteArray::number(f.body.size()) + "\r\n";
        head += "Content-Length: " + QByteArray::number(part.size()) + "\r\n";
        head += "Connection: close\r\n\r\n";
        QByteArray all = head + (f.closeAfter >= 0 ? part.left(f.closeAfter) : part) + f.trailing;
        if (splitAt) {
            const qsizetype at = std::max<qsizetype>(1, head.size() + *splitAt);
            m_rest = all.mid(at);
            all.truncate(at);
            m_waiting = s;
            m_stallAfterRest = f.stall;
        }
        s->write(all);
        if (!splitAt && !f.stall)
            s->disconnectFromHost();
    }

    QTcpServer m_server;
    quint16 m_port = 0;
    QPointer<QTcpSocket> m_waiting;
    bool m_stallAfterRest = false;
    QByteArray m_rest;
};

// A throwaway minisign key pair, made with the minisign tool.
class SigningKey {
public:
    SigningKey()
    {
        if (minisign({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), path("key.pub")}) != 0)
            qFatal("minisign could not make a key pair");
        publicKey = fileContents(path("key.pub")).split('\n').value(1);
    }
    QByteArray publicKey; // the base64 line
    // The .minisig text for content with that trusted comment; the old unhashed form when legacy.
    QByteArray sign(const QByteArray &content, const QByteArray &trustedComment, bool legacy = false) const
    {
        writeFile(path("signed"), content);
        QFile::remove(path("signed.minisig"));
        QStringList args{QStringLiteral("-S"), QStringLiteral("-m"), path("signed"), QStringLiteral("-t"),
                         QString::fromUtf8(trustedComment)};
        if (minisign(legacy ? args << QStringLiteral("-l") : args) != 0)
            qFatal("minisign could not sign");
        return fileContents(path("signed.minisig"));
    }

private:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    int minisign(QStringList args) const
    {
        return QProcess::execute(QStringLiteral(HT_MINISIGN), args << QStringLiteral("-s") << path("key.sec"));
    }
    QTemporaryDir m_dir;
};

// The one vendor key of a test run.
inline const SigningKey &vendorKey()
{
    static const SigningKey key;
    return key;
}

// A program folder for the updater: update.ini naming the test server and the installed
// version; temporary, running-copy and settings folders of its own for this process and the
// programs it starts.
class UpdaterFolder : public ProgramFolder {
public:
    UpdaterFolder(const UpdateServer &server, const QString &installed, bool withDatabase = false)
        : ProgramFolder(withDatabase)
    {
        writeFile(path("update.ini"),
                  "[config]\r\nVersion=" + installed.toUtf8() + "\r\nserver=" + server.setting().toLatin1() + "\r\n");
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        setEnv("TMPDIR", m_temp.path());
        setEnv("XDG_RUNTIME_DIR", m_runtime.path());
        setEnv("XDG_CONFIG_HOME", path(".config"));
    }
    ~UpdaterFolder()
    {
        for (const auto &[name, old] : m_oldEnv)
            old.isNull() ? qunsetenv(name) : qputenv(name, old);
    }
    QString tempFile() const { return m_temp.filePath(QStringLiteral("pursewick.tmp")); }

private:
    void setEnv(const char *name, const QString &value)
    {
        m_oldEnv.append({name, qgetenv(name)});
        qputenv(name, value.toUtf8());
    }
    QTemporaryDir m_temp;
    QTemporaryDir m_runtime;
    QList<std::pair<const char *, QByteArray>> m_oldEnv;
};

} // namespace ht::test
