#pragma once

#include "backup/ChoiceDialog.h"

#include <functional>

class QTreeView;

namespace ht {

// Hands the selected rows of the income (Option1) or the expense list (Option2) to a
// spreadsheet file.
class exportDialog : public backup::ChoiceDialog {
    Q_OBJECT
public:
    explicit exportDialog(QWidget *parent = nullptr);
};

// Writes the selected rows of lvw (visible columns, list order) to an .xlsx the user
// picks, strFilename proposed, then opens it; tells every failure itself.
void dhListviewToExcel(QWidget *parent, const QTreeView &lvw, const QString &strFilename);

// Opens a written file in the desktop's default application; false when nothing can.
// Tests answer instead.
using FileOpener = std::function<bool(const QString &path)>;
void setFileOpener(FileOpener opener);

} // namespace ht
