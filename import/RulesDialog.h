#pragma once

#include "book/ImportStore.h"

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

namespace ht {

// The user's rules: "交易对方或商品包含 … → 类别", one a line, the first that fits wins.
class RulesDialog : public QDialog {
    Q_OBJECT
public:
    RulesDialog(QWidget *parent, const QList<ImportStore::Rule> &rules, const QStringList categories[2]);
    QList<ImportStore::Rule> rules() const;

    QTableWidget *table = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *removeButton = nullptr;

private:
    void addRule(const ImportStore::Rule &rule);
    QStringList m_categories[2];
};

} // namespace ht
