#pragma once

#include "book/LedgerStore.h"

#include "foundation/Money.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

namespace ht {

// The rows of one ledger list. Texts are made only for the rows a view asks for,
// so a reload of a hundred thousand rows costs little more than the query.
// Columns: 0 "日期", 1 "类别", 2 "金额", 3 "备注".
class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1; // "ID" + decimal ID
    static constexpr int IdRole = Qt::UserRole + 2;  // qint64 ID

    explicit LedgerModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces every row (a full reload), keeping the sort state. Rows come in load
    // order: by postdate, then ID.
    void setRows(std::vector<LedgerRow> rows);
    // One record added or changed: its row goes where a full reload would put it.
    void putRow(const LedgerRow &row);
    // One record gone or no longer under the filter; false when it was not listed.
    bool removeId(qint64 id);
    const LedgerRow &row(int index) const { return m_rows[size_t(index)]; }
    const std::vector<LedgerRow> &rows() const { return m_rows; }
    // Sum of all rows, exact.
    Money total() const { return m_total; }

    // Sorting by value: dates as dates (then ID), amounts as numbers, texts as text.
    // While enabled, every setRows comes out in this order; otherwise in load order.
    void setSortState(bool enabled, int column, Qt::SortOrder order);
    int sortColumn() const { return m_sortColumn; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The header picture of a column (1 or 2 as in the image list), 0 for none.
    void setHeaderPicture(int column, int picture);
    int headerPicture(int column) const;

Q_SIGNALS:
    void totalChanged();

private:
    // Where each row goes in the present order: row i of the result is row perm[i] now.
    std::vector<quint32> permutation() const;
    void apply(const std::vector<quint32> &perm);
    void reorder();
    // True when a comes before b in the list's present order.
    bool before(const LedgerRow &a, const LedgerRow &b) const;
    int indexOf(qint64 id) const;
    void setTotal(Money total);

    std::vector<LedgerRow> m_rows;
    Money m_total;
    bool m_sortEnabled = false;
    int m_sortColumn = 0;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    int m_headerPictures[4] = {2, 0, 0, 0};
};

// Display texts shared by the lists and the dialogs.
namespace LedgerText {
QString dateText(qint32 yyyymmdd);          // chsDate form: "2024年03月05日 "
QString amountText(Money m);                // "￥1,234.50"
QString categoryText(const LedgerRow &row); // typename or "N/A"
QString key(qint64 id);                     // "ID57"
} // namespace LedgerText

} // namespace ht
