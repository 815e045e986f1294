#include "import/RulesDialog.h"

#include "foundation/DialogKit.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace ht {

RulesDialog::RulesDialog(QWidget *parent, const QList<ImportStore::Rule> &rules, const QStringList categories[2])
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RulesDialog"));
    setWindowTitle(QStringLiteral("导入规则"));
    m_categories[0] = categories[0];
    m_categories[1] = categories[1];
    table = named(new QTableWidget(0, 3, this), "rulesTable");
    table->setHorizontalHeaderLabels(
        {QStringLiteral("交易对方或商品包含"), QStringLiteral("收支"), QStringLiteral("类别")});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->verticalHeader()->hide();
    table->setAccessibleName(QStringLiteral("导入规则"));
    for (const ImportStore::Rule &r : rules)
        addRule(r);

    addButton = named(new QPushButton(QStringLiteral("添加(&A)"), this), "BtnAdd");
    removeButton = named(new QPushButton(QStringLiteral("删除(&D)"), this), "BtnDelete");
    connect(addButton, &QPushButton::clicked, this, [this] {
        addRule({QString(), 0, m_categories[0].value(0)});
        table->setCurrentCell(table->rowCount() - 1, 0);
        table->editItem(table->item(table->rowCount() - 1, 0));
    });
    connect(removeButton, &QPushButton::clicked, this, [this] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *side = new QHBoxLayout;
    side->addWidget(addButton);
    side->addWidget(removeButton);
    side->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("交易对方或商品中含有所填文字的收支，导入时归入所选类别；"
                                                "从上到下，先符合的规则为准。"),
                                 this));
    layout->addWidget(table);
    layout->addLayout(side);
    layout->addWidget(buttons);
    resize(560, 360);
}

void RulesDialog::addRule(const ImportStore::Rule &rule)
{
    const int row = table->rowCount();
    table->insertRow(row);
    table->setItem(row, 0, new QTableWidgetItem(rule.pattern));
    auto *way = new QComboBox(table);
    way->addItems({QStringLiteral("支出"), QStringLiteral("收入")});
    way->setCurrentIndex(rule.cls == 1 ? 1 : 0);
    way->setAccessibleName(QStringLiteral("收支"));
    auto *category = new QComboBox(table);
    category->setAccessibleName(QStringLiteral("类别"));
    const auto fill = [this, category](int cls) {
        const QString was = category->currentText();
        category->clear();
        category->addItems(m_categories[cls]);
        category->setCurrentText(was);
    };
    fill(way->currentIndex());
    category->setCurrentText(rule.category);
    connect(way, &QComboBox::currentIndexChanged, category, fill);
    table->setCellWidget(row, 1, way);
    table->setCellWidget(row, 2, category);
}

QList<ImportStore::Rule> RulesDialog::rules() const
{
    QList<ImportStore::Rule> list;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QString pattern = table->item(row, 0) ? table->item(row, 0)->text().trimmed() : QString();
        const auto *way = static_cast<QComboBox *>(table->cellWidget(row, 1));
        const auto *category = static_cast<QComboBox *>(table->cellWidget(row, 2));
        if (!pattern.isEmpty() && !category->currentText().isEmpty())
            list.append({pattern, way->currentIndex(), category->currentText()});
    }
    return list;
}

} // namespace ht
