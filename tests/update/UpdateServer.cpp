#include "tests/update/UpdateServer.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

namespace ht::test {

UpdateServer::UpdateServer() : m_server(new QTcpServer(this))
{
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        qFatal("the test server cannot listen");
    m_port = m_server->serverPort();
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server->nextPendingConnection()) {
            auto *request = new QByteArray;
            connect(s, &QObject::destroyed, this, [request] { delete request; });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QTcpSocket::readyRead, this, [this, s, request] {
                *request += s->readAll();
                if (request->endsWith("\r\n\r\n")) {
                    requests.append(*request);
                    answer(s, *request);
                }
            });
        }
    });
}

quint16 UpdateServer::port() const
{
    return m_port;
}

QString UpdateServer::setting() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

void UpdateServer::answer(QTcpSocket *s, const QByteArray &request)
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
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + (status == 206 ? " Partial Content" : " OK") + "\r\n";
    if (status == 206)
        head += "Content-Range: bytes " + QByteArray::number(from) + '-' + QByteArray::number(f.body.size() - 1) + '/'
            + QByteArray::number(f.body.size()) + "\r\n";
    head += (f.tightLength ? "Content-Length:" : "Content-Length: ") + QByteArray::number(part.size()) + "\r\n";
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

void UpdateServer::sendRest()
{
    if (!m_waiting)
        return;
    m_waiting->write(m_rest);
    if (!m_stallAfterRest)
        m_waiting->disconnectFromHost();
    m_waiting = nullptr;
}

void UpdateServer::setListening(bool on)
{
    const quint16 was = m_port;
    m_server->close();
    if (on && !m_server->listen(QHostAddress::LocalHost, was))
        qFatal("the test server cannot listen again");
}

SigningKey::SigningKey()
{
    const QString pub = m_dir.filePath(QStringLiteral("key.pub"));
    const int made = QProcess::execute(QStringLiteral(HT_MINISIGN),
                                       {QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"), pub,
                                        QStringLiteral("-s"), m_dir.filePath(QStringLiteral("key.sec"))});
    QFile file(pub);
    if (made != 0 || !file.open(QIODevice::ReadOnly))
        qFatal("minisign could not make a key pair");
    publicKey = file.readAll().split('\n').value(1);
}

QByteArray SigningKey::sign(const QByteArray &content, const QByteArray &trustedComment, bool legacy) const
{
    const QString path = m_dir.filePath(QStringLiteral("signed"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write the file to sign");
    file.close();
    QStringList args{QStringLiteral("-S"), QStringLiteral("-s"), m_dir.filePath(QStringLiteral("key.sec")),
                     QStringLiteral("-m"), path, QStringLiteral("-t"), QString::fromUtf8(trustedComment)};
    if (legacy)
        args << QStringLiteral("-l");
    QFile::remove(path + QStringLiteral(".minisig"));
    if (QProcess::execute(QStringLiteral(HT_MINISIGN), args) != 0)
        qFatal("minisign could not sign");
    QFile sig(path + QStringLiteral(".minisig"));
    sig.open(QIODevice::ReadOnly);
    return sig.readAll();
}

const SigningKey &vendorKey()
{
    static const SigningKey key;
    return key;
}

QByteArray fileContents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

UpdaterFolder::UpdaterFolder(const UpdateServer &server, const QString &installed, bool withDatabase)
    : ProgramFolder(withDatabase)
{
    QFile ini(path(QStringLiteral("update.ini")));
    if (!ini.open(QIODevice::WriteOnly)
        || ini.write("[config]\r\nVersion=" + installed.toUtf8() + "\r\nserver=" + server.setting().toLatin1() + "\r\n") < 0)
        qFatal("cannot write update.ini");
    QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TMPDIR", m_temp.path().toUtf8());
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
}

UpdaterFolder::~UpdaterFolder()
{
    const auto restore = [](const char *name, const QByteArray &old) {
        old.isNull() ? qunsetenv(name) : qputenv(name, old);
    };
    restore("TMPDIR", m_oldTemp);
    restore("XDG_RUNTIME_DIR", m_oldRuntime);
}

QString UpdaterFolder::tempFile() const
{
    return m_temp.filePath(QStringLiteral("pursewick.tmp"));
}

} // namespace ht::test
