#pragma once

#include "backup/ListPrintout.h"

#include "backup/ChoiceDialog.h"

#include "foundation/Money.h"

#include <QDate>

class QTreeView;

namespace ht {

namespace program {
struct Session;
}

// Chooses the list to print, income (Option1) or expense (Option2), then previews it.
class printDialog : public backup::ChoiceDialog {
    Q_OBJECT
public:
    explicit printDialog(QWidget *parent = nullptr);
};

namespace backup {
// The period button's range (0: a query) the ledger lists show, in words.
QString periodText(int period, const QDate &today);
// A list of the main window as it is shown now (1 income, 0 expense) under the period,
// with the total of its records, laid out for printing.
ListPrintout printoutOf(const QTreeView &list, int cls, int period, Money total);
} // namespace backup

} // namespace ht
