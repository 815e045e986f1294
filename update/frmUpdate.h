#pragma once

#include "foundation/clsRWIni.h"
#include "update/UpdateRules.h"

#include <QDialog>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTcpSocket;
class QTimer;

namespace ht::update {

class Download;

// The updater's one window: checks for a newer version, downloads it, verifies it
// against the vendor's key, closes the running bookkeeping program, puts the new file in
// its place and starts it.
class frmUpdate : public QDialog {
    Q_OBJECT
public:
    // publicKey: the vendor's minisign public key (its base64 line), set at build time.
    explicit frmUpdate(const QByteArray &publicKey, QWidget *parent = nullptr);
    ~frmUpdate() override;

    // One check: is the server there, what does its list offer. Never two at once.
    void checkUpdate();
    // Fetches the offered version; without a key to verify it with, says so instead.
    void startDownload();
    // Verifies the downloaded file, closes the running program, installs and restarts.
    void installUpdate();

    Download &download() const { return *m_download; }
    const Server &server() const { return m_server; }

    // How long the server and the bookkeeping program are given.
    int reachTimeoutMs = 2000;
    int programEndMs = 20000;

    QGroupBox *Frame1;
    QProgressBar *ProgressBar1;
    QLabel *Label1;
    QPushButton *Command1;
    QPushButton *Command2;
    QPushButton *BtnCancel;
    QTimer *Timer1;
    QTcpSocket *Winsock1;
    QTcpSocket *Winsock2;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // True when the check came to an answer (an update offered, or none needed).
    bool runCheck();
    bool serverAnswers();
    void showProgress();
    // A verified file that fits the offered version; otherwise the refusal's text.
    QString verifyDownload();
    void refuse(const QString &text);
    void setButtons(bool upgrade, bool cancel);

    QByteArray m_publicKey;
    clsRWIni m_ini;
    Server m_server;
    Download *m_download;
    QString m_offered;
    bool m_checking = false;
};

} // namespace ht::update
