#include "categories/frmTypes.h"

#include "categories/newtypeDialog.h"

#include "book/Changes.h"
#include "book/RecordStore.h"
#include "book/TypesStore.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/Icons.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace ht {
namespace {

const QString systemTitle = QStringLiteral("系统提示");

} // namespace

frmTypes::frmTypes(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTypes"));
    setWindowTitle(QStringLiteral("类别管理"));
    if (parent)
        setWindowIcon(parent->windowIcon());

    // One box per class: its toolbar (add, rename, delete) above its list.
    const auto column = [this](int iFlag, const char *name, const QString &title, QToolBar *&bar, QListWidget *&items) {
        auto *box = new QGroupBox(title, this);
        box->setObjectName(QLatin1String(name));
        const QString n = QString::number(iFlag == 1 ? 1 : 2);
        bar = new QToolBar(box);
        bar->setObjectName(QStringLiteral("Toolbar") + n);
        bar->setIconSize(QSize(20, 20));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        // The toolbar takes no focus; its keys work wherever the focus is in the box (Enter
        // in the list renames).
        const std::tuple<const char *, const char *, Qt::Key, std::function<void()>> buttons[] = {
            {"添加", "item-add", Qt::Key_Insert, [this, iFlag] { openDialog(iFlag, 0); }},
            {"修改", "item-edit", Qt::Key_unknown, [this, iFlag] { modiType(iFlag); }},
            {"删除", "item-delete", Qt::Key_Delete, [this, iFlag] { delType(iFlag); }}};
        int k = 0;
        for (const auto &[caption, picture, key, run] : buttons) {
            QAction *a = bar->addAction(icon(picture), QString::fromUtf8(caption));
            a->setObjectName(bar->objectName() + QStringLiteral("_%1").arg(++k));
            if (key != Qt::Key_unknown)
                a->setShortcut(key);
            a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            box->addAction(a);
            connect(a, &QAction::triggered, this, run);
        }
        items = new QListWidget(box);
        items->setObjectName(QStringLiteral("List") + n);
        items->setAccessibleName(title);
        // A double click or Enter renames.
        connect(items, &QListWidget::itemActivated, this, [this, iFlag] { modiType(iFlag); });
        auto *layout = new QVBoxLayout(box);
        layout->addWidget(bar);
        layout->addWidget(items);
        return box;
    };
    Frame1 = column(1, "Frame1", QStringLiteral("收入类别"), Toolbar1, List1);
    Frame2 = column(0, "Frame2", QStringLiteral("支出类别"), Toolbar2, List2);

    Command1 = dialogButton(this, "Command1", QStringLiteral("关闭"));
    Command1->setIcon(icon("close"));
    Command1->setIconSize(QSize(20, 20));
    pressOnEnter(Command1);
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 0, 1);
    grid->addWidget(Command1, 1, 0, 1, 2, Qt::AlignRight);
    resize(520, 420);
    trimWhenClosed(this);

    withDb(this, [](clsADO &db) { TypesStore::upgradeOwners(db); });
    typeList(1);
    typeList(0);
    connect(&book::changes(), &book::Changes::changed, this, [this](book::Change what, int cls) {
        if (what == book::Change::Categories)
            typeList(cls);
    });
}

void frmTypes::typeList(int iFlag)
{
    QList<Category> types;
    if (!withDb(this, [&](clsADO &db) { types = RecordStore::categories(db, program::session().userName, iFlag); }))
        return;
    QListWidget *items = list(iFlag);
    items->clear();
    int n = 0;
    for (const Category &c : types) {
        auto *item = new QListWidgetItem(QString::number(++n) + QLatin1Char('.') + c.name, items);
        item->setData(Qt::UserRole, c.id);
    }
}

qint64 frmTypes::selectedId(int iFlag, const QString &noSelection)
{
    const QListWidgetItem *item = list(iFlag)->currentItem();
    if (!item || !item->isSelected()) {
        refuse(this, noSelection);
        return 0;
    }
    return item->data(Qt::UserRole).toLongLong();
}

void frmTypes::modiType(int iFlag)
{
    const QString what = iFlag == 1 ? QStringLiteral("收入") : QStringLiteral("支出");
    const qint64 id = selectedId(iFlag, QStringLiteral("请选择要修改的") + what + QStringLiteral("类别项"));
    if (!id)
        return;
    std::optional<TypesStore::Type> type;
    if (!withDb(this, [&](clsADO &db) { type = TypesStore::visible(db, program::session().userName, id); }))
        return;
    // Renaming a shared category would rename it for every user.
    if (type && type->builtIn)
        return refuse(this, QStringLiteral("系统内置类别不能修改"));
    openDialog(iFlag, id);
}

void frmTypes::delType(int iFlag)
{
    const QString what = iFlag == 1 ? QStringLiteral("收入") : QStringLiteral("支出");
    const qint64 id = selectedId(iFlag, QStringLiteral("请选择要删除的") + what + QStringLiteral("类别项"));
    if (!id)
        return;
    const QString &user = program::session().userName;
    std::optional<TypesStore::Type> type;
    if (!withDb(this, [&](clsADO &db) { type = TypesStore::visible(db, user, id); }))
        return;
    if (type && type->builtIn)
        return refuse(this, QStringLiteral("系统内置类别不能删除"));
    if (!askOkCancel(this, QStringLiteral("删除类别后此类别对应的收支记录将不能正常显示\r\n\r\n确定要删除此类别吗？"),
                     systemTitle, MsgIcon::Critical))
        return;
    // A removal reloads the list through the change signal; one that found nothing
    // reads it afresh all the same.
    bool removed = false;
    if (withDb(this, [&](clsADO &db) { removed = TypesStore::remove(db, user, id); }) && !removed)
        typeList(iFlag);
}

void frmTypes::openDialog(int iFlag, qint64 id)
{
    newtypeDialog dialog(this, iFlag, id);
    dialog.exec();
}

} // namespace ht
