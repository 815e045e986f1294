// The main window's menus, pop-up menus and list commands.
#include "ledger/LedgerModel.h"
#include "ledger/MainWindow.h"
#include "ledger/frmAbout.h"
#include "ledger/newInDialog.h"

#include "book/RecordStore.h"

#include "foundation/DbTask.h"
#include "foundation/FileExists.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/Version.h"

#include <QAction>
#include <QDesktopServices>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTreeView>
#include <QUrl>

namespace ht {
namespace {

QAction *item(QMenu *menu, const char *name, const QString &text, const QKeySequence &shortcut = {},
              const char *bitmap = nullptr)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    if (bitmap)
        a->setIcon(icon(bitmap));
    return a;
}

QMenu *menu(QMenuBar *bar, const char *name, const QString &title)
{
    QMenu *m = bar->addMenu(title);
    m->setObjectName(QLatin1String(name));
    return m;
}

} // namespace

void main::buildMenus()
{
    QMenuBar *bar = menuBar();
    mm_sys = menu(bar, "mm_sys", QStringLiteral("系统(&S)"));
    mm_users = item(mm_sys, "mm_users", QStringLiteral("用户管理(&U)"), {}, "menu-users");
    mm_pwd = item(mm_sys, "mm_pwd", QStringLiteral("修改密码(&P)"), {}, "menu-password");
    mm_sys->addSeparator()->setObjectName(QStringLiteral("mm_line1"));
    mm_exit = item(mm_sys, "mm_exit", QStringLiteral("退出(&X)"), {}, "menu-exit");

    mm_accounts = menu(bar, "mm_accounts", QStringLiteral("账务(&C)"));
    mm_add = item(mm_accounts, "mm_add", QStringLiteral("增加收入"), Qt::Key_F4);
    mm_out = item(mm_accounts, "mm_out", QStringLiteral("增加支出"), Qt::Key_F5);
    mm_search = item(mm_accounts, "mm_search", QStringLiteral("查询"), Qt::Key_F6);
    mm_types = item(mm_accounts, "mm_types", QStringLiteral("设置收支类别(&T)"));
    mm_Del = item(mm_accounts, "mm_Del", QStringLiteral("批量删除(&D)"));

    mm_tools = menu(bar, "mm_tools", QStringLiteral("工具(&T)"));
    mm_banks = item(mm_tools, "mm_banks", QStringLiteral("银行账户(&B)"));
    mm_data = item(mm_tools, "mm_data", QStringLiteral("数据备份和恢复(&D)"));
    mm_export = item(mm_tools, "mm_export", QStringLiteral("导出数据(&E)"));
    mm_print = item(mm_tools, "mm_print", QStringLiteral("打印账单"), QKeySequence(Qt::CTRL | Qt::Key_P), "menu-print");
    mm_calc = item(mm_tools, "mm_calc", QStringLiteral("计算器"), Qt::Key_F7, "menu-calc");
    mm_memoNote = item(mm_tools, "mm_memoNote", QStringLiteral("备忘录"), Qt::Key_F8);

    mm_help = menu(bar, "mm_help", QStringLiteral("帮助(&H)"));
    mm_about = item(mm_help, "mm_about", QStringLiteral("关于"), {}, "menu-about");
    mm_help->addSeparator()->setObjectName(QStringLiteral("mm_hlp_line"));
    mm_resume = item(mm_help, "mm_resume", QStringLiteral("说明"), Qt::Key_F12);
    mm_update = item(mm_help, "mm_update", QStringLiteral("在线升级"));

    // Shortcuts work wherever the focus is in the window, menu bar shown or not.
    addActions({mm_add, mm_out, mm_search, mm_print, mm_calc, mm_memoNote, mm_resume});

    connect(mm_exit, &QAction::triggered, this, &QWidget::close);
    connect(mm_add, &QAction::triggered, this, [this] { openRecordDialog(1, 0); });
    connect(mm_out, &QAction::triggered, this, [this] { openRecordDialog(0, 0); });
    connect(mm_about, &QAction::triggered, this, [this] {
        frmAbout about(this);
        about.exec();
    });
    connect(mm_calc, &QAction::triggered, this, &main::startCalculator);
    connect(mm_update, &QAction::triggered, this, &main::startUpdater);
    connect(mm_resume, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1/post-23.html").arg(QLatin1String(build::helpHost))));
    });

    mnufile = new QMenu(QStringLiteral("Popup_Menu"), this);
    mnufile->setObjectName(QStringLiteral("mnufile"));
    popNew = item(mnufile, "popNew", QStringLiteral("增加"));
    popModi = item(mnufile, "popModi", QStringLiteral("修改"));
    popDel = item(mnufile, "popDel", QStringLiteral("删除"));
    mnufile2 = new QMenu(QStringLiteral("Popup_Menu2"), this);
    mnufile2->setObjectName(QStringLiteral("mnufile2"));
    popNew2 = item(mnufile2, "popNew2", QStringLiteral("增加"));
    popModi2 = item(mnufile2, "popModi2", QStringLiteral("修改"));
    popDel2 = item(mnufile2, "popDel2", QStringLiteral("删除"));
    connect(popNew, &QAction::triggered, mm_add, &QAction::trigger);
    connect(popNew2, &QAction::triggered, mm_out, &QAction::trigger);
    connect(popModi, &QAction::triggered, this, [this] { changeSelected(1); });
    connect(popModi2, &QAction::triggered, this, [this] { changeSelected(0); });
    connect(popDel, &QAction::triggered, this, [this] { deleteSelected(1); });
    connect(popDel2, &QAction::triggered, this, [this] { deleteSelected(0); });
}

