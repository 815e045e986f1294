#pragma once

#include "ledger/LedgerLists.h"

#include "book/Changes.h"

#include <QList>
#include <QMainWindow>

#include <vector>

class QGroupBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeView;

namespace ht {

class LedgerModel;

// The main window: the user's income and expense lists side by side.
class MainWindow : public QMainWindow, public LedgerLists {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The one main window of the run, or none before login.
    static MainWindow *instance();

    // Records the running program, restores the window state, creates the settings
    // files when missing and loads this month's records.
    void load();
    // Shows the window in the state read at load (normal, minimised or maximised).
    void showInSavedState();

    // Reloads a list under the ledger's filter.
    void reload(int cls);
    void applyQuery(const SqlFilter &filter, int cls = -1) override;
    int period() const override { return m_period; }
    QTreeView *list(int cls) const override { return cls >= 1 ? m_incomeList : m_expenseList; }
    Money total(int cls) const override;
    QWidget *window() override { return this; }
    QAction *command(const char *name) const override;
    void whenClosing(std::function<void()> work) override;
    void offer(const QString &message, QAction *action = nullptr) override;

    // A click on a header: sorts that list by the column, toggling on a second click.
    void sortByColumn(int cls, int column);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Status panel 3, built anew on every clock tick.
    static QString clockText();
    LedgerModel &model(int cls) const;
    // After one record was added, changed or deleted: just its row, the total and the
    // balance, as a reload would show them.
    void refreshRecord(int cls, qint64 id);
    // The change and delete commands of a list (1 income, 0 expense).
    void changeSelected(int cls);
    void deleteSelected(int cls);
    void buildMenus();
    void connectListCommands();
    void openRecordDialog(int cls, qint64 id);
    qint64 selectedRecord(int cls, const QString &noSelection);
    void startCalculator();
    void startUpdater();
    void buildToolbar();
    void buildPeriodStrip();
    void buildLists();
    void buildTotals();
    void buildStatusBar();
    void periodClicked(int index);
    void reloadBoth();
    // A committed write: a list follows the records of its class and a restored file;
    // a renamed category shows at the next reload.
    void storeChanged(book::Change what, int cls, qint64 id);
    // The total labels and the balance, from the two lists' exact totals.
    void showTotals();
    // Nothing is cut at the smallest size: every button, the clock and every column show.
    void fitMinimumSize();

    LedgerModel *m_income;
    LedgerModel *m_expense;
    std::vector<std::function<void()>> m_closingWork;

    QToolBar *m_commandBar;
    QToolBar *m_periodBar;
    QGroupBox *m_periodFrame;
    QGroupBox *m_incomeFrame, *m_expenseFrame;
    QTreeView *m_incomeList, *m_expenseList;
    QGroupBox *m_incomeTotalsFrame, *m_expenseTotalsFrame;
    QLabel *m_incomeLabel, *m_balanceLabel, *m_expenseLabel;
    QLabel *m_welcomePanel, *m_userPanel, *m_clockPanel;
    QWidget *m_offer;
    QLabel *m_offerText;
    QToolButton *m_offerButton;
    QTimer *m_offerTimer;
    QMetaObject::Connection m_offerWatch;
    QTimer *m_clock;
    // The lists' pop-up menus.
    QMenu *m_incomePopup, *m_expensePopup;
    int m_savedState = 0;
    // The ledger's filter: a period button, its range worked out at every reload so that
    // a program left open past midnight follows the calendar; or, while it is 0, a query's.
    SqlFilter ledgerFilter() const;
    int m_period = 0;
    SqlFilter m_query;
};

// Creates, loads and shows the main window after a successful login, with the subsystems attached.
MainWindow *openMainWindow(const QList<Attachment> &subsystems = {});

} // namespace ht
