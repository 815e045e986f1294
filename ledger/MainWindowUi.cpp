// Building the main window's controls; the behaviour lives in MainWindow.cpp.
#include "ledger/LedgerModel.h"
#include "ledger/MainWindow.h"
#include "foundation/Icons.h"
#include "foundation/Program.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace ht {
namespace {

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
    // Several rows may be selected (Shift, Ctrl) for export; modify and delete act on the current one.
    v->setSelectionMode(QAbstractItemView::ExtendedSelection);
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

void MainWindow::buildToolbar()
{
    m_commandBar = new QToolBar(this);
    m_commandBar->setObjectName(QStringLiteral("Toolbar1"));
    m_commandBar->setMovable(false);
    m_commandBar->setFloatable(false);
    m_commandBar->setIconSize(QSize(24, 24));
    m_commandBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_commandBar->toggleViewAction()->setEnabled(false);
    const struct {
        const char *command;
        const char *caption;
        const char *icon;
        const char *name = nullptr; // a button added later keeps the older ones' numbers
    } buttons[] = {{"mm_add", "收入", "income"},
                   {"mm_out", "支出", "expense"},
                   {"mm_import", "导入", "import", "Toolbar1_import"},
                   {"mm_search", "查询", "search"},
                   {"mm_chart", "统计", "chart", "Toolbar1_chart"},
                   {"mm_Del", "批量删除", "batch-delete"},
                   {"mm_types", "类别管理", "categories"},
                   {"mm_users", "用户管理", "users"},
                   {"mm_banks", "银行账号", "banks"},
                   {"mm_about", "关于", "about"},
                   {nullptr, nullptr, nullptr},
                   {"mm_memoNote", "备忘录", "memo"},
                   {"mm_calc", "计算器", "calculator"},
                   {"mm_exit", "退出", "exit"}};
    int index = 0;
    for (const auto &b : buttons) {
        index += !b.name;
        if (!b.command) {
            m_commandBar->addSeparator();
            continue;
        }
        // The button's caption is shorter than the menu item's text; both run the same command.
        auto *button = new QToolButton(m_commandBar);
        button->setObjectName(b.name ? QString::fromLatin1(b.name) : QStringLiteral("Toolbar1_%1").arg(index));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(m_commandBar->iconSize());
        button->setIcon(icon(b.icon));
        button->setText(QString::fromUtf8(b.caption));
        button->setAutoRaise(true);
        button->setMinimumWidth(56);
        connect(button, &QToolButton::clicked, command(b.command), &QAction::trigger);
        m_commandBar->addWidget(button);
    }
    addToolBar(Qt::TopToolBarArea, m_commandBar);
}

void MainWindow::buildPeriodStrip()
{
    m_periodFrame = new QGroupBox(this);
    m_periodFrame->setObjectName(QStringLiteral("Frame5"));
    m_periodFrame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_periodBar = new QToolBar(m_periodFrame);
    m_periodBar->setObjectName(QStringLiteral("Toolbar2"));
    m_periodBar->setOrientation(Qt::Vertical);
    m_periodBar->setIconSize(QSize(16, 16));
    m_periodBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
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
        QAction *a = m_periodBar->addAction(icon(iconName), caption);
        a->setObjectName(QStringLiteral("Toolbar2_%1").arg(index));
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, [this, index] { periodClicked(index); });
    }
    // All as wide as the widest: the style then lines every picture and caption up on
    // the left, where buttons of their own widths would each be centred.
    int widest = 0;
    for (QAction *a : m_periodBar->actions())
        widest = qMax(widest, m_periodBar->widgetForAction(a)->sizeHint().width());
    for (QAction *a : m_periodBar->actions())
        m_periodBar->widgetForAction(a)->setFixedWidth(widest + 8);
    auto *layout = new QVBoxLayout(m_periodFrame);
    layout->setContentsMargins(2, 4, 2, 4);
    layout->addWidget(m_periodBar);
    layout->addStretch();
}

void MainWindow::buildLists()
{
    const auto frame =
        [this](const char *name, const QString &title, QTreeView *&view, const char *viewName, LedgerModel *model) {
        auto *box = new QGroupBox(title, this);
        box->setObjectName(QLatin1String(name));
        view = ledgerView(box, viewName, model);
        view->setAccessibleName(title + QStringLiteral("记录"));
        auto *layout = new QVBoxLayout(box);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(view);
        return box;
    };
    m_incomeFrame = frame("Frame1", QStringLiteral("收入"), m_incomeList, "ListView1", m_income);
    m_expenseFrame = frame("Frame2", QStringLiteral("支出"), m_expenseList, "ListView2", m_expense);
}

