// The updater's download of a 100 MB program file from a server on this machine:
// throughput, and how much the updater's memory grows while the body streams to disk.
#include "update/Download.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace ht::update;

namespace {
constexpr qint64 fileBytes = 100LL * 1024 * 1024;
constexpr qint64 blockBytes = 1024 * 1024;

// Resident memory of this process, in bytes.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

// Answers every request with the whole file, produced block by block as the socket drains,
// so the server itself holds a block or two, never the file.
class LocalServer : public QTcpServer {
public:
    QByteArray block = QByteArray(blockBytes, 'u');
    void incomingConnection(qintptr handle) override
    {
        auto *s = new QTcpSocket(this);
        s->setSocketDescriptor(handle);
        auto *sent = new qint64(0);
        connect(s, &QObject::destroyed, [sent] { delete sent; });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        const auto more = [this, s, sent] {
            while (*sent < fileBytes && s->bytesToWrite() < 2 * blockBytes) {
                s->write(block);
                *sent += blockBytes;
            }
            if (*sent >= fileBytes && s->bytesToWrite() == 0)
                s->disconnectFromHost();
        };
        connect(s, &QTcpSocket::readyRead, s, [s, more] {
            if (!s->readAll().contains("\r\n\r\n"))
                return;
            s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(fileBytes) + "\r\n\r\n");
            more();
        });
        connect(s, &QTcpSocket::bytesWritten, s, more);
    }
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QThread serverThread;
    LocalServer server;
    server.moveToThread(&serverThread);
    serverThread.start();
    quint16 port = 0;
    QMetaObject::invokeMethod(
        &server,
        [&] {
        server.listen(QHostAddress::LocalHost, 0);
        port = server.serverPort();
        },
        Qt::BlockingQueuedConnection);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pursewick.tmp"));
    Download download(Server{QStringLiteral("127.0.0.1"), port}, file);
    const qint64 before = residentBytes();
    qint64 peak = before;
    QObject::connect(&download, &Download::progress, [&] { peak = std::max(peak, residentBytes()); });
    QObject::connect(&download, &Download::finished, &app, &QCoreApplication::quit);
    QObject::connect(&download, &Download::failed, &app, [&](const QString &why) {
        std::fprintf(stderr, "download failed: %s\n", qPrintable(why));
        app.exit(1);
    });

    QElapsedTimer clock;
    clock.start();
    download.start();
    const int rc = app.exec();
    const double seconds = clock.nsecsElapsed() / 1e9;
    QMetaObject::invokeMethod(
        &server, [&] { server.close(); }, Qt::BlockingQueuedConnection);
    serverThread.quit();
    serverThread.wait();
    if (rc != 0 || QFile(file).size() != fileBytes)
        return 1;

    std::printf("download_bytes=%lld\n", fileBytes);
    std::printf("download_mb_s=%.0f\n", double(fileBytes) / (1024.0 * 1024.0) / seconds);
    std::printf("download_rss_growth_mb=%.1f\n", double(peak - before) / (1024.0 * 1024.0));
    return 0;
}
