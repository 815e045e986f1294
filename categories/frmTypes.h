#pragma once

#include <QDialog>

class QGroupBox;
class QListWidget;
class QPushButton;
class QToolBar;

namespace ht {

// The category manager: the user's own and the built-in categories of both classes.
class frmTypes : public QDialog {
    Q_OBJECT
public:
    explicit frmTypes(QWidget *parent = nullptr);

    // Reloads the list of a class (1 List1 income, 0 List2 expense), numbered "n.name".
    void typeList(int iFlag);
    // Renames or deletes the selected category of that class.
    void modiType(int iFlag);
    void delType(int iFlag);

    QGroupBox *Frame1, *Frame2;
    QToolBar *Toolbar1, *Toolbar2;
    QListWidget *List1, *List2;
    QPushButton *Command1;

private:
    QListWidget *list(int iFlag) const { return iFlag == 1 ? List1 : List2; }
    // The ID of the selected category; 0 after telling the user that none is selected.
    qint64 selectedId(int iFlag, const QString &noSelection);
    void openDialog(int iFlag, qint64 id);
};

} // namespace ht
