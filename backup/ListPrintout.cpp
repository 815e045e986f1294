#include "backup/ListPrintout.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <numeric>

namespace ht::backup {
namespace {

// All in twips.
constexpr int margin = 1134; // 2 cm
constexpr int usableWidth = ListPrintout::pageWidth - 2 * margin;
constexpr int titleHeight = 520;
constexpr int infoHeight = 320;
constexpr int rowHeight = 340;
constexpr int bodyTop = margin + titleHeight + infoHeight + 120 + rowHeight;
constexpr int bodyBottom = ListPrintout::pageHeight - margin;
constexpr int cellPadding = 60;

QFont fontOf(int size, bool bold = false)
{
    QFont f;
    f.setPixelSize(size);
    f.setBold(bold);
    return f;
}

} // namespace

ListPrintout::ListPrintout(ListTable table, PrintHeading heading)
    : m_table(std::move(table)), m_heading(std::move(heading))
{
    // Each column as wide as its widest text while the page has room; what does not fit
    // is taken from the widest columns first, and any room left goes to the last one.
    const QFontMetricsF body(fontOf(200)), header(fontOf(200, true));
    const int columns = int(m_table.headers.size());
    QList<int> natural(columns);
    for (int c = 0; c < columns; ++c) {
        // Measuring every cell costs too much on a long list: only those that count
        // about as many characters as the longest are measured.
        int most = 0;
        for (const QStringList &row : m_table.rows)
            most = std::max(most, displayWidth(row.value(c)));
        qreal widest = header.horizontalAdvance(m_table.headers[c]);
        int measured = 0;
        for (auto row = m_table.rows.begin(); row != m_table.rows.end() && measured < 64; ++row) {
            if (displayWidth(row->value(c)) + 2 >= most) {
                widest = std::max(widest, body.horizontalAdvance(row->value(c)));
                ++measured;
            }
        }
        natural[c] = int(widest) + 2 * cellPadding + 1;
    }
    QList<int> order(columns);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return natural[a] < natural[b]; });
    m_columnWidth = QList<int>(columns, 0);
    int remaining = usableWidth;
    for (int i = 0; i < columns; ++i) {
        const int c = order[i];
        m_columnWidth[c] = std::min(natural[c], remaining / (columns - i));
        remaining -= m_columnWidth[c];
    }
    if (columns > 0)
        m_columnWidth[columns - 1] += remaining;
    int left = 0;
    for (int w : m_columnWidth) {
        m_columnLeft << left;
        left += w;
    }
    m_rowsPerPage = (bodyBottom - bodyTop) / rowHeight;
    // The total takes one more line after the rows.
    const qint64 lines = qint64(m_table.rows.size()) + 1;
    m_pages = int((lines + m_rowsPerPage - 1) / m_rowsPerPage);
}

void ListPrintout::paintPage(QPainter &painter, int page) const
{
    painter.save();
    painter.setPen(Qt::black);
    const QFont title = fontOf(320, true), info = fontOf(180), body = fontOf(200), bold = fontOf(200, true);

    painter.setFont(title);
    painter.drawText(QRect(margin, margin, usableWidth, titleHeight), Qt::AlignHCenter | Qt::AlignTop, m_heading.title);
    painter.setFont(info);
    const QRect infoLine(margin, margin + titleHeight, usableWidth, infoHeight);
    painter.drawText(infoLine, Qt::AlignLeft | Qt::AlignVCenter,
                     m_heading.user + QStringLiteral("    ") + m_heading.period);
    painter.drawText(infoLine, Qt::AlignRight | Qt::AlignVCenter, m_heading.printed);

    const auto cell = [&](int column, int top, const QString &text, int alignment) {
        const QRect r(margin + m_columnLeft[column] + cellPadding, top, m_columnWidth[column] - 2 * cellPadding,
                      rowHeight);
        const QString shown = QFontMetricsF(painter.font()).elidedText(text, Qt::ElideRight, r.width());
        painter.drawText(r, (alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, shown);
    };
    const int headerTop = bodyTop - rowHeight;
    painter.setFont(bold);
    for (int c = 0; c < m_table.headers.size(); ++c)
        cell(c, headerTop, m_table.headers[c], m_table.alignments[c]);
    painter.setPen(QPen(Qt::black, 20));
    painter.drawLine(margin, headerTop, margin + usableWidth, headerTop);
    painter.drawLine(margin, bodyTop, margin + usableWidth, bodyTop);

    painter.setPen(Qt::black);
    painter.setFont(body);
    const qint64 first = qint64(page) * m_rowsPerPage;
    const qint64 end = std::min<qint64>(first + m_rowsPerPage, qint64(m_table.rows.size()));
    int top = bodyTop;
    for (qint64 r = first; r < end; ++r, top += rowHeight) {
        const QStringList &row = m_table.rows[size_t(r)];
        for (int c = 0; c < m_table.headers.size() && c < row.size(); ++c)
            cell(c, top, row[c], m_table.alignments[c]);
    }
    if (page == m_pages - 1) {
        painter.setPen(QPen(Qt::black, 10));
        painter.drawLine(margin, top, margin + usableWidth, top);
        painter.setFont(bold);
        painter.drawText(QRect(margin, top, usableWidth - cellPadding, rowHeight), Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("合计：") + m_heading.total);
    }
    painter.setFont(info);
    painter.drawText(QRect(margin, bodyBottom, usableWidth, margin / 2), Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页，共 %2 页").arg(page + 1).arg(m_pages));
    painter.restore();
}

PrintOutcome printList(QPrinter &printer, const ListPrintout &printout, const PrintProgress &progress)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    const double scale = printer.resolution() / 1440.0;
    const int pages = printout.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (progress && !progress(page, pages)) {
            printer.abort();
            painter.end();
            if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
                QFile::remove(printer.outputFileName());
            return PrintOutcome::Cancelled;
        }
        if (page > 0 && !printer.newPage())
            return PrintOutcome::Failed;
        painter.save();
        painter.scale(scale, scale);
        printout.paintPage(painter, page);
        painter.restore();
    }
    return painter.end() ? PrintOutcome::Printed : PrintOutcome::Failed;
}

} // namespace ht::backup
