#include "banks/frmBanks.h"

#include "banks/newbankDialog.h"

#include "book/BankStore.h"
#include "book/Changes.h"

#include "foundation/DateText.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/ListKit.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "foundation/TextOrder.h"

#include <QAction>
#include <QCollator>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace ht {
namespace {

enum Column { Addr, Regdate, Name, Holder, Account, Card, Balance, Memo, ColumnCount };

QString dateText(const QDate &d)
{
    return d.isValid() ? chsDate(d.year(), d.month(), d.day()) : QString();
}

// A list row that sorts by value: the date as a date, the balance as a number, texts as text.
class BankItem : public QTreeWidgetItem {
public:
    explicit BankItem(const BankAccount &a)
        : QTreeWidgetItem(QStringList{a.addr, dateText(a.regdate), a.name, a.holder, a.account, a.card,
                                      Money::yuan(a.balance.text()), a.memo}),
          m_id(a.id), m_date(a.regdate.isValid() ? a.regdate.toJulianDay() : 0), m_cents(qint64(a.balance.cents()))
    {
        setRowKey(this, a.id);
    }

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const auto &o = static_cast<const BankItem &>(other);
        const int column = treeWidget() ? treeWidget()->sortColumn() : Addr;
        int c = 0;
        if (column == Regdate)
            c = (m_date > o.m_date) - (m_date < o.m_date);
        else if (column == Balance)
            c = (m_cents > o.m_cents) - (m_cents < o.m_cents);
        else if (m_key && o.m_key)
            c = m_key->compare(*o.m_key);
        else
            c = compareTexts(text(column), o.text(column));
        // Equal values keep the order of entry whichever way the list is sorted.
        if (c == 0)
            return (treeWidget()->header()->sortIndicatorOrder() == Qt::DescendingOrder) != (m_id < o.m_id);
        return c < 0;
    }

    // One collation key per row makes sorting a long list cheap.
    void prepareSort(int column)
    {
        m_key.reset();
        if (column != Regdate && column != Balance)
            m_key.emplace(chineseCollator().sortKey(text(column)));
    }

private:
    std::optional<QCollatorSortKey> m_key;
    qint64 m_id;
    qint64 m_date;
    qint64 m_cents;
};

} // namespace

