#include "backup/printpreviewDialog.h"

#include "backup/PreviewLayout.h"

#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/PrintChoice.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QGuiApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace ht {
namespace backup {
namespace {

constexpr double twipsPerPixel = 15.0;
constexpr int pageGap = 240; // twips between two pages

int px(int twips)
{
    return int(std::lround(twips / twipsPerPixel));
}

} // namespace

// The pages one below another; only those a paint event reaches are drawn.
class PageColumn : public QWidget {
public:
    PageColumn(const ListPrintout &printout, QWidget *parent) : QWidget(parent), m_printout(printout)
    {
        setObjectName(QStringLiteral("picTarget"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter p(this);
        p.fillRect(event->rect(), palette().color(QPalette::Dark));
        const double w = ListPrintout::pageWidth / twipsPerPixel;
        const double h = ListPrintout::pageHeight / twipsPerPixel;
        const double pitch = (ListPrintout::pageHeight + pageGap) / twipsPerPixel;
        const int first = std::max(0, int(event->rect().top() / pitch));
        for (int page = first; page < m_printout.pageCount(); ++page) {
            const QRectF sheet(0, page * pitch, w, h);
            if (sheet.top() > event->rect().bottom())
                break;
            p.fillRect(sheet, Qt::white);
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            p.translate(sheet.topLeft());
            p.scale(1 / twipsPerPixel, 1 / twipsPerPixel);
            m_printout.paintPage(p, page);
            p.restore();
        }
    }

private:
    const ListPrintout &m_printout;
};

} // namespace backup

printpreviewDialog::printpreviewDialog(backup::ListPrintout printout, QWidget *parent)
    : QDialog(parent), m_printout(std::move(printout))
{
    setObjectName(QStringLiteral("printpreviewDialog"));
    setWindowTitle(QStringLiteral("打印预览"));
    if (parent)
        setWindowIcon(parent->windowIcon());
    Command2 = named(new QPushButton(QStringLiteral("关闭"), this), "Command2");
    Command1 = named(new QPushButton(QStringLiteral("打印…"), this), "Command1");
    picScroll = named(new QWidget(this), "picScroll");
    // The pages take the focus and the keys that scroll them, as the window opens.
    picScroll->setFocusPolicy(Qt::StrongFocus);
    picScroll->setAccessibleName(QStringLiteral("预览页面"));
    picScroll->setAutoFillBackground(true);
    picScroll->setBackgroundRole(QPalette::Dark);
    picTarget = new backup::PageColumn(m_printout, picScroll);
    picTarget->resize(backup::px(backup::ListPrintout::pageWidth), backup::px(contentHeight()));
    hscScroll = named(new QScrollBar(Qt::Horizontal, picScroll), "hscScroll");
    vscScroll = named(new QScrollBar(Qt::Vertical, picScroll), "vscScroll");
    // The page is centred: there is nothing to scroll sideways.
    hscScroll->setEnabled(false);
    connect(vscScroll, &QScrollBar::valueChanged, this,
            [this](int v) { picTarget->move(picTarget->x(), backup::px(backup::PreviewLayout::topAt(v))); });
    connect(hscScroll, &QScrollBar::valueChanged, this,
            [this](int v) { picTarget->move(backup::px(backup::PreviewLayout::leftAt(v)), picTarget->y()); });
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Command1, &QPushButton::clicked, this, &printpreviewDialog::print);
    for (QWidget *w : {picTarget, picScroll, static_cast<QWidget *>(Command1), static_cast<QWidget *>(Command2)})
        w->installEventFilter(this);
    setTabOrder(picScroll, Command2);
    setTabOrder(Command2, Command1);
    picScroll->setFocus();

    auto *buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 6, 6, 6);
    buttons->addWidget(Command2);
    buttons->addWidget(Command1);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addStretch();
    trimWhenClosed(this);
    // The whole screen even where no window manager honours the maximised state.
    if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
}

printpreviewDialog::~printpreviewDialog() = default;

int printpreviewDialog::contentHeight() const
{
    const int pages = m_printout.pageCount();
    return pages * backup::ListPrintout::pageHeight + (pages - 1) * backup::pageGap;
}

void printpreviewDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void printpreviewDialog::layOut()
{
    // Nothing to arrange while the window has no inside, as when minimised.
    if (height() <= 0)
        return;
    const int t = int(backup::twipsPerPixel);
    const int areaTop = Command1->geometry().bottom() + 7;
    const auto l = backup::PreviewLayout::compute(width() * t, height() * t, areaTop * t,
                                                  hscScroll->sizeHint().height() * t, vscScroll->sizeHint().width() * t,
                                                  backup::ListPrintout::pageWidth, contentHeight());
    const auto toPx = [](const QRect &r) {
        return QRect(backup::px(r.x()), backup::px(r.y()), backup::px(r.width()), backup::px(r.height()));
    };
    picScroll->setGeometry(toPx(l.area));
    hscScroll->setGeometry(toPx(l.hbar));
    vscScroll->setGeometry(toPx(l.vbar));
    hscScroll->setRange(0, std::max(0, l.hMax));
    vscScroll->setRange(0, std::max(0, l.vMax));
    vscScroll->setPageStep(std::max(1, l.area.height() / backup::PreviewLayout::step - 1));
    picTarget->move(backup::px(l.pageLeft), backup::px(backup::PreviewLayout::topAt(vscScroll->value())));
    hscScroll->raise();
    vscScroll->raise();
}

void printpreviewDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Down: vscScroll->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Up: vscScroll->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_PageDown: vscScroll->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_PageUp: vscScroll->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_Home: vscScroll->triggerAction(QAbstractSlider::SliderToMinimum); break;
    case Qt::Key_End: vscScroll->triggerAction(QAbstractSlider::SliderToMaximum); break;
    default: QDialog::keyPressEvent(event); return;
    }
}

bool printpreviewDialog::eventFilter(QObject *watched, QEvent *event)
{
    // A button would take Up and Down to move the focus; here they scroll wherever the focus is.
    if (event->type() == QEvent::KeyPress && (watched == Command1 || watched == Command2)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            keyPressEvent(static_cast<QKeyEvent *>(event));
            return true;
        }
    }
    // The wheel over the pages scrolls them, as over the bar.
    if (event->type() == QEvent::Wheel && (watched == picTarget || watched == picScroll)) {
        const int notches = static_cast<QWheelEvent *>(event)->angleDelta().y() / 120;
        vscScroll->setValue(vscScroll->value() - notches * 3 * vscScroll->singleStep());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void printpreviewDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setDocName(windowTitle());
    if (!choosePrinter(printer, this))
        return;
    QProgressDialog progress(QStringLiteral("正在打印…"), QStringLiteral("取消"), 0, m_printout.pageCount(), this);
    progress.setWindowTitle(QStringLiteral("打印"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const auto outcome = backup::printList(printer, m_printout, [&](int page, int) {
        progress.setValue(page);
        return !progress.wasCanceled();
    });
    progress.reset();
    if (outcome == backup::PrintOutcome::Failed)
        showMessage(this, QStringLiteral("打印失败：打印机或输出文件无法使用。"), QStringLiteral("打印失败"),
                    MsgButtons::Ok, MsgIcon::Critical);
}

} // namespace ht
