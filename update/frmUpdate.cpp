#include "update/frmUpdate.h"

#include "update/Download.h"
#include "update/Install.h"
#include "update/Minisign.h"

#include "foundation/DialogKit.h"
#include "foundation/HttpFetch.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/SingleInstance.h"
#include "foundation/Version.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>

namespace ht::update {
namespace {
const QString systemTitle = QStringLiteral("系统提示");
const QString noKeyText = QStringLiteral("本程序没有可用的升级签名公钥，无法验证升级文件，未升级。");
} // namespace

frmUpdate::frmUpdate(const QByteArray &publicKey, QWidget *parent) : QDialog(parent), m_publicKey(publicKey)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QString::fromLatin1(program::title) + QStringLiteral(" 在线升级"));
    setWindowIcon(icon("app"));

    Frame1 = named(new QGroupBox(this), "Frame1");
    Label1 = named(new QLabel(QStringLiteral("检测更新……"), Frame1), "Label1");
    Label1->setMinimumWidth(360);
    ProgressBar1 = named(new QProgressBar(Frame1), "ProgressBar1");
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setValue(0);
    auto *inFrame = new QVBoxLayout(Frame1);
    inFrame->addWidget(Label1);
    inFrame->addWidget(ProgressBar1);

    Command1 = dialogButton(this, "Command1", QStringLiteral("升级"));
    Command2 = dialogButton(this, "Command2", QStringLiteral("取消"));
    BtnCancel = dialogButton(this, "BtnCancel", QStringLiteral("退出"));
    Command1->setIcon(icon("update"));
    Command2->setIcon(icon("close"));
    BtnCancel->setIcon(icon("exit"));
    // Nothing to download before the check has offered a version.
    setButtons(false, false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {Command1, Command2, BtnCancel}) {
        pressOnEnter(b);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Frame1, 1);
    layout->addLayout(buttons);

    // Where the program lives and the version installed, beside the program.
    m_ini.SpecifyIni(program::pathIn(QStringLiteral("update.ini")));
    m_server = parseServer(m_ini.ReadString(QStringLiteral("config"), QStringLiteral("server"), 256),
                           QString::fromLatin1(build::updateHost));

    Winsock1 = named(new QTcpSocket(this), "Winsock1");
    m_download = new Download(m_server, tempFile(), this);
    Winsock2 = named(m_download->socket(), "Winsock2");
    connect(m_download, &Download::progress, this, &frmUpdate::showProgress);
    connect(m_download, &Download::connectFailed, this, [this] { Label1->setText(QStringLiteral("网络连接错误")); });
    connect(m_download, &Download::notFound, this, [this] {
        showMessage(this, QStringLiteral("没找到资源文件"), QStringLiteral("提示"), MsgButtons::Ok, MsgIcon::Critical);
    });
    connect(m_download, &Download::failed, this, [this](const QString &why) {
        Label1->setText(why);
        setButtons(true, false);
        Command1->setFocus();
    });
    connect(m_download, &Download::finished, this, [this] {
        Label1->setText(QStringLiteral("下载完毕！"));
        setButtons(false, false);
        showMessage(this, QStringLiteral("下载完成，点击确定进行更新升级"), QStringLiteral("更新提示"), MsgButtons::Ok,
                    MsgIcon::Information);
        installUpdate();
    });

    connect(Command1, &QPushButton::clicked, this, &frmUpdate::startDownload);
    connect(Command2, &QPushButton::clicked, this, [this] {
        setButtons(true, false);
        Command1->setFocus();
        m_download->stop();
    });
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);

    Timer1 = named(new QTimer(this), "Timer1");
    connect(Timer1, &QTimer::timeout, this, &frmUpdate::checkUpdate);
    Timer1->start(50);
}

frmUpdate::~frmUpdate() = default;

void frmUpdate::setButtons(bool upgrade, bool cancel)
{
    Command1->setEnabled(upgrade);
    Command2->setEnabled(cancel);
}

void frmUpdate::checkUpdate()
{
    // The check lets events through while it waits; a tick meanwhile must not start another.
    if (m_checking)
        return;
    m_checking = true;
    Timer1->stop();
    QElapsedTimer began;
    began.start();
    const bool answered = runCheck();
    m_checking = false;
    // Tried again, but no more often than the server is given to answer.
    if (!answered && isVisible())
        Timer1->start(int(std::max<qint64>(50, reachTimeoutMs - began.elapsed())));
}

bool frmUpdate::runCheck()
{
    const QString installed = m_ini.ReadString(QStringLiteral("config"), QStringLiteral("version"), 255);
    if (!serverAnswers()) {
        Label1->setText(QStringLiteral("网络无法连接"));
        setButtons(false, false);
        return false;
    }
    bool fetched = false;
    const QByteArray list = getHttpBytes(m_server.url(QLatin1String(serverFolder) + QStringLiteral("update.xml")),
                                         15000, &fetched);
    const std::optional<QString> offered = fetched ? offeredVersion(list) : std::nullopt;
    if (!offered || !isVisible())
        return false;
    m_offered = *offered;
    if (m_offered.isEmpty()) {
        Label1->setText(QStringLiteral("服务器上的升级列表有误，无法升级。"));
        setButtons(false, false);
    } else if (isNewer(m_offered, installed)) {
        Label1->setText(QStringLiteral("最新版本：") + m_offered + QStringLiteral("  当前版本：") + installed);
        setButtons(true, false);
        Command1->setFocus();
    } else {
        Label1->setText(QStringLiteral("当前已是最新版本，无需更新！"));
        setButtons(false, false);
    }
    return true;
}