frmBanks::frmBanks(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmBanks"));
    setWindowTitle(QStringLiteral("银行账户管理"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    menuBar = named(new QMenuBar(this), "menuBar");
    fileMenu = named(menuBar->addMenu(QStringLiteral("文件(&F)")), "fileMenu");
    newMenu = menuItem(fileMenu, "newMenu", QStringLiteral("新建(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    modiMenu = menuItem(fileMenu, "modiMenu", QStringLiteral("修改(&M)"), QKeySequence(Qt::CTRL | Qt::Key_M));
    delMenu = menuItem(fileMenu, "delMenu", QStringLiteral("删除(&D)"), QKeySequence(Qt::Key_Delete));
    fileMenu->addSeparator();
    exitMenu = menuItem(fileMenu, "exitMenu", QStringLiteral("退出"));
    // The shortcuts work wherever the focus is in the window.
    addActions({newMenu, modiMenu, delMenu});

    popMn = named(new QMenu(QStringLiteral("popMenu"), this), "popMn");
    popMnNew = menuItem(popMn, "popMnNew", QStringLiteral("新建"));
    popMnModi = menuItem(popMn, "popMnModi", QStringLiteral("修改"));
    popMnDel = menuItem(popMn, "popMnDel", QStringLiteral("删除"));

    Toolbar1 = named(new QToolBar(this), "Toolbar1");
    const QList<QAction *> tools = addToolButtons(Toolbar1,
                                                  {{"添加账号", "item-add"},
                                                   {"修改账号", "item-edit"},
                                                   {"删除账号", "item-delete"},
                                                   {nullptr, nullptr},
                                                   {"退出", "exit"}});

    Frame1 = named(new QGroupBox(this), "Frame1");
    ListView1 = named(new QTreeWidget(Frame1), "ListView1");
    ListView1->setAccessibleName(QStringLiteral("银行账户"));
    setUpReportList(ListView1);
    ListView1->setIconSize(QSize(22, 22));
    ListView1->setHeaderLabels({QStringLiteral("开户地"), QStringLiteral("开户日期"), QStringLiteral("开户行"),
                                QStringLiteral("开户人"), QStringLiteral("账号"), QStringLiteral("卡号"),
                                QStringLiteral("余额"), QStringLiteral("备注")});
    QHeaderView *header = ListView1->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false); // the markers are the pictures below
    header->setStretchLastSection(true);
    // The opening date shows whole; the other columns keep their default width.
    header->resizeSection(Regdate, ListView1->fontMetrics().horizontalAdvance(QStringLiteral("2000年12月28日 ")) + 24);

    auto *frameLayout = new QVBoxLayout(Frame1);
    frameLayout->setContentsMargins(4, 4, 4, 4);
    frameLayout->addWidget(ListView1);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->setContentsMargins(5, 3, 5, 5);
    layout->addWidget(Toolbar1);
    layout->addWidget(Frame1, 1);
    resize(777, 353);
    trimWhenClosed(this);

    for (QAction *a : {newMenu, popMnNew, tools[0]})
        connect(a, &QAction::triggered, this, &frmBanks::addBank);
    for (QAction *a : {modiMenu, popMnModi, tools[1]})
        connect(a, &QAction::triggered, this, &frmBanks::modiBank);
    for (QAction *a : {delMenu, popMnDel, tools[2]})
        connect(a, &QAction::triggered, this, &frmBanks::delBank);
    for (QAction *a : {exitMenu, tools[4]})
        connect(a, &QAction::triggered, this, &QDialog::close);
    // Enter on a row modifies it, as a double click does.
    connect(ListView1, &QTreeWidget::itemActivated, this, &frmBanks::modiBank);
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popMn->popup(ListView1->viewport()->mapToGlobal(pos)); });
    connect(header, &QHeaderView::sectionClicked, this, &frmBanks::sortByColumn);

    bankLists();
    connect(&book::changes(), &book::Changes::changed, this, [this](book::Change what) {
        if (what == book::Change::Banks)
            bankLists();
    });
}

void frmBanks::bankLists()
{
    std::vector<BankAccount> rows;
    if (!withDb(this, [&](clsADO &db) { rows = BankStore::list(db, program::session().userName); }))
        return;
    const QIcon picture = icon("banks");
    QList<QTreeWidgetItem *> items;
    items.reserve(qsizetype(rows.size()));
    for (const BankAccount &a : rows) {
        auto *row = new BankItem(a);
        row->setIcon(Addr, picture);
        items << row;
    }
    ListView1->clear();
    ListView1->addTopLevelItems(items);
    sortList();
}

void frmBanks::sortByColumn(int column)
{
    QTreeWidgetItem *header = ListView1->headerItem();
    for (int c = 0; c < ColumnCount; ++c)
        header->setIcon(c, QIcon());
    if (column == m_sortColumn) {
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        m_sortColumn = column;
        m_sortOrder = Qt::AscendingOrder;
    }
    header->setIcon(column, icon(m_sortOrder == Qt::AscendingOrder ? "sort-asc" : "sort-desc"));
    sortList();
}

void frmBanks::sortList()
{
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i)
        static_cast<BankItem *>(ListView1->topLevelItem(i))->prepareSort(m_sortColumn);
    ListView1->sortItems(m_sortColumn, m_sortOrder);
}

void frmBanks::addBank()
{
    openDialog(0);
}

void frmBanks::modiBank()
{
    if (const qint64 id = selectedRowId(this, ListView1, QStringLiteral("提示：未选择要修改的银行账户记录")))
        openDialog(id);
}

void frmBanks::delBank()
{
    const qint64 id = selectedRowId(this, ListView1, QStringLiteral("提示：未选择要删除的银行账号记录"));
    if (!id)
        return;
    if (!askOkCancel(this, QStringLiteral("确定要删除这个银行账号记录吗？"), QStringLiteral("删除提示")))
        return;
    // A removal reloads the list through the change signal; one that found nothing
    // reads it afresh all the same.
    bool removed = false;
    if (withDb(this, [&](clsADO &db) { removed = BankStore::remove(db, program::session().userName, id); }) && !removed)
        bankLists();
}

void frmBanks::openDialog(qint64 id)
{
    newbankDialog dialog(this, id);
    connect(&dialog, &newbankDialog::gone, this, &frmBanks::bankLists);
    dialog.exec();
}

} // namespace ht
