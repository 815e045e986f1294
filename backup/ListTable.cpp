#include "backup/ListTable.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

namespace ht::backup {
namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3)
        || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60)
        || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

} // namespace

ListTable takeList(const QTreeView &view, bool selectedOnly)
{
    ListTable table;
    const QAbstractItemModel *model = view.model();
    const QHeaderView *header = view.header();
    if (!model)
        return table;
    // A list that reads its rows as they come into view has them all readable first.
    QMetaObject::invokeMethod(const_cast<QAbstractItemModel *>(model), "settle");
    QList<int> columns;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (header->isSectionHidden(column) || header->sectionSize(column) == 0)
            continue;
        columns << column;
        table.headers << model->headerData(column, Qt::Horizontal).toString();
        table.widths << header->sectionSize(column);
        const QVariant align = model->rowCount() ? model->index(0, column).data(Qt::TextAlignmentRole) : QVariant();
        table.alignments << (align.isValid() ? align.toInt() : int(Qt::AlignLeft | Qt::AlignVCenter));
    }

    std::vector<int> rowNumbers;
    if (selectedOnly) {
        // Ranges, not single indexes: a hundred thousand selected rows stay cheap.
        if (const QItemSelectionModel *selection = view.selectionModel()) {
            for (const QItemSelectionRange &range : selection->selection())
                for (int r = range.top(); r <= range.bottom(); ++r)
                    rowNumbers.push_back(r);
        }
        std::sort(rowNumbers.begin(), rowNumbers.end());
        rowNumbers.erase(std::unique(rowNumbers.begin(), rowNumbers.end()), rowNumbers.end());
    } else {
        rowNumbers.resize(size_t(model->rowCount()));
        for (size_t r = 0; r < rowNumbers.size(); ++r)
            rowNumbers[r] = int(r);
    }
    table.rows.reserve(rowNumbers.size());
    for (int r : rowNumbers) {
        QStringList cells;
        cells.reserve(columns.size());
        for (int column : columns)
            cells << model->index(r, column).data().toString();
        table.rows.push_back(std::move(cells));
    }
    return table;
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

} // namespace ht::backup
