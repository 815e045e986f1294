#include "update/Download.h"

#include <QTcpSocket>
#include <QTimer>

namespace ht::update {
namespace {
constexpr qint64 chunkBytes = 256 * 1024;
}

Download::Download(const Server &server, const QString &filePath, QObject *parent)
    : QObject(parent), m_server(server), m_socket(new QTcpSocket(this)), m_connectTimer(new QTimer(this)),
      m_stallTimer(new QTimer(this)), m_file(filePath)
{
    // Taken from the system no faster than it goes to the disk.
    m_socket->setReadBufferSize(4 * chunkBytes);
    m_connectTimer->setSingleShot(true);
    m_stallTimer->setSingleShot(true);
    connect(m_socket, &QTcpSocket::connected, this, &Download::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &Download::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &Download::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        // Refused or unknown host while connecting: no need to sit out the time-out.
        if (m_active && m_connectTimer->isActive()) {
            stop();
            emit connectFailed();
        } else if (m_active && m_socket->state() == QAbstractSocket::UnconnectedState) {
            onDisconnected();
        }
    });
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        stop();
        emit connectFailed();
    });
    connect(m_stallTimer, &QTimer::timeout, this, [this] { fail(QStringLiteral("网络连接超时，下载未完成")); });
}

void Download::start()
{
    stop();
    m_head.reset();
    m_active = true;
    m_connectTimer->start(connectTimeoutMs);
    m_socket->connectToHost(m_server.host, m_server.port);
}

void Download::stop()
{
    m_active = false;
    // What has come so far is in the file, for whoever looks, and for the next start.
    if (m_file.isOpen())
        m_file.flush();
    m_connectTimer->stop();
    m_stallTimer->stop();
    m_socket->abort();
}

void Download::discard()
{
    stop();
    m_file.close();
    QFile::remove(m_file.fileName());
    m_total = 0;
    m_received = 0;
    m_bodyBegun = false;
}

void Download::fail(const QString &why)
{
    stop();
    emit failed(why);
}

void Download::onConnected()
{
    m_connectTimer->stop();
    m_stallTimer->start(stallTimeoutMs);
    m_socket->write(downloadRequest(m_server, m_received));
}

void Download::onReadyRead()
{
    if (!m_active)
        return;
    m_stallTimer->start(stallTimeoutMs);
    while (m_active && m_socket->bytesAvailable() > 0) {
        const QByteArray chunk = m_socket->read(chunkBytes);
        qsizetype bodyStart = 0;
        if (m_head.state() == ResponseHeadReader::State::NeedMore) {
            switch (m_head.feed(chunk, &bodyStart)) {
            case ResponseHeadReader::State::NeedMore: continue;
            case ResponseHeadReader::State::Bad: return fail(QStringLiteral("服务器应答有误，下载未完成"));
            case ResponseHeadReader::State::Done:
                if (!takeHead(m_head.head()))
                    return;
                break;
            }
        }
        if (!writeBody(chunk.constData() + bodyStart, chunk.size() - bodyStart))
            return;
    }
}

void Download::onDisconnected()
{
    // What the server sent before it closed is still to be read.
    onReadyRead();
    if (m_active)
        fail(QStringLiteral("网络连接已断开，下载未完成"));
}

bool Download::takeHead(const ResponseHead &head)
{
    if (head.status == 404) {
        stop();
        emit notFound();
        return false;
    }
    if (head.status != 200 && head.status != 206) {
        fail(QStringLiteral("服务器应答有误（HTTP %1），下载未完成").arg(head.status));
        return false;
    }
    const bool partial = head.status == 206;
    const qint64 first = partial ? head.rangeFirst : 0;
    const qint64 size = !partial                ? head.contentLength
        : head.rangeSize >= 0                   ? head.rangeSize
        : first >= 0 && head.contentLength >= 0 ? first + head.contentLength
                                                : -1;
    if (first < 0 || size < 0) {
        fail(QStringLiteral("服务器没有给出文件长度，下载未完成"));
        return false;
    }
    if (first == 0) {
        // The whole file from its start: whatever the file held before goes.
        if ((!m_file.isOpen() && !m_file.open(QIODevice::ReadWrite)) || !m_file.resize(0)) {
            fail(QStringLiteral("无法写入临时文件：") + m_file.fileName());
            return false;
        }
        m_received = 0;
        m_total = size;
    } else if (!m_bodyBegun || !m_file.isOpen() || first != m_received) {
        fail(QStringLiteral("服务器应答有误，下载未完成"));
        return false;
    } else if (size != m_total) {
        // Another file than the one begun: its first part cannot be used.
        discard();
        emit failed(QStringLiteral("服务器上的文件已更改，请重新升级"));
        return false;
    }
    m_bodyBegun = true;
    m_file.seek(m_received);
    return true;
}

bool Download::writeBody(const char *data, qint64 size)
{
    // Bytes past the announced length are not the file's.
    const qint64 n = std::min(size, m_total - m_received);
    if (n > 0 && m_file.write(data, n) != n) {
        fail(QStringLiteral("无法写入临时文件：") + m_file.fileName());
        return false;
    }
    m_received += n;
    if (m_received < m_total) {
        emit progress();
        return true;
    }
    // Complete: the file is closed before anyone hears of it.
    stop();
    const bool flushed = m_file.flush();
    m_file.close();
    emit progress();
    if (!flushed) {
        emit failed(QStringLiteral("无法写入临时文件：") + m_file.fileName());
        return false;
    }
    emit finished();
    return false;
}

} // namespace ht::update
