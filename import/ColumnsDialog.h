#pragma once

#include "import/BillParse.h"

#include <QDialog>

class QComboBox;

namespace ht {

// Which column of a CSV of neither provider holds what, chosen once for its header row;
// opened with the last choice for that row, or with guesses from the column names.
class ColumnsDialog : public QDialog {
    Q_OBJECT
public:
    ColumnsDialog(QWidget *parent, const QStringList &header, const std::optional<bill::Columns> &remembered);
    bill::Columns columns() const;

    QComboBox *boxes[7] = {};
};

} // namespace ht
