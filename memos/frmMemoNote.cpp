#include "memos/frmMemoNote.h"

#include "memos/memonoteSearchDialog.h"
#include "memos/newMemoNoteDialog.h"

#include "book/Changes.h"
#include "book/MemoStore.h"

#include "foundation/DateText.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/ListKit.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ht {
namespace {

// A note of several lines shows on one line of the list.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

void setGrey(QLineEdit *box, bool grey)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Text, grey ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::black));
    box->setPalette(p);
}

} // namespace

frmMemoNote::frmMemoNote(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmMemoNote"));
    setWindowTitle(QStringLiteral("我的备忘录"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    menuBar = named(new QMenuBar(this), "menuBar");
    fileMenu = named(menuBar->addMenu(QStringLiteral("文件(&F)")), "fileMenu");
    mnNew = menuItem(fileMenu, "mnNew", QStringLiteral("新备忘(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N));
    mnEdit = menuItem(fileMenu, "mnEdit", QStringLiteral("修改所选备忘(&E)"), QKeySequence(Qt::CTRL | Qt::Key_E));
    mnDel = menuItem(fileMenu, "mnDel", QStringLiteral("删除所选备忘(&D)"), QKeySequence(Qt::Key_Delete));
    mnSearch = menuItem(fileMenu, "mnSearch", QStringLiteral("查询(&F)"), QKeySequence(Qt::CTRL | Qt::Key_F));
    fileMenu->addSeparator();
    mnExit = menuItem(fileMenu, "mnExit", QStringLiteral("退出(&X)"), QKeySequence(Qt::CTRL | Qt::Key_X));
    // The shortcuts work wherever the focus is in the window.
    addActions({mnNew, mnEdit, mnDel, mnSearch, mnExit});

    popMn = named(new QMenu(QStringLiteral("popMenu"), this), "popMn");
    popMnNew = menuItem(popMn, "popMnNew", QStringLiteral("新备忘"));
    popMnEdit = menuItem(popMn, "popMnEdit", QStringLiteral("修改"));
    popMnDel = menuItem(popMn, "popMnDel", QStringLiteral("删除"));

    Toolbar1 = named(new QToolBar(this), "Toolbar1");
    const QList<QAction *> tools = addToolButtons(Toolbar1,
                                                  {{"新备忘", "item-add"},
                                                   {"修改", "item-edit"},
                                                   {"删除所选", "item-delete"},
                                                   {"查询", "search"},
                                                   {nullptr, nullptr},
                                                   {"退出", "exit"}});
    // The quick search sits at the toolbar's right end.
    auto *spring = new QWidget(Toolbar1);
    spring->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    Toolbar1->addWidget(spring);
    searchText = named(new QLineEdit(hintText, Toolbar1), "searchText");
    searchText->setAccessibleName(hintText);
    searchText->setFixedWidth(searchText->fontMetrics().horizontalAdvance(hintText) + 24);
    setGrey(searchText, true);
    searchText->installEventFilter(this);
    Toolbar1->addWidget(searchText);
    searchBtn = named(new QToolButton(Toolbar1), "searchBtn");
    searchBtn->setIcon(icon("search"));
    searchBtn->setIconSize(QSize(18, 18));
    searchBtn->setAutoRaise(true);
    searchBtn->setCursor(Qt::PointingHandCursor);
    searchBtn->setToolTip(QStringLiteral("快速查询"));
    searchBtn->setAccessibleName(searchBtn->toolTip());
    Toolbar1->addWidget(searchBtn);

    Frame1 = named(new QGroupBox(this), "Frame1");
    buildList();
    buildPager(Frame1);

    StatusBar1 = named(new QStatusBar(this), "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    statusPanel1 = named(new QLabel(QStringLiteral("当前共有 0 则备忘，1/1页"), StatusBar1), "statusPanel1");
    StatusBar1->addWidget(statusPanel1, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->setContentsMargins(5, 3, 5, 0);
    layout->setSpacing(3);
    layout->addWidget(Toolbar1);
    layout->addWidget(Frame1, 1);
    layout->addWidget(StatusBar1);
    resize(701, 379);
    trimWhenClosed(this);

    for (QAction *a : {mnNew, popMnNew, tools[0]})
        connect(a, &QAction::triggered, this, &frmMemoNote::newNote);
    for (QAction *a : {mnEdit, popMnEdit, tools[1]})
        connect(a, &QAction::triggered, this, &frmMemoNote::editNote);
    for (QAction *a : {mnDel, tools[2]})
        connect(a, &QAction::triggered, this, &frmMemoNote::deleteChecked);
    connect(popMnDel, &QAction::triggered, this, &frmMemoNote::deleteSelected);
    for (QAction *a : {mnSearch, tools[3]})
        connect(a, &QAction::triggered, this, &frmMemoNote::search);
    for (QAction *a : {mnExit, tools[5]})
        connect(a, &QAction::triggered, this, &QDialog::close);
    connect(searchText, &QLineEdit::returnPressed, this, &frmMemoNote::quickSearch);
    connect(searchBtn, &QToolButton::clicked, this, &frmMemoNote::quickSearch);

    QWidget *order[] = {ListView1, BtnFirst, BtnPre, BtnNext, BtnLast, searchText, searchBtn};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    memoList(m_where, m_page);
    ListView1->setFocus();
    connect(&book::changes(), &book::Changes::changed, this, [this](book::Change what) {
        if (what == book::Change::Memos && !m_deleting)
            firstPage();
    });
}

void frmMemoNote::buildList()
{
    ListView1 = named(new QTreeWidget(Frame1), "ListView1");
    ListView1->setAccessibleName(QStringLiteral("备忘"));
    setUpReportList(ListView1);
    ListView1->setTextElideMode(Qt::ElideRight);
    ListView1->setHeaderLabels({QStringLiteral("日期"), QStringLiteral("备忘")});
    // Every row as high as the design's 22 pixels, without a picture.
    ListView1->setStyleSheet(QStringLiteral("QTreeView::item { height: 22px; }"));
    QHeaderView *header = ListView1->header();
    header->setSectionsClickable(false);
    header->setSectionsMovable(false);
    header->setStretchLastSection(true);
    // The date shows whole beside its check box.
    header->resizeSection(0,
                          ListView1->fontMetrics().horizontalAdvance(QStringLiteral("2000年12月28日 23点59分")) + 48);

    ListView1->installEventFilter(this);
    connect(ListView1, &QTreeWidget::itemActivated, this, [this] { editNote(); });
    connect(ListView1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popMn->popup(ListView1->viewport()->mapToGlobal(pos)); });
}

void frmMemoNote::buildPager(QWidget *frame)
{
    const auto button = [frame](const char *name, const char *caption) {
        auto *b = named(new QPushButton(QString::fromUtf8(caption), frame), name);
        b->setAutoDefault(false);
        pressOnEnter(b);
        b->setEnabled(false);
        return b;
    };
    BtnFirst = button("BtnFirst", "首页");
    BtnPre = button("BtnPre", "上一页");
    BtnNext = button("BtnNext", "下一页");
    BtnLast = button("BtnLast", "尾页");

    auto *pager = new QHBoxLayout;
    pager->addStretch();
    for (QPushButton *b : {BtnFirst, BtnPre, BtnNext, BtnLast})
        pager->addWidget(b);
    pager->addStretch();
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(ListView1, 1);
    layout->addLayout(pager);

    connect(BtnFirst, &QPushButton::clicked, this, &frmMemoNote::firstPage);
    connect(BtnPre, &QPushButton::clicked, this, [this] { memoList(m_where, m_page - 1); });
    connect(BtnNext, &QPushButton::clicked, this, [this] { memoList(m_where, m_page + 1); });
    connect(BtnLast, &QPushButton::clicked, this, &frmMemoNote::lastPage);
}

void frmMemoNote::memoList(const SqlFilter &condition, qint32 page)
{
    const QString &user = program::session().userName;
    MemoPage result;
    const auto load = [&](clsADO &db) { result = MemoStore::loadPage(db, user, condition, page); };
    bool missing = false;
    bool ok = withDbOr(load, [&](const DbError &e) {
        missing = e.kind() == DbErrorKind::NoSuchTable;
        if (!missing)
            reportDbFailure(this, e);
    });
    // A database from before memo notes, or before their counts: the tables come now.
    if (missing)
        ok = withDb(this, [&](clsADO &db) {
            MemoStore::createTables(db);
            load(db);
        });
    if (!ok)
        return;

    ListView1->clear();
    QList<QTreeWidgetItem *> rows;
    rows.reserve(qsizetype(result.rows.size()));
    for (const MemoRow &note : result.rows) {
        auto *row = new QTreeWidgetItem({chsDateTime(note.when), oneLine(note.content)});
        setRowKey(row, note.id);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Unchecked);
        rows << row;
    }
    ListView1->addTopLevelItems(rows);
    statusPanel1->setText(
        QStringLiteral("当前共有 %1 则备忘，%2/%3页").arg(result.total).arg(result.page).arg(result.pages));
    BtnFirst->setEnabled(result.page != 1);
    BtnPre->setEnabled(result.page != 1);
    BtnNext->setEnabled(result.page != result.pages);
    BtnLast->setEnabled(result.page != result.pages);
    m_page = result.page;
    m_pages = result.pages;
}

void frmMemoNote::lastPage()
{
    memoList(m_where, m_pages);
}

void frmMemoNote::quickSearch()
{
    const bool hinted = searchText->text() == hintText;
    clearHint();
    if (hinted) {
        focusAndSelect(searchText);
        return;
    }
    // An emptied box ends the search: every note again.
    m_where = searchText->text().isEmpty() ? SqlFilter() : MemoStore::quickSearch(searchText->text());
    memoList(m_where, 1);
}

bool frmMemoNote::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == searchText && event->type() == QEvent::FocusIn)
        clearHint();
    // Space ticks the current row wherever its current cell is, not only on the date.
    if (watched == ListView1 && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        QTreeWidgetItem *row = ListView1->currentItem();
        if (row && key->key() == Qt::Key_Space && !(key->modifiers() & ~Qt::KeypadModifier)) {
            row->setCheckState(0, row->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmMemoNote::clearHint()
{
    if (searchText->text() == hintText) {
        searchText->clear();
        setGrey(searchText, false);
    }
}

void frmMemoNote::newNote()
{
    openEditor(0);
}

void frmMemoNote::editNote()
{
    if (const qint64 id = selectedRowId(this, ListView1, QStringLiteral("提示：未选择要修改的记录")))
        openEditor(id);
}

void frmMemoNote::openEditor(qint64 id)
{
    newMemoNoteDialog editor(this, id);
    connect(&editor, &newMemoNoteDialog::gone, this, &frmMemoNote::firstPage);
    editor.exec();
}

void frmMemoNote::deleteChecked()
{
    if (ListView1->topLevelItemCount() == 0)
        return;
    QList<qint64> ids;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListView1->topLevelItem(i);
        if (row->checkState(0) == Qt::Checked)
            ids << rowKeyId(row);
    }
    if (ids.isEmpty())
        return refuse(this, QStringLiteral("请选择要删除记录"));
    if (!confirmDeletingRecord(this))
        return;
    const QScopedValueRollback deleting(m_deleting, true);
    if (withDb(this, [&](clsADO &db) { MemoStore::remove(db, program::session().userName, ids); }))
        memoList(m_where, m_page);
}

void frmMemoNote::deleteSelected()
{
    const qint64 id = selectedRowId(this, ListView1, QStringLiteral("提示：未选择要删除的记录"));
    if (!id)
        return;
    if (!confirmDeletingRecord(this))
        return;
    // Reloaded without the search; the pager brings it back, as the window keeps it.
    const QScopedValueRollback deleting(m_deleting, true);
    if (withDb(this, [&](clsADO &db) { MemoStore::remove(db, program::session().userName, {id}); }))
        memoList({}, m_page);
}

void frmMemoNote::firstPage()
{
    memoList(m_where, 1);
}

void frmMemoNote::search()
{
    memonoteSearchDialog dialog(this, m_where);
    connect(&dialog, &memonoteSearchDialog::chosen, this, [this](const SqlFilter &narrowed) {
        m_where = narrowed;
        firstPage();
    });
    dialog.exec();
}

} // namespace ht
