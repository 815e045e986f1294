#pragma once

#include "tests/support/TestSupport.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTemporaryDir>

#include <optional>

class QTcpServer;
class QTcpSocket;

namespace ht::test {

// How the test server answers for one path.
struct Served {
    QByteArray body{};
    int status = 0;            // 0: 200, or 206 for a range past the start
    bool tightLength = false;  // "Content-Length:N", no blank after the colon
    qint64 closeAfter = -1;    // body bytes sent before the server closes (or, with stall, goes silent)
    bool stall = false;
    QByteArray trailing{};     // sent after the body, beyond the announced length
};

// A small HTTP server on 127.0.0.1 that serves the update folder.
class UpdateServer : public QObject {
    Q_OBJECT
public:
    UpdateServer();
    quint16 port() const;
    QString setting() const; // "127.0.0.1:port", as update.ini names a server

    QHash<QByteArray, Served> files; // by path; any other path answers 404
    QList<QByteArray> requests;      // every request head, in order
    // With a split point (counted from the body's start, negative inside the head), an
    // answer goes out in two writes: the bytes before the point, then the rest when
    // sendRest() is called (after the client has read the first).
    std::optional<qsizetype> splitAt;
    void sendRest();
    // Stops and starts listening on the same port.
    void setListening(bool on);

private:
    void answer(QTcpSocket *s, const QByteArray &request);

    QTcpServer *m_server;
    quint16 m_port = 0;
    QPointer<QTcpSocket> m_waiting;
    bool m_stallAfterRest = false;
    QByteArray m_rest;
};

// A throwaway minisign key pair, made with the minisign tool.
class SigningKey {
public:
    SigningKey();
    QByteArray publicKey; // the base64 line
    // The .minisig text for content with that trusted comment; the old unhashed form when legacy.
    QByteArray sign(const QByteArray &content, const QByteArray &trustedComment, bool legacy = false) const;

private:
    QTemporaryDir m_dir;
};

// The one vendor key of a test run.
const SigningKey &vendorKey();
// A file's bytes; empty when it cannot be read.
QByteArray fileContents(const QString &file);

// A program folder for the updater: update.ini naming the test server and the installed
// version; temporary and running-copy folders of its own for this process and its children.
class UpdaterFolder : public ProgramFolder {
public:
    UpdaterFolder(const UpdateServer &server, const QString &installed, bool withDatabase = false);
    ~UpdaterFolder();
    QString tempFile() const;

private:
    QTemporaryDir m_temp;
    QTemporaryDir m_runtime;
    const QByteArray m_oldTemp = qgetenv("TMPDIR");
    const QByteArray m_oldRuntime = qgetenv("XDG_RUNTIME_DIR");
};

} // namespace ht::test
