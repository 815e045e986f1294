// Building the main window's controls; the behaviour lives in MainWindow.cpp.
#include "LedgerModel.h"
#include "MainWindow.h"
#include "Pictures.h"
#include "Program.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ht {
namespace {

QIcon icon(const char *name)
{
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

QLabel *totalLabel(QWidget *parent, const char *name, const QString &text, const QColor &color = {})
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    if (color.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, color);
        l->setPalette(p);
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QTreeView *ledgerView(QWidget *parent, const char *name, LedgerModel *model)
{
    auto *v = new QTreeView(parent);
    v->setObjectName(QLatin1String(name));
    v->setModel(model);
    v->setRootIsDecorated(false);
    v->setItemsExpandable(false);
    v->setUniformRowHeights(true); // keeps a hundred thousand rows cheap to lay out
    v->setAllColumnsShowFocus(true);
    v->setAlternatingRowColors(true);
    v->setSelectionMode(QAbstractItemView::SingleSelection);
    v->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->setEditTriggers(QAbstractItemView::NoEditTriggers);
    v->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *h = v->header();
    h->setSectionsMovable(false);
    h->setSectionResizeMode(QHeaderView::Interactive);
    // Only the remark column takes the spare width; date, category and amount keep theirs.
    h->setStretchLastSection(true);
    h->setMinimumSectionSize(40);
    h->resizeSection(0, 120);
    h->resizeSection(1, 100);
    h->resizeSection(2, 100);
    return v;
}

} // namespace

void main::buildToolbar()
{
    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    Toolbar1->toggleViewAction()->setEnabled(false);
    const struct {
        QAction *action;
        const char *caption;
        const char *icon;
    } buttons[] = {{mm_add, "收入", "income"},           {mm_out, "支出", "expense"},
                   {mm_search, "查询", "search"},        {mm_Del, "批量删除", "batch-delete"},
                   {mm_types, "类别管理", "categories"}, {mm_users, "用户管理", "users"},
                   {mm_banks, "银行账号", "banks"},      {mm_about, "关于", "about"},
                   {nullptr, nullptr, nullptr},          {mm_memoNote, "备忘录", "memo"},
                   {mm_calc, "计算器", "calculator"},    {mm_exit, "退出", "exit"}};
    int index = 0;
    for (const auto &b : buttons) {
        ++index;
        if (!b.action) {
            Toolbar1->addSeparator();
            continue;
        }
        // The button's caption is shorter than the menu item's text; both run the same command.
        auto *button = new QToolButton(Toolbar1);
        button->setObjectName(QStringLiteral("Toolbar1_%1").arg(index));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(Toolbar1->iconSize());
        button->setIcon(icon(b.icon));
        button->setText(QString::fromUtf8(b.caption));
        button->setAutoRaise(true);
        button->setMinimumWidth(56);
        connect(button, &QToolButton::clicked, b.action, &QAction::trigger);
        Toolbar1->addWidget(button);
    }
    addToolBar(Qt::TopToolBarArea, Toolbar1);
}

void main::buildPeriodStrip()
{
    Frame5 = new QGroupBox(this);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Frame5->setFixedWidth(76);
    Toolbar2 = new QToolBar(Frame5);
    Toolbar2->setObjectName(QStringLiteral("Toolbar2"));
    Toolbar2->setOrientation(Qt::Vertical);
    Toolbar2->setIconSize(QSize(16, 16));
    Toolbar2->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const struct {
        const char *caption;
        const char *tip;
        const char *icon;
    } fixed[] = {{"全部", "查询全部记录", "period-all"},
                 {"本年", "查询本年度所有记录", "period-year"},
                 {"本月", "本月记录", "period-month"},
                 {"今日", "今天的记录", "period-today"}};
    for (int index = 1; index <= 16; ++index) {
        QString caption, tip;
        const char *iconName = "period-month-n";
        if (index <= 4) {
            caption = QString::fromUtf8(fixed[index - 1].caption);
            tip = QString::fromUtf8(fixed[index - 1].tip);
            iconName = fixed[index - 1].icon;
        } else {
            caption = QString::number(index - 4);
            tip = QStringLiteral("今年%1月份记录").arg(index - 4);
        }
        QAction *a = Toolbar2->addAction(icon(iconName), caption);
        a->setObjectName(QStringLiteral("Toolbar2_%1").arg(index));
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, index] { periodClicked(index); });
        if (QWidget *button = Toolbar2->widgetForAction(a))
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    auto *layout = new QVBoxLayout(Frame5);
    layout->setContentsMargins(2, 4, 2, 4);
    layout->addWidget(Toolbar2);
    layout->addStretch();
}

void main::buildLists()
{
    Frame1 = new QGroupBox(QStringLiteral("收入"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    ListView1 = ledgerView(Frame1, "ListView1", m_income);
    auto *l1 = new QVBoxLayout(Frame1);
    l1->setContentsMargins(4, 4, 4, 4);
    l1->addWidget(ListView1);

    Frame2 = new QGroupBox(QStringLiteral("支出"), this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    ListView2 = ledgerView(Frame2, "ListView2", m_expense);
    auto *l2 = new QVBoxLayout(Frame2);
    l2->setContentsMargins(4, 4, 4, 4);
    l2->addWidget(ListView2);
}

void main::buildTotals()
{
    Frame3 = new QGroupBox(this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Label1 = totalLabel(Frame3, "Label1", QStringLiteral("总收入："));
    Label2 = totalLabel(Frame3, "Label2", QStringLiteral("￥0.00"), QColor(0, 128, 0));
    Label3 = totalLabel(Frame3, "Label3", QStringLiteral("结余："));
    Label4 = totalLabel(Frame3, "Label4", QStringLiteral("￥0.00"), QColor(255, 0, 0));
    auto *l3 = new QHBoxLayout(Frame3);
    l3->setContentsMargins(8, 4, 8, 4);
    l3->addWidget(Label1);
    l3->addWidget(Label2);
    l3->addSpacing(24);
    l3->addWidget(Label3);
    l3->addWidget(Label4);
    l3->addStretch();

    Frame4 = new QGroupBox(this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Label5 = totalLabel(Frame4, "Label5", QStringLiteral("总支出："));
    Label6 = totalLabel(Frame4, "Label6", QStringLiteral("￥0.00"), QColor(255, 0, 0));
    auto *l4 = new QHBoxLayout(Frame4);
    l4->setContentsMargins(8, 4, 8, 4);
    l4->addWidget(Label5);
    l4->addWidget(Label6);
    l4->addStretch();
}

void main::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    auto panel = [bar](const char *name, int share) {
        auto *l = new QLabel(bar);
        l->setObjectName(QLatin1String(name));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(10);
        bar->addWidget(l, share);
        return l;
    };
    statusPanel1 = panel("statusPanel1", 41);
    statusPanel2 = panel("statusPanel2", 31);
    statusPanel3 = panel("statusPanel3", 28);
}

} // namespace ht