void main::connectListCommands()
{
    for (int cls : {1, 0}) {
        QTreeView *view = list(cls);
        QMenu *popup = cls == 1 ? mnufile : mnufile2;
        connect(view, &QWidget::customContextMenuRequested, this,
                [view, popup](const QPoint &pos) { popup->popup(view->viewport()->mapToGlobal(pos)); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this, cls] { changeSelected(cls); });
        view->header()->setSectionsClickable(true);
        connect(view->header(), &QHeaderView::sectionClicked, this,
                [this, cls](int column) { sortByColumn(cls, column); });
    }
}

void main::openRecordDialog(int cls, qint64 id)
{
    newInDialog dialog(this, cls, id);
    dialog.exec();
}

namespace {
// The ID behind the selected row (the current one among several), or 0 when no row is selected.
qint64 selectedId(QTreeView *view)
{
    QItemSelectionModel *selection = view->selectionModel();
    const QModelIndexList rows = selection ? selection->selectedRows() : QModelIndexList{};
    if (rows.isEmpty())
        return 0;
    const QModelIndex current = view->currentIndex();
    const QModelIndex row = current.isValid() && selection->isRowSelected(current.row(), current.parent())
        ? current.siblingAtColumn(0)
        : rows.first();
    const QString key = row.data(LedgerModel::KeyRole).toString();
    bool ok = false;
    const qint64 id = key.mid(2).toLongLong(&ok);
    return ok ? id : 0;
}
} // namespace

// The selected record of a list; 0 on an empty list, and 0 after telling the user when none is selected.
qint64 main::selectedRecord(int cls, const QString &noSelection)
{
    QTreeView *view = list(cls);
    if (view->model()->rowCount() == 0)
        return 0;
    const qint64 id = selectedId(view);
    if (id <= 0)
        showMessage(this, noSelection, QStringLiteral("出错了"), MsgButtons::Ok, MsgIcon::Critical);
    return id > 0 ? id : 0;
}

void main::changeSelected(int cls)
{
    if (const qint64 id = selectedRecord(cls, QStringLiteral("提示：未选择要修改的记录")))
        openRecordDialog(cls, id);
}

void main::deleteSelected(int cls)
{
    const qint64 id = selectedRecord(cls, QStringLiteral("提示：未选择要删除的记录"));
    if (!id)
        return;
    if (showMessage(this, QStringLiteral("提示：确定要删除这条记录吗？"), QStringLiteral("系统提示"),
                    MsgButtons::OkCancel)
        != MsgAnswer::Ok)
        return;
    withDb(this, [&](clsADO &db) { RecordStore::remove(db, program::session().userName, id); });
}

void main::sortByColumn(int cls, int column)
{
    LedgerModel &m = model(cls);
    for (int c = 0; c < m.columnCount(); ++c)
        m.setHeaderPicture(c, 0);
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m.sortColumn())
        order = m.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m.setHeaderPicture(column, order == Qt::AscendingOrder ? 2 : 1);
    m.setSortState(true, column, order);
}

void main::startCalculator()
{
    for (const char *name : {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showMessage(this, QStringLiteral("提示：系统中没有找到计算器程序"), QStringLiteral("系统提示"), MsgButtons::Ok,
                MsgIcon::Information);
}

void main::startUpdater()
{
    const QString updater = program::pathIn(QStringLiteral("update"));
    if (fileExists(updater))
        QProcess::startDetached(updater, {}, program::dir());
}

} // namespace ht
