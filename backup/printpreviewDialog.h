#pragma once

#include "backup/ListPrintout.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QScrollBar;

namespace ht {

namespace backup {
class PageColumn;
} // namespace backup

// The A4 pages of a list in a scrollable area, with the close and print buttons.
class printpreviewDialog : public QDialog {
    Q_OBJECT
public:
    printpreviewDialog(backup::ListPrintout printout, QWidget *parent = nullptr);
    ~printpreviewDialog() override;

    QPushButton *Command2; // close
    QPushButton *Command1; // print
    QWidget *picScroll;
    QWidget *picTarget;
    QScrollBar *hscScroll;
    QScrollBar *vscScroll;

    const backup::ListPrintout &printout() const { return m_printout; }
    // The height of the column of pages, in twips.
    int contentHeight() const;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut();
    void print();

    backup::ListPrintout m_printout;
};

} // namespace ht
