#pragma once

#include "book/ChartStore.h"

#include <QChartView>

namespace ht {

// A chart the keyboard drives: Left and Right (Up and Down) move between its bars or
// slices, the current one highlighted; Enter or a click activates one.
class ChartCanvas : public QChartView {
    Q_OBJECT
public:
    explicit ChartCanvas(QWidget *parent = nullptr);

    // Income and expense bars per month with the month's balance as a line.
    void showYear(const YearSums &sums, int year);
    // A donut of the sums, largest first; the view keeps its own copy.
    void showSlices(const std::vector<CategorySum> &sums, const QString &title);

    int count() const { return m_count; }
    int current() const { return m_current; }
    void setCurrent(int index);

signals:
    void activated(int index);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // A fresh chart in place of the old one, which the view would otherwise keep.
    QChart *replaceChart(const QString &title, int count);
    void highlight();
    void showFocus(bool focused);

    int m_count = 0;
    int m_current = -1;
    QStringList m_itemTexts; // what a screen reader says of each item
};

} // namespace ht
