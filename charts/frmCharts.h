#pragma once

#include "book/ChartStore.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace ht {

class ChartCanvas;
class LedgerLists;
class PeriodChooser;

// "收支统计": the year's months, a period by category, and each category against the
// period before and the same period a year before. Activating a month, slice or row
// shows its records in the main window's lists.
class frmCharts : public QDialog {
    Q_OBJECT
public:
    frmCharts(LedgerLists *lists, QWidget *parent = nullptr);

    QTabWidget *tabs;
    QSpinBox *yearBox;
    ChartCanvas *yearChart;
    QLabel *yearTotals;
    QComboBox *sliceClass;
    PeriodChooser *slicePeriod;
    ChartCanvas *sliceChart;
    QComboBox *compareClass;
    PeriodChooser *comparePeriod;
    QTableWidget *compareTable;
    QPushButton *cmdExport;
    QPushButton *cmdPrint;
    QPushButton *cmdClose;

    const std::vector<CategorySum> &slices() const { return m_slices; }
    const std::vector<CategoryCompare> &compareRows() const { return m_compare; }

private:
    QWidget *yearPage();
    QWidget *slicePage();
    QWidget *comparePage();
    void loadYear();
    void loadSlices();
    void loadCompare();
    void drillMonth(int month);
    void drillCategory(int cls, const DayPeriod &period, const CategoryKey &key);
    // The picture of the current page and the heading it is exported or printed under.
    QWidget *picture() const;
    QString heading() const;
    void exportImage();

    LedgerLists *m_lists;
    std::vector<CategorySum> m_slices;
    std::vector<CategoryCompare> m_compare;
};

} // namespace ht
