#include "import/BillModel.h"

namespace ht {

BillModel::BillModel(QList<BillRow> rows, QList<ImportStore::Plan> plans, QObject *parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows)), m_plans(std::move(plans)), m_ticked(size_t(m_rows.size())),
      m_edited(size_t(m_rows.size()))
{
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        m_ticked[size_t(i)] = m_rows.at(i).skipped.isEmpty();
}

int BillModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int BillModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BillModel::data(const QModelIndex &index, int role) const
{
    const BillRow &r = m_rows.at(index.row());
    const ImportStore::Plan &p = m_plans.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == Tick)
        return m_ticked[size_t(index.row())] ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() == Amount)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case When: return r.when.isValid() ? r.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString();
    case Way:
        return r.direction == BillRow::Direction::Income ? QStringLiteral("收入")
            : r.direction == BillRow::Direction::Expense ? QStringLiteral("支出")
                                                         : QStringLiteral("不计");
    case Amount: return Money::yuan(r.amount.text());
    case CategoryColumn: return p.category;
    case Remark:
        // A very long text is cut for the list; the record keeps it whole.
        return role == Qt::DisplayRole && r.remark().size() > 200 ? r.remark().left(200) + u'…' : r.remark();
    case Method: return r.method;
    case Note: {
        if (!r.skipped.isEmpty())
            return r.skipped;
        const QString why = m_edited[size_t(index.row())] ? QStringLiteral("手选") : p.why;
        // A partly refunded payment comes in at what was kept; say so beside it.
        return r.status.contains(QStringLiteral("退款")) ? why + QStringLiteral("；") + r.status : why;
    }
    default: return {};
    }
}

QVariant BillModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char *const titles[] = {"导入", "交易时间", "收支", "金额", "类别", "备注", "支付方式", "说明"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(titles[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags BillModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_rows.at(index.row()).skipped.isEmpty())
        return f;
    if (index.column() == Tick)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == CategoryColumn)
        f |= Qt::ItemIsEditable;
    return f;
}

bool BillModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!(flags(index) & (Qt::ItemIsUserCheckable | Qt::ItemIsEditable)))
        return false;
    const size_t row = size_t(index.row());
    if (index.column() == Tick && role == Qt::CheckStateRole) {
        m_ticked[row] = value.toInt() == Qt::Checked;
        Q_EMIT dataChanged(index, index);
        Q_EMIT summaryChanged();
        return true;
    }
    if (index.column() == CategoryColumn && role == Qt::EditRole && !value.toString().isEmpty()) {
        m_plans[index.row()].category = value.toString();
        m_edited[row] = true;
        Q_EMIT dataChanged(index, this->index(index.row(), Note));
        return true;
    }
    return false;
}

void BillModel::toggle(const QList<int> &rows)
{
    bool all = true;
    for (int r : rows)
        all = all && (!m_rows.at(r).skipped.isEmpty() || m_ticked[size_t(r)]);
    for (int r : rows) {
        if (m_rows.at(r).skipped.isEmpty())
            m_ticked[size_t(r)] = !all;
    }
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, Tick), index(rowCount() - 1, Tick));
    Q_EMIT summaryChanged();
}

void BillModel::replan(const QList<ImportStore::Plan> &plans)
{
    for (qsizetype i = 0; i < m_plans.size() && i < plans.size(); ++i) {
        if (!m_edited[size_t(i)])
            m_plans[i] = plans.at(i);
    }
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, CategoryColumn), index(rowCount() - 1, Note));
}

QList<ImportStore::Item> BillModel::chosen() const
{
    QList<ImportStore::Item> items;
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_ticked[size_t(i)])
            items.append({m_rows.at(i), m_plans.at(i).category});
    }
    return items;
}

QString BillModel::summary() const
{
    int counts[2] = {0, 0};
    Money sums[2];
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (!m_ticked[size_t(i)])
            continue;
        const int cls = m_rows.at(i).cls();
        ++counts[cls];
        sums[cls] += m_rows.at(i).amount;
    }
    return QStringLiteral("将导入 %1 条收入、%2 条支出，共 %3 / %4；跳过 %5 条")
        .arg(counts[1])
        .arg(counts[0])
        .arg(Money::yuan(sums[1].text()), Money::yuan(sums[0].text()))
        .arg(m_rows.size() - counts[0] - counts[1]);
}

} // namespace ht
