#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace ht {

// One running copy per system user. The first copy listens on a local socket in a
// folder only this user can write; a later start asks it to come to the front and
// ends. Nothing is learnt from the stored process id or window id, so a stale value
// can reach no other program.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(QString name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // The socket in the user's runtime folder; empty when the user has none.
    static QString defaultName();

    enum class Claim { First, Running, Failed };
    // First: this process is now the running copy. Running: another copy answers.
    // Failed: the check itself could not be made; why says so.
    Claim claim(QString *why = nullptr);
    // Sends a request ("raise") to the running copy; true when it answered. A close goes
    // through closeRunningCopy, which confirms it.
    bool send(const QByteArray &request, int timeoutMs = 3000);

    enum class Closed { NotRunning, Ended, NoAnswer, StillRunning };
    // Asks the running copy to close and waits until its process has gone (its end closes
    // the connection). The caller's window keeps taking events while this waits.
    // NoAnswer: a copy is there but did not take the request within answerMs (it then never
    // acts on it); StillRunning: it took it but had not ended after endMs.
    Closed closeRunningCopy(int answerMs, int endMs);

signals:
    void raiseRequested();
    void closeRequested();

private:
    void onConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
};

} // namespace ht
