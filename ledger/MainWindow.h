#pragma once

#include "ledger/LedgerLists.h"

#include "book/Changes.h"

#include <QList>
#include <QMainWindow>

#include <functional>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
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

    LedgerModel &model(int cls) const;

    // Reloads a list under the ledger's filter.
    void reload(int cls);
    // After one record was added, changed or deleted: just its row, the total and the
    // balance, as a reload would show them.
    void refreshRecord(int cls, qint64 id);
    void applyQuery(const SqlFilter &filter, int cls = -1) override;
    int period() const override { return m_period; }
    QTreeView *list(int cls) const override { return cls >= 1 ? ListView1 : ListView2; }
    QWidget *window() override { return this; }

    // Status panel 3, built anew on every clock tick.
    static QString clockText();

    QToolBar *Toolbar1;
    QGroupBox *Frame1;
    QTreeView *ListView1;
    QGroupBox *Frame5;
    QToolBar *Toolbar2;
    QGroupBox *Frame2;
    QTreeView *ListView2;
    QGroupBox *Frame3;
    QGroupBox *Frame4;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
    QLabel *statusPanel1, *statusPanel2, *statusPanel3;
    QTimer *Timer1;

    // The menu commands; the toolbar buttons and pop-up items run them too.
    QMenu *mm_sys, *mm_accounts, *mm_tools, *mm_help;
    QAction *mm_users, *mm_pwd, *mm_exit;
    QAction *mm_add, *mm_out, *mm_search, *mm_types, *mm_Del;
    QAction *mm_banks, *mm_data, *mm_export, *mm_print, *mm_calc, *mm_memoNote;
    QAction *mm_about, *mm_resume, *mm_update;
    QMenu *mnufile, *mnufile2;
    QAction *popNew, *popModi, *popDel, *popNew2, *popModi2, *popDel2;

    // The change and delete commands of a list (1 income, 0 expense).
    void changeSelected(int cls);
    void deleteSelected(int cls);
    // A click on a header: sorts that list by the column, toggling on a second click.
    void sortByColumn(int cls, int column);

Q_SIGNALS:
    // The window is closing and the program ends after it: the last moment for work
    // that must run at the end of every session.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
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
    int m_savedState = 0;
    // The ledger's filter: a period button, its range worked out at every reload so that
    // a program left open past midnight follows the calendar; or, while it is 0, a query's.
    SqlFilter ledgerFilter() const;
    int m_period = 0;
    SqlFilter m_query;
};

// A subsystem's windows hooked to the main window: it connects the menu and toolbar
// commands it answers, and reaches the lists through LedgerLists.
using Attachment = std::function<void(MainWindow &)>;

// Creates, loads and shows the main window after a successful login, with the subsystems attached.
MainWindow *openMainWindow(const QList<Attachment> &subsystems = {});

} // namespace ht
