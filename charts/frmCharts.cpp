#include "charts/frmCharts.h"

#include "charts/ChartCanvas.h"
#include "charts/ChartPage.h"
#include "charts/PeriodChooser.h"

#include "book/Changes.h"
#include "book/LedgerStore.h"

#include "foundation/DbTask.h"
#include "foundation/FileDialog.h"
#include "foundation/MessageBox.h"
#include "foundation/Program.h"
#include "ledger/LedgerLists.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace ht {
namespace {

QComboBox *classBox(QWidget *parent, const char *name)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->addItem(QStringLiteral("支出"), 0);
    box->addItem(QStringLiteral("收入"), 1);
    return box;
}

QHBoxLayout *chooserRow(QWidget *box, const QString &caption, QWidget *more)
{
    auto *row = new QHBoxLayout;
    auto *label = new QLabel(caption, box->parentWidget());
    label->setBuddy(box);
    row->addWidget(label);
    row->addWidget(box);
    if (more)
        row->addWidget(more);
    row->addStretch();
    return row;
}

QString yuan(Money m)
{
    return Money::yuan(m.text());
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

frmCharts::frmCharts(LedgerLists *lists, QWidget *parent) : QDialog(parent), m_lists(lists)
{
    setObjectName(QStringLiteral("frmCharts"));
    setWindowTitle(QStringLiteral("收支统计"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabCharts"));
    tabs->addTab(yearPage(), QStringLiteral("年度收支(&1)"));
    tabs->addTab(slicePage(), QStringLiteral("类别构成(&2)"));
    tabs->addTab(comparePage(), QStringLiteral("同比环比(&3)"));

    cmdExport = new QPushButton(QStringLiteral("导出图片(&E)"), this);
    cmdExport->setObjectName(QStringLiteral("cmdExport"));
    cmdPrint = new QPushButton(QStringLiteral("打印(&P)"), this);
    cmdPrint->setObjectName(QStringLiteral("cmdPrint"));
    cmdClose = new QPushButton(QStringLiteral("关闭"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {cmdExport, cmdPrint, cmdClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
    resize(900, 620);

    connect(cmdExport, &QPushButton::clicked, this, &frmCharts::exportImage);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { printChart(picture(), heading(), this); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
    connect(&book::changes(), &book::Changes::changed, this, [this](book::Change what) {
        if (what == book::Change::Records || what == book::Change::Categories || what == book::Change::Database) {
            loadYear();
            loadSlices();
            loadCompare();
        }
    });
    loadYear();
    loadSlices();
    loadCompare();
    yearBox->setFocus();
}

QWidget *frmCharts::yearPage()
{
    auto *page = new QWidget(this);
    yearBox = new QSpinBox(page);
    yearBox->setObjectName(QStringLiteral("spnYear"));
    yearBox->setRange(1900, 9999);
    yearBox->setValue(QDate::currentDate().year());
    yearChart = new ChartCanvas(page);
    yearChart->setObjectName(QStringLiteral("chtYear"));
    yearTotals = new QLabel(page);
    yearTotals->setObjectName(QStringLiteral("lblYearTotals"));
    yearTotals->setMinimumWidth(180);
    yearTotals->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    yearTotals->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *body = new QHBoxLayout;
    body->addWidget(yearChart, 1);
    body->addWidget(yearTotals);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(chooserRow(yearBox, QStringLiteral("年份(&Y)："), nullptr));
    layout->addLayout(body, 1);
    connect(yearBox, &QSpinBox::valueChanged, this, &frmCharts::loadYear);
    connect(yearChart, &ChartCanvas::activated, this, &frmCharts::drillMonth);
    return page;
}

QWidget *frmCharts::slicePage()
{
    auto *page = new QWidget(this);
    sliceClass = classBox(page, "cboSliceClass");
    slicePeriod = new PeriodChooser(page);
    sliceChart = new ChartCanvas(page);
    sliceChart->setObjectName(QStringLiteral("chtCategories"));
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(chooserRow(sliceClass, QStringLiteral("收支(&K)："), slicePeriod));
    layout->addWidget(sliceChart, 1);
    connect(sliceClass, &QComboBox::currentIndexChanged, this, &frmCharts::loadSlices);
    connect(slicePeriod, &PeriodChooser::changed, this, &frmCharts::loadSlices);
    connect(sliceChart, &ChartCanvas::activated, this, [this](int index) {
        drillCategory(sliceClass->currentData().toInt(), slicePeriod->period(), m_slices[size_t(index)].key);
    });
    return page;
}

QWidget *frmCharts::comparePage()
{
    auto *page = new QWidget(this);
    compareClass = classBox(page, "cboCompareClass");
    comparePeriod = new PeriodChooser(page);
    compareTable = new QTableWidget(0, 6, page);
    compareTable->setObjectName(QStringLiteral("tblCompare"));
    compareTable->setAccessibleName(QStringLiteral("同比环比"));
    compareTable->setHorizontalHeaderLabels({QStringLiteral("类别"), QStringLiteral("本期"), QStringLiteral("上期"),
                                             QStringLiteral("环比"), QStringLiteral("去年同期"),
                                             QStringLiteral("同比")});
    compareTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    compareTable->setSelectionMode(QAbstractItemView::SingleSelection);
    compareTable->setTabKeyNavigation(false);
    compareTable->verticalHeader()->hide();
    compareTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(chooserRow(compareClass, QStringLiteral("收支(&K)："), comparePeriod));
    layout->addWidget(compareTable, 1);
    connect(compareClass, &QComboBox::currentIndexChanged, this, &frmCharts::loadCompare);
    connect(comparePeriod, &PeriodChooser::changed, this, &frmCharts::loadCompare);
    connect(compareTable, &QTableWidget::itemActivated, this, [this](QTableWidgetItem *item) {
        drillCategory(compareClass->currentData().toInt(), comparePeriod->period(), m_compare[size_t(item->row())].key);
    });
    return page;
}

void frmCharts::loadYear()
{
    const int year = yearBox->value();
    YearSums sums;
    if (!withDb(this, [&](clsADO &db) { sums = ChartStore::yearSums(db, program::session().userName, year); }))
        return;
    yearChart->showYear(sums, year);
    Money income, expense;
    for (size_t m = 0; m < 12; ++m) {
        income += sums.income[m];
        expense += sums.expense[m];
    }
    yearTotals->setText(QStringLiteral("%1年合计\n\n收入：%2\n支出：%3\n结余：%4")
                            .arg(year)
                            .arg(yuan(income), yuan(expense), yuan(income - expense)));
}

void frmCharts::loadSlices()
{
    const int cls = sliceClass->currentData().toInt();
    const DayPeriod period = slicePeriod->period();
    std::vector<CategorySum> sums;
    if (!withDb(this,
                [&](clsADO &db) { sums = ChartStore::categorySums(db, program::session().userName, cls, period); }))
        return;
    m_slices = gatherSmall(std::move(sums));
    sliceChart->showSlices(m_slices,
                           periodText(period) + (cls ? QStringLiteral("收入构成") : QStringLiteral("支出构成")));
}

void frmCharts::loadCompare()
{
    const int cls = compareClass->currentData().toInt();
    const DayPeriod period = comparePeriod->period();
    if (!withDb(this,
                [&](clsADO &db) { m_compare = ChartStore::compareSums(db, program::session().userName, cls, period); }))
        return;
    compareTable->setRowCount(0);
    if (m_compare.empty()) {
        compareTable->setRowCount(1);
        compareTable->setItem(0, 0, cell(QStringLiteral("暂无数据"), Qt::AlignLeft | Qt::AlignVCenter));
        compareTable->item(0, 0)->setFlags(Qt::ItemIsEnabled);
        return;
    }
    compareTable->setRowCount(int(m_compare.size()));
    for (int r = 0; r < int(m_compare.size()); ++r) {
        const CategoryCompare &c = m_compare[size_t(r)];
        compareTable->setItem(r, 0, cell(c.name, Qt::AlignLeft | Qt::AlignVCenter));
        compareTable->setItem(r, 1, cell(yuan(c.now)));
        int column = 2;
        for (Money earlier : {c.previous, c.yearAgo}) {
            const Money change = c.now - earlier;
            const QString arrow = change > Money() ? QStringLiteral("▲ ")
                : change < Money()                 ? QStringLiteral("▼ ")
                                                   : QString();
            compareTable->setItem(r, column, cell(yuan(earlier)));
            QTableWidgetItem *item = cell(arrow + yuan(change) + QStringLiteral("  ") + changePercent(earlier, c.now));
            // Spending that rises is what a family looks for.
            if (cls == 0 && change > Money()) {
                item->setForeground(QColor(0xC0, 0, 0));
                item->setToolTip(QStringLiteral("支出增加"));
            }
            compareTable->setItem(r, column + 1, item);
            column += 2;
        }
    }
}

void frmCharts::drillMonth(int month)
{
    const QDate first(yearBox->value(), month + 1, 1);
    m_lists->applyQuery(dateRange(first, first.addMonths(1).addDays(-1)), -1);
}

void frmCharts::drillCategory(int cls, const DayPeriod &period, const CategoryKey &key)
{
    if (key.typeIds.empty() && !key.withoutType)
        return;
    SqlFilter filter = period.filter();
    m_lists->applyQuery(filter.add(key.filter(cls)), cls);
}

QWidget *frmCharts::picture() const
{
    switch (tabs->currentIndex()) {
    case 0: return yearChart;
    case 1: return sliceChart;
    default: return compareTable;
    }
}

QString frmCharts::heading() const
{
    const QString user = program::session().userName;
    switch (tabs->currentIndex()) {
    case 0: return QStringLiteral("%1 %2年收支").arg(user).arg(yearBox->value());
    case 1: return user + u' ' + periodText(slicePeriod->period()) + sliceClass->currentText() + QStringLiteral("构成");
    default:
        return user + u' ' + periodText(comparePeriod->period()) + compareClass->currentText()
            + QStringLiteral("同比环比");
    }
}

void frmCharts::exportImage()
{
    QString path = chooseFile(this,
                              {FileDialogKind::Save, QStringLiteral("导出图片"), QStringLiteral("收支统计.png"),
                               QStringLiteral("PNG 图片(*.png);;PDF 文件(*.pdf)")});
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)
        && !path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    if (!saveChartImage(picture(), heading(), path))
        showMessage(this, QStringLiteral("图片无法保存：") + path, QStringLiteral("导出图片"), MsgButtons::Ok,
                    MsgIcon::Critical);
}

} // namespace ht
