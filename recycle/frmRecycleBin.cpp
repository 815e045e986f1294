#include "recycle/frmRecycleBin.h"

#include "recycle/BinTexts.h"

#include "book/Changes.h"

#include "foundation/DateText.h"
#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ht {
namespace {

enum Column { Kind, Text, DeletedAt, Command, Count };

QTreeWidget *list(QWidget *parent, const char *name, const QString &accessibleName)
{
    auto *l = named(new QTreeWidget(parent), name);
    l->setAccessibleName(accessibleName);
    l->setRootIsDecorated(false);
    l->setUniformRowHeights(true);
    l->setAllColumnsShowFocus(true);
    l->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return l;
}

QString user()
{
    return program::session().userName;
}

} // namespace

frmRecycleBin::frmRecycleBin(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRecycleBin"));
    setWindowTitle(QStringLiteral("回收站"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    entryList = list(this, "entryList", QStringLiteral("已删除的内容"));
    entryList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    entryList->setHeaderLabels({QStringLiteral("类型"), QStringLiteral("内容"), QStringLiteral("删除时间"),
                                QStringLiteral("删除方式"), QStringLiteral("数量")});
    // The texts take what the fixed columns leave; a long one shows whole as a tip.
    const QFontMetrics fm = entryList->fontMetrics();
    QHeaderView *header = entryList->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(Text, QHeaderView::Stretch);
    header->resizeSection(Kind, fm.horizontalAdvance(QStringLiteral("收支记录")) + 24);
    header->resizeSection(DeletedAt, fm.horizontalAdvance(QStringLiteral("2000年12月28日 23点59分")) + 16);
    header->resizeSection(Command, fm.horizontalAdvance(QStringLiteral("撤销导入")) + 24);
    header->resizeSection(Count, fm.horizontalAdvance(QStringLiteral("1000000")) + 16);
    itemList = list(this, "itemList", QStringLiteral("所选条目包含的内容"));
    itemList->setSelectionMode(QAbstractItemView::NoSelection);
    auto *entriesLabel = labelFor(entryList, QStringLiteral("已删除的内容(&L)："));
    itemsLabel = labelFor(itemList, QStringLiteral("所选条目包含(&C)："));

    restoreButton = named(new QPushButton(QStringLiteral("恢复(&R)"), this), "restoreButton");
    eraseButton = named(new QPushButton(QStringLiteral("彻底删除(&D)"), this), "eraseButton");
    emptyButton = named(new QPushButton(QStringLiteral("清空回收站(&E)"), this), "emptyButton");
    closeButton = named(new QPushButton(QStringLiteral("关闭"), this), "closeButton");
    // Enter anywhere but on another button restores.
    restoreButton->setDefault(true);
    eraseAction = named(new QAction(QStringLiteral("彻底删除"), this), "eraseAction");
    eraseAction->setShortcut(QKeySequence(Qt::Key_Delete));
    addAction(eraseAction);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(restoreButton);
    buttons->addWidget(eraseButton);
    buttons->addWidget(emptyButton);
    buttons->addStretch(1);
    buttons->addWidget(closeButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(entriesLabel);
    layout->addWidget(entryList, 3);
    layout->addWidget(itemsLabel);
    layout->addWidget(itemList, 2);
    layout->addLayout(buttons);
    resize(980, 600);
    trimWhenClosed(this);

    connect(restoreButton, &QPushButton::clicked, this, &frmRecycleBin::restoreSelected);
    connect(eraseButton, &QPushButton::clicked, this, &frmRecycleBin::eraseSelected);
    connect(eraseAction, &QAction::triggered, this, &frmRecycleBin::eraseSelected);
    connect(emptyButton, &QPushButton::clicked, this, &frmRecycleBin::emptyBin);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(entryList, &QTreeWidget::currentItemChanged, this, &frmRecycleBin::showContents);
    connect(entryList, &QTreeWidget::itemSelectionChanged, this, &frmRecycleBin::updateButtons);

    reload();
    entryList->setFocus();
    connect(&book::changes(), &book::Changes::changed, this, [this](book::Change what) {
        if (what == book::Change::Bin || what == book::Change::Database)
            reload();
    });
}

void frmRecycleBin::reload()
{
    const QList<qint64> selected = selectedEntries();
    const qint64 current = entryList->currentItem() ? entryList->currentItem()->data(0, Qt::UserRole).toLongLong() : 0;
    if (!withDb(this, [&](clsADO &db) {
            m_entries = RecycleBin::entries(db, user());
            m_summaries = RecycleBin::summaries(db, user());
        }))
        return;
    const QSignalBlocker quiet(entryList);
    entryList->clear();
    QList<QTreeWidgetItem *> rows;
    for (const RecycleBin::Entry &e : std::as_const(m_entries)) {
        const RecycleBin::Summary s = m_summaries.value(e.id);
        auto *row = new QTreeWidgetItem(QStringList{recycle::kindText(e, s), recycle::mainText(e, s),
                                                    chsDateTime(e.deletedAt), e.command, QString::number(e.count)});
        row->setData(0, Qt::UserRole, e.id);
        row->setTextAlignment(Count, Qt::AlignRight | Qt::AlignVCenter);
        row->setToolTip(Text, row->text(Text));
        rows << row;
    }
    entryList->addTopLevelItems(rows);
    QTreeWidgetItem *now = rows.isEmpty() ? nullptr : rows.first();
    for (QTreeWidgetItem *row : std::as_const(rows)) {
        const qint64 id = row->data(0, Qt::UserRole).toLongLong();
        row->setSelected(selected.contains(id));
        if (id == current)
            now = row;
    }
    if (now) {
        entryList->setCurrentItem(now, 0, QItemSelectionModel::NoUpdate);
        if (entryList->selectedItems().isEmpty())
            now->setSelected(true);
    }
    showContents();
    updateButtons();
}

void frmRecycleBin::showContents()
{
    using recycle::amountText;
    itemList->clear();
    QTreeWidgetItem *current = entryList->currentItem();
    const qint64 id = current ? current->data(0, Qt::UserRole).toLongLong() : 0;
    const auto e = std::find_if(m_entries.cbegin(), m_entries.cend(), [id](const auto &e) { return e.id == id; });
    if (e == m_entries.cend())
        return;
    QList<QStringList> rows;
    const bool records = e->kind == QLatin1String("record");
    if (!withDb(this, [&](clsADO &db) {
            if (records) {
                for (const RecycleBin::BinRecord &r : RecycleBin::firstRecords(db, user(), id, shownItems))
                    rows << QStringList{chsDateTime(r.postdate),
                                        r.style == 1 ? QStringLiteral("收入") : QStringLiteral("支出"),
                                        r.category.isEmpty() ? QStringLiteral("（类别已删除）") : r.category,
                                        amountText(r.money), r.memo};
                return;
            }
            for (const RecycleBin::BinItem &i : RecycleBin::firstItems(db, user(), id, shownItems)) {
                if (e->kind == QLatin1String("bank"))
                    rows << QStringList{i.title, i.account, i.card, amountText(i.money), chsDate(i.when)};
                else
                    rows << QStringList{chsDateTime(i.when), recycle::firstLine(i.title)};
            }
        }))
        return;
    if (records)
        itemList->setHeaderLabels({QStringLiteral("日期"), QStringLiteral("收支"), QStringLiteral("类别"),
                                   QStringLiteral("金额"), QStringLiteral("备注")});
    else if (e->kind == QLatin1String("bank"))
        itemList->setHeaderLabels({QStringLiteral("开户行"), QStringLiteral("账号"), QStringLiteral("卡号"),
                                   QStringLiteral("余额"), QStringLiteral("开户日期")});
    else
        itemList->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("内容"), {}, {}, {}});
    QList<QTreeWidgetItem *> items;
    for (const QStringList &texts : std::as_const(rows))
        items << new QTreeWidgetItem(texts);
    // A large batch is summed up in the list above; its first rows are enough to recognise it.
    if (e->count > rows.size())
        items << new QTreeWidgetItem(QStringList{QStringLiteral("…… 另有 %1 项未列出").arg(e->count - rows.size())});
    itemList->addTopLevelItems(items);
    itemList->header()->resizeSections(QHeaderView::ResizeToContents);
}

void frmRecycleBin::updateButtons()
{
    const bool any = !entryList->selectedItems().isEmpty();
    restoreButton->setEnabled(any);
    eraseButton->setEnabled(any);
    eraseAction->setEnabled(any);
    emptyButton->setEnabled(entryList->topLevelItemCount() > 0);
}

QList<qint64> frmRecycleBin::selectedEntries() const
{
    QList<qint64> ids;
    for (int i = 0; i < entryList->topLevelItemCount(); ++i) {
        if (entryList->topLevelItem(i)->isSelected())
            ids << entryList->topLevelItem(i)->data(0, Qt::UserRole).toLongLong();
    }
    return ids;
}

void frmRecycleBin::restoreSelected()
{
    const QList<qint64> ids = selectedEntries();
    if (ids.isEmpty())
        return;
    recycle::RestoredTotal total;
    // Each restore reloads the list, so the loop walks a copy.
    const QList<RecycleBin::Entry> entries = m_entries;
    bool done = false;
    {
        const BusyCursor busy;
        done = withDb(this, [&](clsADO &db) {
            for (const RecycleBin::Entry &e : entries) {
                if (!ids.contains(e.id))
                    continue;
                if (const std::optional<RecycleBin::Restored> r = RecycleBin::restore(db, user(), e.id))
                    total.add(e, *r);
            }
        });
    }
    if (!done && total.isEmpty())
        return;
    showMessage(this, recycle::restoredText(total), QStringLiteral("系统提示"), MsgButtons::Ok, MsgIcon::Information);
}

void frmRecycleBin::eraseSelected()
{
    const QList<qint64> ids = selectedEntries();
    if (ids.isEmpty()
        || !askOkCancel(this, QStringLiteral("确定要彻底删除所选的 %1 项吗？彻底删除后将不能恢复。").arg(ids.size()),
                        QStringLiteral("删除提示"), MsgIcon::Question))
        return;
    const BusyCursor busy;
    withDb(this, [&](clsADO &db) {
        for (const qint64 id : ids)
            RecycleBin::erase(db, user(), id);
    });
}

void frmRecycleBin::emptyBin()
{
    if (entryList->topLevelItemCount() == 0
        || !askOkCancel(this, QStringLiteral("确定要清空回收站吗？其中的内容将被彻底删除，不能恢复。"),
                        QStringLiteral("删除提示"), MsgIcon::Question))
        return;
    const BusyCursor busy;
    withDb(this, [&](clsADO &db) { RecycleBin::eraseAll(db, user()); });
}

} // namespace ht
