#include "charts/ChartPage.h"

#include "foundation/MessageBox.h"
#include "foundation/PrintChoice.h"

#include <QChartView>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace ht {
namespace {

bool paintPage(QPaintDevice &device, QWidget *picture, const QString &heading)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRect page = painter.viewport();
    const int margin = page.width() / 20;
    QRect area = page.adjusted(margin, margin, -margin, -margin);
    QFont font = painter.font();
    font.setPixelSize(std::max(12, area.width() / 30));
    painter.setFont(font);
    const int headingHeight = font.pixelSize() * 2;
    painter.drawText(QRect(area.topLeft(), QSize(area.width(), headingHeight)), Qt::AlignHCenter | Qt::AlignTop,
                     heading);
    area.setTop(area.top() + headingHeight);
    // Keep the picture's shape: as wide as the page, and no taller than what is left.
    const QSizeF shape = picture->size();
    QSizeF fitted = shape.scaled(area.size(), Qt::KeepAspectRatio);
    const QRectF target(area.left() + (area.width() - fitted.width()) / 2, area.top(), fitted.width(), fitted.height());
    if (auto *view = qobject_cast<QChartView *>(picture)) {
        view->render(&painter, target, view->rect());
    } else {
        painter.save();
        painter.translate(target.topLeft());
        painter.scale(target.width() / shape.width(), target.height() / shape.height());
        picture->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.restore();
    }
    return painter.end();
}

} // namespace

bool saveChartImage(QWidget *picture, const QString &heading, const QString &path)
{
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        pdf.setTitle(heading);
        return paintPage(pdf, picture, heading);
    }
    return picture->grab().save(path, "PNG");
}

void printChart(QWidget *picture, const QString &heading, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(heading);
    if (!choosePrinter(printer, parent))
        return;
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!paintPage(printer, picture, heading))
        showMessage(parent, QStringLiteral("打印失败：打印机或输出文件无法使用。"), QStringLiteral("打印失败"),
                    MsgButtons::Ok, MsgIcon::Critical);
}

} // namespace ht
