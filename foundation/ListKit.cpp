#include "foundation/ListKit.h"

#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

namespace ht {

QAction *menuItem(QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut)
{
    QAction *a = named(menu->addAction(text), name);
    a->setShortcut(shortcut);
    return a;
}

QList<QAction *> addToolButtons(QToolBar *bar, std::initializer_list<ToolButton> buttons)
{
    bar->setIconSize(QSize(28, 28));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setFocusPolicy(Qt::NoFocus);
    QList<QAction *> actions;
    for (const ToolButton &b : buttons) {
        QAction *a = b.caption ? bar->addAction(icon(b.picture), QString::fromUtf8(b.caption)) : bar->addSeparator();
        a->setObjectName(bar->objectName() + QStringLiteral("_%1").arg(actions.size() + 1));
        actions << a;
    }
    return actions;
}

void setUpReportList(QTreeWidget *list)
{
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
}

void setRowKey(QTreeWidgetItem *row, qint64 id)
{
    row->setData(0, rowKeyRole, QStringLiteral("ID") + QString::number(id));
}

qint64 rowKeyId(const QTreeWidgetItem *row)
{
    return row->data(0, rowKeyRole).toString().mid(2).toLongLong();
}

qint64 selectedRowId(QWidget *parent, QTreeWidget *list, const QString &noSelection)
{
    if (list->topLevelItemCount() == 0)
        return 0;
    const QList<QTreeWidgetItem *> selected = list->selectedItems();
    const qint64 id = selected.isEmpty() ? 0 : rowKeyId(selected.first());
    if (id <= 0)
        showMessage(parent, noSelection, QStringLiteral("出错了"), MsgButtons::Ok, MsgIcon::Critical);
    return id > 0 ? id : 0;
}

} // namespace ht
