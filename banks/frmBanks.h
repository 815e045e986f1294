#pragma once

#include <QDialog>

class QAction;
class QGroupBox;
class QMenu;
class QMenuBar;
class QToolBar;
class QTreeWidget;

namespace ht {

// The bank account list of the logged-in user: add, modify and delete through
// newbankDialog, which calls bankLists() after every save.
class frmBanks : public QDialog {
    Q_OBJECT
public:
    explicit frmBanks(QWidget *parent = nullptr);

    // Reloads the list from the database, keeping the present sort.
    void bankLists();

    QToolBar *Toolbar1;
    QGroupBox *Frame1;
    QTreeWidget *ListView1;
    QMenuBar *menuBar;
    QMenu *fileMenu;
    QAction *newMenu, *modiMenu, *delMenu, *exitMenu;
    QMenu *popMn;
    QAction *popMnNew, *popMnModi, *popMnDel;

private:
    void addBank();
    void modiBank();
    void delBank();
    void sortByColumn(int column);
    void sortList();
    void openDialog(qint64 id);

    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace ht
