#pragma once

#include "book/RecycleBin.h"

#include <QDialog>
#include <QHash>

class QAction;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace ht {

// The logged-in user's recycle bin: one row per delete, newest first, the selected one's
// contents below it; restore, erase for good, or empty the bin. It follows every change
// of the bin, wherever it was made.
class frmRecycleBin : public QDialog {
    Q_OBJECT
public:
    explicit frmRecycleBin(QWidget *parent = nullptr);

    // Reloads the entries, keeping the selected ones that are still there.
    void reload();

    QTreeWidget *entryList;
    QTreeWidget *itemList;
    QLabel *itemsLabel;
    QPushButton *restoreButton, *eraseButton, *emptyButton, *closeButton;
    QAction *eraseAction;

    // How many of an entry's rows the contents pane shows at most.
    static constexpr int shownItems = 1000;

private:
    void showContents();
    void updateButtons();
    QList<qint64> selectedEntries() const;
    void restoreSelected();
    void eraseSelected();
    void emptyBin();

    QList<RecycleBin::Entry> m_entries;
    QHash<qint64, RecycleBin::Summary> m_summaries;
};

} // namespace ht
