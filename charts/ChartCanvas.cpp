#include "charts/ChartCanvas.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QKeyEvent>
#include <QLineSeries>
#include <QPieSeries>
#include <QValueAxis>

namespace ht {
namespace {

// Clearly different hues, so that neighbouring slices never look alike.
const QColor hues[] = {QColor(0x4E79A7), QColor(0xF28E2B), QColor(0xE15759), QColor(0x76B7B2),
                       QColor(0x59A14F), QColor(0xEDC948), QColor(0xB07AA1), QColor(0xFF9DA7),
                       QColor(0x9C755F), QColor(0x17BECF), QColor(0x8C564B), QColor(0xBCBD22)};
const QColor othersColor(0xBAB0AC);

QString yuan(Money m)
{
    return Money::yuan(m.text());
}

} // namespace

ChartCanvas::ChartCanvas(QWidget *parent) : QChartView(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setRenderHint(QPainter::Antialiasing);
    setAccessibleName(QStringLiteral("统计图"));
    setMinimumSize(480, 320);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(2);
    showFocus(false);
}

void ChartCanvas::showFocus(bool focused)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, focused ? p.color(QPalette::Highlight) : p.color(QPalette::Window));
    setPalette(p);
}

void ChartCanvas::focusInEvent(QFocusEvent *event)
{
    showFocus(true);
    QChartView::focusInEvent(event);
}

void ChartCanvas::focusOutEvent(QFocusEvent *event)
{
    showFocus(false);
    QChartView::focusOutEvent(event);
}

QChart *ChartCanvas::replaceChart(const QString &title, int count)
{
    QChart *old = chart();
    auto *c = new QChart;
    c->setTitle(title);
    QFont font = c->titleFont();
    font.setPointSize(count ? 12 : 18);
    font.setBold(true);
    c->setTitleFont(font);
    c->setAnimationOptions(QChart::NoAnimation);
    setChart(c);
    delete old;
    m_count = count;
    m_current = count ? 0 : -1;
    m_itemTexts.clear();
    return c;
}

void ChartCanvas::showYear(const YearSums &sums, int year)
{
    bool any = false;
    for (size_t m = 0; m < 12; ++m)
        any = any || sums.income[m] != Money() || sums.expense[m] != Money();
    QChart *c = replaceChart(any ? QStringLiteral("%1年收支").arg(year) : QStringLiteral("暂无数据"), any ? 12 : 0);
    if (!any)
        return;
    auto *income = new QBarSet(QStringLiteral("收入"));
    auto *expense = new QBarSet(QStringLiteral("支出"));
    income->setColor(QColor(0x59A14F));
    expense->setColor(QColor(0xE15759));
    auto *balance = new QLineSeries;
    balance->setName(QStringLiteral("结余"));
    balance->setPen(QPen(QColor(0x4E79A7), 3));
    QStringList months;
    double low = 0, high = 0;
    for (int m = 0; m < 12; ++m) {
        const Money left = sums.income[size_t(m)] - sums.expense[size_t(m)];
        const double values[] = {sums.income[size_t(m)].toDouble(), sums.expense[size_t(m)].toDouble(),
                                 left.toDouble()};
        *income << values[0];
        *expense << values[1];
        balance->append(m, values[2]);
        for (double v : values) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
        months << QStringLiteral("%1月").arg(m + 1);
        m_itemTexts << QStringLiteral("%1月 收入%2 支出%3 结余%4")
                           .arg(m + 1)
                           .arg(yuan(sums.income[size_t(m)]), yuan(sums.expense[size_t(m)]), yuan(left));
    }
    for (QBarSet *set : {income, expense}) {
        set->setSelectedColor(set->color().darker(160));
        connect(set, &QBarSet::clicked, this, [this](int index) {
            setCurrent(index);
            emit activated(index);
        });
    }
    auto *bars = new QBarSeries;
    bars->append(income);
    bars->append(expense);
    c->addSeries(bars);
    c->addSeries(balance);
    auto *axisX = new QBarCategoryAxis;
    axisX->append(months);
    auto *axisY = new QValueAxis;
    axisY->setRange(low, high > low ? high : low + 1);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    c->addAxis(axisX, Qt::AlignBottom);
    c->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries *s : {static_cast<QAbstractSeries *>(bars), static_cast<QAbstractSeries *>(balance)}) {
        s->attachAxis(axisX);
        s->attachAxis(axisY);
    }
    c->legend()->setAlignment(Qt::AlignBottom);
    highlight();
}

void ChartCanvas::showSlices(const std::vector<CategorySum> &sums, const QString &title)
{
    Money whole;
    for (const CategorySum &s : sums)
        whole += s.amount;
    const bool any = !sums.empty() && whole > Money();
    QChart *c = replaceChart(any ? title : QStringLiteral("暂无数据"), any ? int(sums.size()) : 0);
    if (!any)
        return;
    auto *donut = new QPieSeries;
    donut->setHoleSize(0.4);
    donut->setPieSize(0.7);
    for (size_t i = 0; i < sums.size(); ++i) {
        const CategorySum &s = sums[i];
        const double share = double(s.amount.cents()) / double(whole.cents()) * 100.0;
        const QString text = QStringLiteral("%1 %2 (%3%)").arg(s.name, yuan(s.amount), QString::number(share, 'f', 1));
        // A slice cannot be drawn below zero; its text still counts it.
        QPieSlice *slice = donut->append(text, std::max(0.0, s.amount.toDouble()));
        slice->setColor(s.gathered ? othersColor : hues[i % std::size(hues)]);
        slice->setBorderColor(Qt::white);
        slice->setLabelVisible(true);
        slice->setLabelPosition(QPieSlice::LabelOutside);
        const int index = int(i);
        connect(slice, &QPieSlice::clicked, this, [this, index] {
            setCurrent(index);
            emit activated(index);
        });
        m_itemTexts << text;
    }
    c->addSeries(donut);
    c->legend()->hide();
    highlight();
}

void ChartCanvas::setCurrent(int index)
{
    if (index < 0 || index >= m_count)
        return;
    m_current = index;
    highlight();
}

void ChartCanvas::highlight()
{
    if (!chart())
        return;
    for (QAbstractSeries *s : chart()->series()) {
        if (auto *bars = qobject_cast<QBarSeries *>(s)) {
            for (QBarSet *set : bars->barSets()) {
                set->deselectAllBars();
                set->selectBar(m_current);
            }
        } else if (auto *donut = qobject_cast<QPieSeries *>(s)) {
            const QList<QPieSlice *> slices = donut->slices();
            for (int i = 0; i < slices.size(); ++i) {
                slices[i]->setExploded(i == m_current);
                slices[i]->setBorderWidth(i == m_current ? 3 : 1);
                slices[i]->setBorderColor(i == m_current ? Qt::black : Qt::white);
            }
        }
    }
    setAccessibleDescription(m_current >= 0 ? m_itemTexts.value(m_current) : chart()->title());
}

void ChartCanvas::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: setCurrent(m_current - 1); break;
    case Qt::Key_Right:
    case Qt::Key_Down: setCurrent(m_current + 1); break;
    case Qt::Key_Home: setCurrent(0); break;
    case Qt::Key_End: setCurrent(m_count - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_current >= 0)
            emit activated(m_current);
        break;
    default: QChartView::keyPressEvent(event); return;
    }
    event->accept();
}

} // namespace ht
