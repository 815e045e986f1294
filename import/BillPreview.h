#pragma once

#include "book/ImportStore.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class QTableView;

namespace ht {

class BillModel;

// Every line of a statement before anything is written: tick boxes, the categories
// proposed (editable), the reason beside each line left out, and the summary. Space
// ticks the selected lines, Enter imports, Escape cancels.
class BillPreview : public QDialog {
    Q_OBJECT
public:
    BillPreview(QWidget *parent, const Bill &bill, const QList<ImportStore::Plan> &plans,
                const QStringList categories[2]);

    BillModel *model() const { return m_model; }

    QTableView *table = nullptr;
    QLabel *summary = nullptr;
    QPushButton *rulesButton = nullptr;
    QPushButton *importButton = nullptr;
    QPushButton *cancelButton = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void editRules();

    Bill m_bill;
    QStringList m_categories[2];
    BillModel *m_model = nullptr;
};

} // namespace ht
