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

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *sys = menu(bar, "mm_sys", QStringLiteral("系统(&S)"));
    item(sys, "mm_users", QStringLiteral("用户管理(&U)"), {}, "menu-users");
    item(sys, "mm_pwd", QStringLiteral("修改密码(&P)"), {}, "menu-password");
    sys->addSeparator()->setObjectName(QStringLiteral("mm_line1"));
    QAction *exit = item(sys, "mm_exit", QStringLiteral("退出(&X)"), {}, "menu-exit");

    QMenu *accounts = menu(bar, "mm_accounts", QStringLiteral("账务(&C)"));
    QAction *add = item(accounts, "mm_add", QStringLiteral("增加收入"), Qt::Key_F4);
    QAction *out = item(accounts, "mm_out", QStringLiteral("增加支出"), Qt::Key_F5);
    QAction *search = item(accounts, "mm_search", QStringLiteral("查询"), Qt::Key_F6);
    QAction *chart = item(accounts, "mm_chart", QStringLiteral("收支统计"), Qt::Key_F9);
    item(accounts, "mm_types", QStringLiteral("设置收支类别(&T)"));
    item(accounts, "mm_Del", QStringLiteral("批量删除(&D)"));
    QAction *undo = item(accounts, "mm_undo", QStringLiteral("撤销删除(&Z)"), QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setIconText(QStringLiteral("撤销"));
    undo->setToolTip(QStringLiteral("撤销删除"));
    undo->setEnabled(false);
    accounts->addSeparator()->setObjectName(QStringLiteral("mm_line2"));
    QAction *importBill = item(accounts, "mm_import", QStringLiteral("导入账单(&I)…"),
                               QKeySequence(Qt::CTRL | Qt::Key_I));
    item(accounts, "mm_undoImport", QStringLiteral("撤销上次导入(&U)"));

    QMenu *tools = menu(bar, "mm_tools", QStringLiteral("工具(&T)"));
    item(tools, "mm_banks", QStringLiteral("银行账户(&B)"));
    item(tools, "mm_data", QStringLiteral("数据备份和恢复(&D)"));
    QAction *bin = item(tools, "mm_bin", QStringLiteral("回收站(&R)"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    item(tools, "mm_export", QStringLiteral("导出数据(&E)"));
    QAction *print = item(tools, "mm_print", QStringLiteral("打印账单"), QKeySequence(Qt::CTRL | Qt::Key_P),
                          "menu-print");
    QAction *calc = item(tools, "mm_calc", QStringLiteral("计算器"), Qt::Key_F7, "menu-calc");
    QAction *memoNote = item(tools, "mm_memoNote", QStringLiteral("备忘录"), Qt::Key_F8);

    QMenu *help = menu(bar, "mm_help", QStringLiteral("帮助(&H)"));
    QAction *about = item(help, "mm_about", QStringLiteral("关于"), {}, "menu-about");
    help->addSeparator()->setObjectName(QStringLiteral("mm_hlp_line"));
    QAction *resume = item(help, "mm_resume", QStringLiteral("说明"), Qt::Key_F12);
    QAction *update = item(help, "mm_update", QStringLiteral("在线升级"));

    // Shortcuts work wherever the focus is in the window, menu bar shown or not.
    addActions({add, out, search, chart, undo, importBill, bin, print, calc, memoNote, resume});

    connect(exit, &QAction::triggered, this, &QWidget::close);
    connect(add, &QAction::triggered, this, [this] { openRecordDialog(1, 0); });
    connect(out, &QAction::triggered, this, [this] { openRecordDialog(0, 0); });
    connect(about, &QAction::triggered, this, [this] {
        frmAbout dialog(this);
        dialog.exec();
    });
    connect(calc, &QAction::triggered, this, &MainWindow::startCalculator);
    connect(update, &QAction::triggered, this, &MainWindow::startUpdater);
    connect(resume, &QAction::triggered, this, [] {
        QDesktopServices::openUrl(QUrl(QStringLiteral("http://%1/post-23.html").arg(QLatin1String(build::helpHost))));
    });

    m_incomePopup = new QMenu(QStringLiteral("Popup_Menu"), this);
    m_incomePopup->setObjectName(QStringLiteral("mnufile"));
    QAction *popNew = item(m_incomePopup, "popNew", QStringLiteral("增加"));
    QAction *popModi = item(m_incomePopup, "popModi", QStringLiteral("修改"));
    QAction *popDel = item(m_incomePopup, "popDel", QStringLiteral("删除"));
    m_expensePopup = new QMenu(QStringLiteral("Popup_Menu2"), this);
    m_expensePopup->setObjectName(QStringLiteral("mnufile2"));
    QAction *popNew2 = item(m_expensePopup, "popNew2", QStringLiteral("增加"));
    QAction *popModi2 = item(m_expensePopup, "popModi2", QStringLiteral("修改"));
    QAction *popDel2 = item(m_expensePopup, "popDel2", QStringLiteral("删除"));
    connect(popNew, &QAction::triggered, add, &QAction::trigger);
    connect(popNew2, &QAction::triggered, out, &QAction::trigger);
    connect(popModi, &QAction::triggered, this, [this] { changeSelected(1); });
    connect(popModi2, &QAction::triggered, this, [this] { changeSelected(0); });
    connect(popDel, &QAction::triggered, this, [this] { deleteSelected(1); });
    connect(popDel2, &QAction::triggered, this, [this] { deleteSelected(0); });
}

void MainWindow::connectListCommands()
{
    for (int cls : {1, 0}) {
        QTreeView *view = list(cls);
        QMenu *popup = cls == 1 ? m_incomePopup : m_expensePopup;
        connect(view, &QWidget::customContextMenuRequested, this,
                [view, popup](const QPoint &pos) { popup->popup(view->viewport()->mapToGlobal(pos)); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this, cls] { changeSelected(cls); });
        // The Delete key deletes the list's current record, as the menu's item does.
        QAction *del = popup->findChild<QAction *>(cls == 1 ? QStringLiteral("popDel") : QStringLiteral("popDel2"));
        del->setShortcut(QKeySequence::Delete);
        del->setShortcutContext(Qt::WidgetShortcut);
        view->addAction(del);
        view->header()->setSectionsClickable(true);
        connect(view->header(), &QHeaderView::sectionClicked, this,
                [this, cls](int column) { sortByColumn(cls, column); });
        connect(&model(cls), &LedgerModel::located, view, [view](int row) {
            const QModelIndex at = view->model()->index(row, 0);
            view->selectionModel()->setCurrentIndex(at,
                                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            view->scrollTo(at);
        });
    }
}

void MainWindow::openRecordDialog(int cls, qint64 id)
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
qint64 MainWindow::selectedRecord(int cls, const QString &noSelection)
{
    QTreeView *view = list(cls);
    if (view->model()->rowCount() == 0)
        return 0;
    const qint64 id = selectedId(view);
    if (id <= 0)
        showMessage(this, noSelection, QStringLiteral("出错了"), MsgButtons::Ok, MsgIcon::Critical);
    return id > 0 ? id : 0;
}

void MainWindow::changeSelected(int cls)
{
    if (const qint64 id = selectedRecord(cls, QStringLiteral("提示：未选择要修改的记录")))
        openRecordDialog(cls, id);
}

void MainWindow::deleteSelected(int cls)
{
    const qint64 id = selectedRecord(cls, QStringLiteral("提示：未选择要删除的记录"));
    if (!id)
        return;
    if (!confirmDeletingRecord(this))
        return;
    withDb(this, [&](clsADO &db) { RecordStore::remove(db, program::session().userName, id); });
}

void MainWindow::sortByColumn(int cls, int column)
{
    LedgerModel &m = model(cls);
    for (int c = 0; c < m.columnCount(); ++c)
        m.setHeaderPicture(c, 0);
    Qt::SortOrder order = Qt::AscendingOrder;
    if (column == m.sortColumn())
        order = m.sortOrder() == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m.setHeaderPicture(column, order == Qt::AscendingOrder ? 2 : 1);
    // A whole list keeps its selection through the sort; a windowed one finds its record again.
    if (m.windowed())
        m.locateAfterSort(selectedId(list(cls)));
    m.setSortState(true, column, order);
}

void MainWindow::startCalculator()
{
    for (const char *name : {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    showMessage(this, QStringLiteral("提示：系统中没有找到计算器程序"), QStringLiteral("系统提示"), MsgButtons::Ok,
                MsgIcon::Information);
}

void MainWindow::startUpdater()
{
    if (program::installed())
        return void(showMessage(this, program::updatedByPackageManager(), QStringLiteral("在线升级"), MsgButtons::Ok,
                                MsgIcon::Information));
    const QString updater = program::pathIn(QStringLiteral("update"));
    if (fileExists(updater))
        QProcess::startDetached(updater, {}, program::dir());
}

} // namespace ht
