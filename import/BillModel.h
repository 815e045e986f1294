#pragma once

#include "book/ImportStore.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace ht {

// The preview's rows: every line of the statement, those to import ticked, each with the
// category it will get. A line with a reason not to import it cannot be ticked.
class BillModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Tick, When, Way, Amount, CategoryColumn, Remark, Method, Note, ColumnCount };

    BillModel(QList<BillRow> rows, QList<ImportStore::Plan> plans, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Ticks the rows, or unticks them all when every tickable one is ticked already.
    void toggle(const QList<int> &rows);
    // New proposals (after the rules changed) for the categories the user left alone.
    void replan(const QList<ImportStore::Plan> &plans);
    const QList<BillRow> &rows() const { return m_rows; }
    int cls(int row) const { return m_rows.at(row).cls(); }
    // The ticked rows with their categories.
    QList<ImportStore::Item> chosen() const;
    // "将导入 N 条收入、M 条支出，共 ￥X / ￥Y；跳过 K 条"
    QString summary() const;

Q_SIGNALS:
    void summaryChanged();

private:
    QList<BillRow> m_rows;
    QList<ImportStore::Plan> m_plans;
    std::vector<bool> m_ticked;
    std::vector<bool> m_edited; // the category was chosen by hand
};

} // namespace ht
