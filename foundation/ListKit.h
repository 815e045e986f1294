#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <initializer_list>

class QAction;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace ht {

// What the windows that manage a list of rows share.

// A menu command named for the tests, with its shortcut.
QAction *menuItem(QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut = {});

struct ToolButton {
    const char *caption; // none: a separator
    const char *picture;
};
// Big pictures with their captions under them, named "Toolbar1_1", "Toolbar1_2", ...
// (separators counted), the toolbar taking no focus.
QList<QAction *> addToolButtons(QToolBar *bar, std::initializer_list<ToolButton> buttons);

// A list in report style: whole rows, one selected at a time, nothing edited in place,
// a pop-up menu of its own.
void setUpReportList(QTreeWidget *list);

// Each row carries its key "ID" + the row's ID on its first column.
inline constexpr int rowKeyRole = Qt::UserRole;
void setRowKey(QTreeWidgetItem *row, qint64 id);
qint64 rowKeyId(const QTreeWidgetItem *row);
// The ID of the selected row: 0 on an empty list, and 0 after telling the user (the
// program's "出错了" prompt) when no row is selected.
qint64 selectedRowId(QWidget *parent, QTreeWidget *list, const QString &noSelection);

} // namespace ht
