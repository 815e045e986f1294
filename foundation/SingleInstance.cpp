#include "foundation/SingleInstance.h"

#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>

#include <functional>

namespace ht {

SingleInstance::SingleInstance(QString name, QObject *parent) : QObject(parent), m_name(std::move(name))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    // Qt hands out this folder only when it belongs to the user and no one else may
    // enter it, so no other local user can plant a socket or a lock file there.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QString() : QDir(runtime).filePath(QStringLiteral("pursewick.instance"));
}

SingleInstance::Claim SingleInstance::claim(QString *why)
{
    const auto fail = [why](const QString &reason) {
        if (why)
            *why = reason;
        return Claim::Failed;
    };
    if (m_name.isEmpty())
        return fail(QStringLiteral("找不到只属于当前用户的运行文件夹。"));

    const auto answers = [this] {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        return probe.waitForConnected(1000);
    };

    // Two copies started at the same moment must not both become the first.
    const QString lockName = m_name + QStringLiteral(".lock");
    QLockFile lock(lockName);
    if (!lock.tryLock(5000)) {
        if (lock.error() != QLockFile::LockFailedError)
            return fail(QStringLiteral("无法创建文件：") + lockName);
        // A starting copy holds the lock only until its socket is open. Held longer with
        // nobody answering, it is stuck; ending quietly would leave the user no window.
        if (answers())
            return Claim::Running;
        return fail(QStringLiteral("文件已被锁定，但没有正在运行的副本应答：") + lockName);
    }

    if (answers())
        return Claim::Running;
    // Nobody answers: a socket file left by a crashed copy is stale.
    QLocalServer::removeServer(m_name);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onConnection);
    if (!m_server->listen(m_name))
        return fail(m_server->errorString());
    return Claim::First;
}

bool SingleInstance::send(const QByteArray &request, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

SingleInstance::Closed SingleInstance::closeRunningCopy(int answerMs, int endMs)
{
    QLocalSocket socket;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    bool woken = false;
    const auto wake = [&] {
        woken = true;
        loop.quit();
    };
    connect(&limit, &QTimer::timeout, &loop, wake);
    connect(&socket, &QLocalSocket::connected, &loop, wake);
    connect(&socket, &QLocalSocket::readyRead, &loop, wake);
    connect(&socket, &QLocalSocket::disconnected, &loop, wake);
    connect(&socket, &QLocalSocket::errorOccurred, &loop, wake);
    // Waits until done, the connection is gone or the time is up. A loop that returns
    // unwoken was ended from outside (this program is closing): it gives up at once.
    const auto waitFor = [&](const std::function<bool()> &done, int ms) {
        limit.start(ms);
        while (!done() && limit.isActive() && socket.state() != QLocalSocket::UnconnectedState) {
            woken = false;
            loop.exec();
            if (!woken)
                break;
        }
        return done();
    };

    socket.connectToServer(m_name);
    // No socket file, or one left by a copy that crashed: nobody is running.
    if (!waitFor([&] { return socket.state() == QLocalSocket::ConnectedState; }, answerMs))
        return socket.error() == QLocalSocket::ServerNotFoundError
                || socket.error() == QLocalSocket::ConnectionRefusedError
            ? Closed::NotRunning
            : Closed::NoAnswer;
    socket.write("close\n");
    if (!waitFor([&] { return socket.canReadLine(); }, answerMs) || socket.readLine().trimmed() != "ok")
        return Closed::NoAnswer;
    // Answered in time: only now may the copy close.
    socket.write("confirm\n");
    socket.flush();
    const bool ended = waitFor(
        [&] {
        socket.readAll();
        return socket.state() == QLocalSocket::UnconnectedState;
        },
        endMs);
    return ended ? Closed::Ended : Closed::StillRunning;
}

void SingleInstance::onConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A close waits for the asker's confirmation: one it gave up on while this copy was
        // busy is read late, with nobody left to confirm it, and never done.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, closeAsked = false]() mutable {
            while (socket->canReadLine()) {
                const QByteArray request = socket->readLine().trimmed();
                if (request == "raise")
                    emit raiseRequested();
                else if (request == "confirm" && closeAsked)
                    emit closeRequested();
                closeAsked = closeAsked || request == "close";
                if (request == "raise" || request == "close") {
                    socket->write("ok\n");
                    socket->flush();
                }
            }
        });
    }
}

} // namespace ht
