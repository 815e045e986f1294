#pragma once

#include "foundation/SqlFilter.h"

#include <QDialog>

class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;

namespace ht {

// The logged-in user's memo notes, newest first, a page at a time, with a quick
// search. A note saved anywhere brings page 1; so does a search in the search dialog.
class frmMemoNote : public QDialog {
    Q_OBJECT
public:
    explicit frmMemoNote(QWidget *parent = nullptr);

    // Shows the page of the notes under the condition (clamped to the pages there are)
    // and remembers it as the pager's page. A failure is told and leaves the list as it was.
    void memoList(const SqlFilter &condition, qint32 page);
    // A typed date keeps that day's notes, any other text the notes containing it.
    void quickSearch();

    static inline const QString hintText = QStringLiteral("输入日期、内容快速查询");

    QMenuBar *menuBar;
    QMenu *fileMenu;
    QAction *mnNew, *mnEdit, *mnDel, *mnSearch, *mnExit;
    QMenu *popMn;
    QAction *popMnNew, *popMnEdit, *popMnDel;
    QToolBar *Toolbar1;
    QLineEdit *searchText;
    QToolButton *searchBtn;
    QGroupBox *Frame1;
    QTreeWidget *ListView1;
    QPushButton *BtnFirst, *BtnPre, *BtnNext, *BtnLast;
    QStatusBar *StatusBar1;
    QLabel *statusPanel1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildList();
    void buildPager(QWidget *frame);
    void newNote();
    void editNote();
    void deleteChecked();
    void deleteSelected();
    void search();
    void firstPage();
    void lastPage();
    void clearHint();
    void openEditor(qint64 id);

    bool m_deleting = false; // its own deletes reload the page they stand on
    // The pager: the search the notes are under, the page shown and the page count of the
    // last load.
    SqlFilter m_where;
    qint32 m_page = 1;
    qint32 m_pages = 1;
};

} // namespace ht
