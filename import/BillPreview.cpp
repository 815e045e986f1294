#include "import/BillPreview.h"

#include "import/BillModel.h"
#include "import/RulesDialog.h"

#include "foundation/DbTask.h"
#include "foundation/DialogKit.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace ht {
namespace {

// The category of a line is chosen among the user's categories of its class.
class CategoryDelegate : public QStyledItemDelegate {
public:
    CategoryDelegate(const BillModel *model, const QStringList categories[2], QObject *parent)
        : QStyledItemDelegate(parent), m_model(model), m_categories(categories)
    {
    }
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        auto *box = new QComboBox(parent);
        box->addItems(m_categories[m_model->cls(index.row())]);
        box->setAccessibleName(QStringLiteral("类别"));
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        static_cast<QComboBox *>(editor)->setCurrentText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        model->setData(index, static_cast<QComboBox *>(editor)->currentText(), Qt::EditRole);
    }

private:
    const BillModel *m_model;
    const QStringList *m_categories;
};

} // namespace

BillPreview::BillPreview(QWidget *parent, const Bill &bill, const QList<ImportStore::Plan> &plans,
                         const QStringList categories[2])
    : QDialog(parent), m_bill(bill)
{
    setObjectName(QStringLiteral("BillPreview"));
    setWindowTitle(bill.provider == QLatin1String("wechat")       ? QStringLiteral("导入微信支付账单")
                       : bill.provider == QLatin1String("alipay") ? QStringLiteral("导入支付宝账单")
                                                                  : QStringLiteral("导入账单"));
    m_categories[0] = categories[0];
    m_categories[1] = categories[1];
    m_model = new BillModel(bill.rows, plans, this);

    table = named(new QTableView(this), "billTable");
    table->setAccessibleName(QStringLiteral("账单明细"));
    table->setModel(m_model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    table->setItemDelegateForColumn(BillModel::CategoryColumn, new CategoryDelegate(m_model, m_categories, table));
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->setWordWrap(false);
    QHeaderView *header = table->horizontalHeader();
    const int widths[] = {40, 150, 50, 100, 100, 260, 110};
    for (int c = 0; c < int(std::size(widths)); ++c)
        header->resizeSection(c, widths[c]);
    header->setStretchLastSection(true);
    table->installEventFilter(this);
    if (m_model->rowCount() > 0)
        table->setCurrentIndex(m_model->index(0, BillModel::Tick));

    summary = named(new QLabel(m_model->summary(), this), "summary");
    connect(m_model, &BillModel::summaryChanged, summary, [this] { summary->setText(m_model->summary()); });

    rulesButton = named(new QPushButton(QStringLiteral("规则(&R)…"), this), "BtnRules");
    importButton = named(new QPushButton(QStringLiteral("导入(&I)"), this), "BtnImport");
    cancelButton = named(new QPushButton(QStringLiteral("取消"), this), "BtnCancel");
    importButton->setDefault(true);
    importButton->setAutoDefault(false);
    rulesButton->setAutoDefault(false);
    cancelButton->setAutoDefault(false);
    connect(rulesButton, &QPushButton::clicked, this, &BillPreview::editRules);
    connect(importButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *hint = new QLabel(QStringLiteral("空格键勾选或取消所选行，Ctrl+A 选中全部行；双击或按 F2 修改类别。"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(rulesButton);
    buttons->addStretch();
    buttons->addWidget(importButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(hint);
    layout->addWidget(table);
    layout->addWidget(summary);
    layout->addLayout(buttons);
    resize(1000, 600);
    table->setFocus();
}

bool BillPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == table && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space) {
        QList<int> rows;
        for (const QModelIndex &i : table->selectionModel()->selectedRows())
            rows << i.row();
        if (rows.isEmpty() && table->currentIndex().isValid())
            rows << table->currentIndex().row();
        m_model->toggle(rows);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void BillPreview::editRules()
{
    const QString &user = program::session().userName;
    QList<ImportStore::Rule> rules;
    if (!withDb(this, [&](clsADO &db) { rules = ImportStore::rules(db, user); }))
        return;
    RulesDialog dialog(this, rules, m_categories);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QList<BillRow> rows = m_bill.rows;
    withDb(this, [&](clsADO &db) {
        ImportStore::saveRules(db, user, dialog.rules());
        m_model->replan(ImportStore::plan(db, user, m_bill.provider, rows));
    });
}

} // namespace ht
