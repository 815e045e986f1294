#pragma once

#include "update/HttpHead.h"
#include "update/UpdateRules.h"

#include <QFile>
#include <QObject>

class QTcpSocket;
class QTimer;

namespace ht::update {

// Fetches the program file into the temporary file with the updater's own request, as
// the body arrives (memory stays flat however big the file is). A stop keeps what has
// arrived; the next start asks for the rest.
class Download : public QObject {
    Q_OBJECT
public:
    Download(const Server &server, const QString &filePath, QObject *parent = nullptr);

    QTcpSocket *socket() const { return m_socket; }
    // Connects and sends the request from the first byte not yet in the file.
    void start();
    // Closes the connection; the file and the counts stay for the next start.
    void stop();
    // Forgets what was fetched and removes the file.
    void discard();

    qint64 total() const { return m_total; }
    qint64 received() const { return m_received; }
    // The next byte's 1-based place in the file once the body has begun, as shown.
    qint64 position() const { return m_bodyBegun ? m_received + 1 : 0; }
    QString filePath() const { return m_file.fileName(); }

    int connectTimeoutMs = 2000;
    // No byte for this long while the answer is under way: the server is given up.
    int stallTimeoutMs = 30000;

signals:
    void progress();
    void connectFailed();
    void notFound();
    // The answer cannot be used or stopped short; the text says why, for the status line.
    void failed(const QString &why);
    // Every byte of the file is in place and the file closed.
    void finished();

private:
    void onConnected();
    void onReadyRead();
    void onDisconnected();
    bool takeHead(const ResponseHead &head);
    bool writeBody(const char *data, qint64 size);
    void fail(const QString &why);

    Server m_server;
    QTcpSocket *m_socket;
    QTimer *m_connectTimer;
    QTimer *m_stallTimer;
    QFile m_file;
    ResponseHeadReader m_head;
    qint64 m_total = 0;
    qint64 m_received = 0;
    bool m_bodyBegun = false;
    bool m_active = false; // an answer is awaited or under way
};

} // namespace ht::update