void MainWindow::buildTotals()
{
    // A row of labels in a box; a gap where the list has none.
    const auto frame = [this](const char *name, std::initializer_list<QLabel *> labels) {
        auto *box = new QGroupBox(this);
        box->setObjectName(QLatin1String(name));
        auto *row = new QHBoxLayout(box);
        row->setContentsMargins(8, 4, 8, 4);
        for (QLabel *label : labels) {
            if (label)
                row->addWidget(label);
            else
                row->addSpacing(24);
        }
        row->addStretch();
        return box;
    };
    QLabel *incomeCaption = totalLabel(this, "Label1", QStringLiteral("总收入："));
    m_incomeLabel = totalLabel(this, "Label2", QStringLiteral("￥0.00"), QColor(0, 128, 0));
    QLabel *balanceCaption = totalLabel(this, "Label3", QStringLiteral("结余："));
    m_balanceLabel = totalLabel(this, "Label4", QStringLiteral("￥0.00"), QColor(255, 0, 0));
    QLabel *expenseCaption = totalLabel(this, "Label5", QStringLiteral("总支出："));
    m_expenseLabel = totalLabel(this, "Label6", QStringLiteral("￥0.00"), QColor(255, 0, 0));
    m_incomeTotalsFrame = frame("Frame3", {incomeCaption, m_incomeLabel, nullptr, balanceCaption, m_balanceLabel});
    m_expenseTotalsFrame = frame("Frame4", {expenseCaption, m_expenseLabel});
}

void MainWindow::fitMinimumSize()
{
    // A toolbar's own minimum hides what does not fit behind an extension arrow.
    m_commandBar->setMinimumWidth(m_commandBar->sizeHint().width());
    m_periodBar->setMinimumHeight(m_periodBar->sizeHint().height());
    for (QTreeView *view : {m_incomeList, m_expenseList}) {
        const QHeaderView *h = view->header();
        const int fixed = h->sectionSize(0) + h->sectionSize(1) + h->sectionSize(2);
        view->setMinimumWidth(fixed + 100 + view->verticalScrollBar()->sizeHint().width() + 2 * view->frameWidth());
    }
    // The status panels keep room for what they show; the clock's width never changes.
    const QString widestClock = QStringLiteral("系统时间：2000年12月28日  星期三 23:59:59");
    for (QLabel *panel : {m_welcomePanel, m_userPanel, m_clockPanel}) {
        const QString text = panel == m_clockPanel ? widestClock : panel->text();
        panel->setMinimumWidth(panel->fontMetrics().horizontalAdvance(text) + 4 * panel->frameWidth() + 8);
    }
}

void MainWindow::offer(const QString &message, QAction *action)
{
    m_offerText->setText(message);
    m_offerButton->disconnect(this);
    disconnect(m_offerWatch);
    m_offerButton->setVisible(action);
    if (action) {
        // Undone or gone some other way: nothing left to offer.
        m_offerWatch = connect(action, &QAction::enabledChanged, m_offer, [this](bool enabled) {
            if (!enabled)
                m_offer->hide();
        });
        m_offerButton->setText(action->iconText());
        m_offerButton->setAccessibleName(action->iconText());
        m_offerButton->setToolTip(action->toolTip() + QLatin1Char(' ')
                                  + action->shortcut().toString(QKeySequence::NativeText));
        connect(m_offerButton, &QToolButton::clicked, this, [this, action] {
            m_offer->hide();
            action->trigger();
        });
    }
    m_offer->show();
    m_offerTimer->start();
}

void MainWindow::buildStatusBar()
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
    // Left of the panels while it has something to say.
    m_offer = new QWidget(bar);
    m_offer->setObjectName(QStringLiteral("statusOffer"));
    auto *row = new QHBoxLayout(m_offer);
    row->setContentsMargins(4, 0, 4, 0);
    m_offerText = new QLabel(m_offer);
    m_offerText->setObjectName(QStringLiteral("statusOfferText"));
    m_offerButton = new QToolButton(m_offer);
    m_offerButton->setObjectName(QStringLiteral("statusOfferButton"));
    row->addWidget(m_offerText);
    row->addWidget(m_offerButton);
    bar->addWidget(m_offer);
    m_offer->hide();
    m_offerTimer = new QTimer(this);
    m_offerTimer->setSingleShot(true);
    m_offerTimer->setInterval(10'000);
    connect(m_offerTimer, &QTimer::timeout, m_offer, &QWidget::hide);
    m_welcomePanel = panel("statusPanel1", 41);
    m_userPanel = panel("statusPanel2", 31);
    m_clockPanel = panel("statusPanel3", 28);
    // As tall as with the offer's button, so that the lists do not jump when it comes.
    bar->setMinimumHeight(m_offer->sizeHint().height());
}

} // namespace ht