bool frmUpdate::serverAnswers()
{
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(Winsock1, &QTcpSocket::connected, &loop, &QEventLoop::quit);
    connect(Winsock1, &QTcpSocket::errorOccurred, &loop, &QEventLoop::quit);
    Winsock1->connectToHost(m_server.host, m_server.port);
    limit.start(reachTimeoutMs);
    if (Winsock1->state() != QAbstractSocket::ConnectedState)
        loop.exec();
    const bool answers = Winsock1->state() == QAbstractSocket::ConnectedState;
    Winsock1->abort();
    disconnect(Winsock1, nullptr, &loop, nullptr);
    return answers;
}

void frmUpdate::startDownload()
{
    // Nothing fetched could be verified, so nothing is fetched.
    if (!readMinisignKey(m_publicKey))
        return refuse(noKeyText);
    ProgressBar1->setValue(0);
    setButtons(false, true);
    Command2->setFocus();
    m_download->start();
}

void frmUpdate::showProgress()
{
    // The bar counts in steps that fit its range, however large the file.
    const qint64 total = m_download->total() + 1;
    const qint64 step = total / INT_MAX + 1;
    ProgressBar1->setRange(0, int(total / step));
    ProgressBar1->setValue(int(m_download->position() / step));
    Label1->setText(progressText(m_download->position(), m_download->total()));
}

QString frmUpdate::verifyDownload()
{
    const std::optional<MinisignKey> key = readMinisignKey(m_publicKey);
    if (!key)
        return noKeyText;
    if (QFileInfo(m_download->filePath()).size() != m_download->total())
        return QStringLiteral("升级文件不完整，未升级。");
    bool fetched = false;
    int status = 0;
    const QByteArray text = getHttpBytes(
        m_server.url(QLatin1String(serverFolder) + QLatin1String(programFile) + QStringLiteral(".minisig")), 15000,
        &fetched, &status);
    if (!fetched || status != 200)
        return QStringLiteral("无法取得升级文件的签名，未升级。");
    const std::optional<MinisignSignature> sig = readMinisignSignature(text);
    if (!sig)
        return QStringLiteral("升级文件的签名格式有误，未升级。");
    switch (verifyMinisign(*key, *sig, m_download->filePath())) {
    case Verdict::Good: break;
    case Verdict::WrongKey: return QStringLiteral("升级文件不是用本程序认可的密钥签名的，未升级。");
    case Verdict::BadSignature: return QStringLiteral("升级文件与签名不符，可能已被篡改，未升级。");
    case Verdict::Unreadable: return QStringLiteral("无法读取升级文件，未升级。");
    }
    if (!namesVersion(sig->trustedComment, m_offered))
        return QStringLiteral("升级文件的签名不是版本 ") + m_offered + QStringLiteral(" 的，未升级。");
    return {};
}

void frmUpdate::refuse(const QString &text)
{
    // Nothing unverified or half-installed stays behind; a new "升级" starts afresh.
    m_download->discard();
    Label1->setText(text);
    ProgressBar1->setValue(0);
    setButtons(true, false);
    showMessage(this, text, systemTitle, MsgButtons::Ok, MsgIcon::Critical);
    Command1->setFocus();
}

void frmUpdate::installUpdate()
{
    const QString refusal = verifyDownload();
    // Left with "退出" while the signature was on its way.
    if (!isVisible())
        return m_download->discard();
    if (!refusal.isEmpty())
        return refuse(refusal);

    // Only this user's running copy answers on its socket: no other program is ever asked.
    switch (SingleInstance().closeRunningCopy(5000, programEndMs)) {
    case SingleInstance::Closed::NotRunning:
    case SingleInstance::Closed::Ended: break;
    case SingleInstance::Closed::NoAnswer:
        return refuse(QStringLiteral("无法关闭正在运行的记账程序，请先退出它再升级。"));
    case SingleInstance::Closed::StillRunning: return refuse(QStringLiteral("记账程序没有退出，请先退出它再升级。"));
    }
    if (!isVisible())
        return m_download->discard();

    const QString target = program::pathIn(QLatin1String(programFile));
    QString why;
    if (!replaceProgram(m_download->filePath(), target, &why))
        return refuse(QStringLiteral("升级失败：") + why + QStringLiteral("。原程序未改动。"));
    m_download->discard();
    const QString installed = m_ini.ReadString(QStringLiteral("config"), QStringLiteral("version"), 255);
    const auto undo = [&](const QString &text) {
        show();
        restoreProgram(target);
        m_ini.WriteString(QStringLiteral("config"), QStringLiteral("version"), installed);
        refuse(text + QStringLiteral("已恢复原程序。"));
    };
    if (!m_ini.WriteString(QStringLiteral("config"), QStringLiteral("version"), m_offered))
        return undo(QStringLiteral("升级失败：无法写入 update.ini。"));

    hide();
    if (!QProcess::startDetached(target, {}, program::dir()))
        return undo(QStringLiteral("新版程序无法启动，"));
    QFile::remove(keptOldFile(target));
    accept();
}

void frmUpdate::closeEvent(QCloseEvent *event)
{
    Winsock1->abort();
    trimWorkingSet();
    QDialog::closeEvent(event);
}

} // namespace ht::update
