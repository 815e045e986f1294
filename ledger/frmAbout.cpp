#include "ledger/frmAbout.h"

#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/Program.h"
#include "foundation/Version.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace ht {

namespace {

const QColor linkRest(0, 0, 255);
const QColor linkHover(255, 0, 0);

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

QFrame *rule(QWidget *parent, const QString &name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于 ") + QString::fromLatin1(program::title));
    const QIcon ownerIcon = parent ? parent->window()->windowIcon() : QIcon();
    setWindowIcon(ownerIcon.isNull() ? icon(QStringLiteral("app")) : ownerIcon);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    // Moves over the bare surface put both addresses back to blue.
    setMouseTracking(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(icon(QStringLiteral("app")).pixmap(56, 56));
    picIcon->setFixedSize(56, 56);

    lblTitle = new QLabel(QString::fromLatin1(program::title), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(QStringLiteral("版本 ") + program::versionText(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    // A long path is shortened in its middle to fit; the tip shows it whole.
    const QString dataFolder = QStringLiteral("数据文件夹：") + QDir::toNativeSeparators(program::dir());
    lblDataFolder = new QLabel(this);
    lblDataFolder->setObjectName(QStringLiteral("lblDataFolder"));
    lblDataFolder->setText(
        lblDataFolder->fontMetrics().elidedText(dataFolder, Qt::ElideMiddle, clientSize.width() - 28));
    lblDataFolder->setToolTip(dataFolder);
    lblDataFolder->setAccessibleName(dataFolder);

    lblDescription = new QLabel(QStringLiteral("谨此软件献给每一位持家、爱家，善于理财的人"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    m_mail = linkLabel(QStringLiteral("Label2"), QString::fromUtf8(build::vendorEmail));
    m_web = linkLabel(QStringLiteral("Label3"),
                      QString::fromUtf8(build::vendorName) + QLatin1Char(' ') + QString::fromUtf8(build::vendorWeb));

    Line1 = rule(this, QStringLiteral("Line1"));
    Line1_2 = rule(this, QStringLiteral("Line1_2"));

    lblDisclaimer = new QLabel(QStringLiteral("本软件仅供个人和家庭使用，不得用于商业用途。"), this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("确定"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setMinimumSize(81, 27);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    trimWhenClosed(this);

    auto *texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(4);
    texts->addWidget(lblDescription);
    texts->addSpacing(4);
    texts->addWidget(m_mail, 0, Qt::AlignLeft);
    texts->addWidget(m_web, 0, Qt::AlignLeft);
    texts->addStretch();

    auto *top = new QHBoxLayout;
    top->setSpacing(14);
    top->addWidget(picIcon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdOK);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 10);
    layout->addLayout(top, 1);
    layout->addWidget(lblDataFolder);
    layout->addWidget(Line1);
    layout->addWidget(lblDisclaimer);
    layout->addWidget(Line1_2);
    layout->addLayout(bottom);

    setFixedSize(clientSize);
}

QLabel *frmAbout::linkLabel(const QString &name, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    // Only the text itself reacts to the mouse, not the rest of the row.
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    label->setCursor(Qt::PointingHandCursor);
    QFont f = label->font();
    f.setUnderline(true);
    label->setFont(f);
    setTextColor(label, linkRest);
    label->installEventFilter(this);
    return label;
}

void frmAbout::setHovered(QLabel *label)
{
    for (QLabel *link : {m_mail, m_web})
        setTextColor(link, link == label ? linkHover : linkRest);
}

QPoint frmAbout::placement(const QRect &screen, const QSize &client)
{
    const int left = screen.left() + (screen.width() - client.width()) / 2;
    const int top = screen.top() + (screen.height() - client.height()) / 2 - 84;
    return {left, qMax(top, screen.top())};
}

bool frmAbout::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label != m_mail && label != m_web)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter: setHovered(label); break;
    case QEvent::MouseMove:
        setHovered(label);
        return true; // a drag passed on to the dialog would count as a move over its bare surface
    case QEvent::Leave:
        // Leaving straight out of the window never reaches the dialog's own handler.
        setTextColor(label, linkRest);
        break;
    case QEvent::MouseButtonRelease:
        if (label == m_web && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            QDesktopServices::openUrl(QUrl(QString::fromUtf8(build::vendorWeb)));
        break;
    default: break;
    }
    return QDialog::eventFilter(watched, event);
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(nullptr);
    QDialog::mouseMoveEvent(event);
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    QWidget *owner = parentWidget() ? parentWidget()->window() : this;
    if (QScreen *s = owner->screen())
        move(placement(s->availableGeometry(), size()));
}

} // namespace ht
