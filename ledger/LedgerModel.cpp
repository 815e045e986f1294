#include "ledger/LedgerModel.h"

#include "foundation/DateText.h"
#include "foundation/Icons.h"
#include "foundation/TextOrder.h"

#include <QCollator>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

namespace ht {
namespace {

constexpr int columns = 4;

// The order a full reload returns: by postdate, then ID.
std::tuple<qint32, qint32, qint64> loadKey(const LedgerRow &r)
{
    return {r.date, r.time, r.id};
}

template <typename T> int threeWay(const T &a, const T &b)
{
    return (b < a) - (a < b);
}

// Ranks of the distinct texts in compareTexts order: equal texts share a rank, and
// each distinct text gets one collation key, so sorting a hundred thousand rows
// costs one key per distinct text plus integer comparisons.
std::vector<int> textRanks(const std::vector<LedgerRow> &rows, QString (*textOf)(const LedgerRow &))
{
    QHash<QString, int> slotOf;
    std::vector<QString> distinct;
    std::vector<int> slotOfRow(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const QString text = textOf(rows[i]);
        auto it = slotOf.constFind(text);
        if (it == slotOf.constEnd()) {
            it = slotOf.insert(text, int(distinct.size()));
            distinct.push_back(text);
        }
        slotOfRow[i] = it.value();
    }

    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString &text : distinct)
        keys.push_back(chineseCollator().sortKey(text));
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        return c != 0 ? c < 0 : distinct[size_t(a)] < distinct[size_t(b)];
    });
    std::vector<int> rankOfSlot(distinct.size());
    for (size_t r = 0; r < order.size(); ++r)
        rankOfSlot[size_t(order[r])] = int(r);

    for (int &s : slotOfRow)
        s = rankOfSlot[size_t(s)];
    return slotOfRow;
}

QString memoOf(const LedgerRow &row)
{
    return row.memo;
}

} // namespace

int LedgerModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return windowed() ? windowRows() : int(m_rows.size());
}

const LedgerRow *LedgerModel::rowAt(int index) const
{
    if (windowed())
        return windowRow(index);
    return index >= 0 && size_t(index) < m_rows.size() ? &m_rows[size_t(index)] : nullptr;
}

const LedgerRow &LedgerModel::row(int index) const
{
    static const LedgerRow blank;
    const LedgerRow *r = rowAt(index);
    return r ? *r : blank;
}

int LedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant LedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const LedgerRow *found = rowAt(index.row());
    if (!found)
        return {};
    const LedgerRow &r = *found;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case 0: return LedgerText::dateText(r.date);
        case 1: return LedgerText::categoryText(r);
        case 2: return LedgerText::amountText(r.amount);
        case 3: return r.memo;
        default: return {};
        }
    case Qt::TextAlignmentRole: return int(Qt::AlignLeft | Qt::AlignVCenter);
    case KeyRole: return LedgerText::key(r.id);
    case IdRole: return QVariant::fromValue<qint64>(r.id);
    default: return {};
    }
}

QVariant LedgerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        static const char16_t *const names[columns] = {u"日期", u"类别", u"金额", u"备注"};
        return QString::fromUtf16(names[section]);
    }
    if (role == Qt::DecorationRole) {
        switch (m_headerPictures[section]) {
        case 1: return icon(QStringLiteral("sort-desc"));
        case 2: return icon(QStringLiteral("sort-asc"));
        default: return {};
        }
    }
    return {};
}

void LedgerModel::setRows(std::vector<LedgerRow> rows)
{
    beginResetModel();
    closeWindow();
    m_rows = std::move(rows);
    if (m_sortEnabled)
        apply(permutation());
    endResetModel();
    Money::Cents cents = 0;
    for (const LedgerRow &r : m_rows)
        cents += r.amount.cents();
    setTotal(Money::fromCents(cents));
}

void LedgerModel::putRow(const LedgerRow &row)
{
    Money total = m_total;
    if (const int old = indexOf(row.id); old >= 0) {
        beginRemoveRows({}, old, old);
        total = total - m_rows[size_t(old)].amount;
        m_rows.erase(m_rows.begin() + old);
        endRemoveRows();
    }
    const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), row,
                                     [this](const LedgerRow &a, const LedgerRow &b) { return before(a, b); });
    const int position = int(at - m_rows.begin());
    beginInsertRows({}, position, position);
    m_rows.insert(at, row);
    endInsertRows();
    setTotal(total + row.amount);
}

bool LedgerModel::removeId(qint64 id)
{
    const int index = indexOf(id);
    if (index < 0)
        return false;
    const Money amount = m_rows[size_t(index)].amount;
    beginRemoveRows({}, index, index);
    m_rows.erase(m_rows.begin() + index);
    endRemoveRows();
    setTotal(m_total - amount);
    return true;
}

int LedgerModel::indexOf(qint64 id) const
{
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [id](const LedgerRow &r) { return r.id == id; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

void LedgerModel::setTotal(Money total)
{
    m_total = total;
    emit totalChanged();
}

void LedgerModel::setSortState(bool enabled, int column, Qt::SortOrder order)
{
    m_sortEnabled = enabled;
    m_sortColumn = column;
    m_sortOrder = order;
    if (windowed())
        return resortWindow();
    reorder();
    if (const qint64 id = std::exchange(m_locate, 0); id > 0) {
        if (const int at = indexOf(id); at >= 0)
            emit located(at);
    }
}

void LedgerModel::sort(int column, Qt::SortOrder order)
{
    setSortState(true, column, order);
}

void LedgerModel::reorder()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<quint32> perm = permutation();
    std::vector<int> newRowOf(perm.size());
    for (size_t i = 0; i < perm.size(); ++i)
        newRowOf[perm[i]] = int(i);
    apply(perm);

    // Views keep their current and selected rows across the reorder.
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex &idx : persistent)
        moved.append(index(newRowOf[size_t(idx.row())], idx.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LedgerModel::apply(const std::vector<quint32> &perm)
{
    std::vector<LedgerRow> rows;
    rows.reserve(perm.size());
    for (quint32 from : perm)
        rows.push_back(std::move(m_rows[from]));
    m_rows = std::move(rows);
}

bool LedgerModel::before(const LedgerRow &a, const LedgerRow &b) const
{
    int c = 0;
    if (m_sortEnabled) {
        switch (m_sortColumn) {
        case 0: c = threeWay(std::pair(a.date, a.id), std::pair(b.date, b.id)); break;
        case 1: c = compareTexts(LedgerText::categoryText(a), LedgerText::categoryText(b)); break;
        case 2: c = threeWay(a.amount.cents(), b.amount.cents()); break;
        case 3: c = compareTexts(a.memo, b.memo); break;
        default: break;
        }
    }
    if (c != 0)
        return m_sortOrder == Qt::DescendingOrder ? c > 0 : c < 0;
    return loadKey(a) < loadKey(b);
}

std::vector<quint32> LedgerModel::permutation() const
{
    const size_t n = m_rows.size();
    std::vector<quint32> perm(n);
    std::iota(perm.begin(), perm.end(), quint32(0));
    const auto byLoad = [this](quint32 a, quint32 b) { return loadKey(m_rows[a]) < loadKey(m_rows[b]); };
    if (!m_sortEnabled) {
        std::sort(perm.begin(), perm.end(), byLoad);
        return perm;
    }
    // The same order as before(), with each key worked out once per row rather than per comparison.
    const bool desc = m_sortOrder == Qt::DescendingOrder;
    const auto sortBy = [&](auto key) {
        std::sort(perm.begin(), perm.end(), [&](quint32 a, quint32 b) {
            const auto ka = key(a);
            const auto kb = key(b);
            if (ka != kb)
                return desc ? kb < ka : ka < kb;
            return byLoad(a, b);
        });
    };
    switch (m_sortColumn) {
    case 0: sortBy([this](quint32 i) { return std::pair(m_rows[i].date, m_rows[i].id); }); break;
    case 1: {
        const std::vector<int> ranks = textRanks(m_rows, LedgerText::categoryText);
        sortBy([&ranks](quint32 i) { return ranks[i]; });
        break;
    }
    case 2: sortBy([this](quint32 i) { return m_rows[i].amount.cents(); }); break;
    case 3: {
        const std::vector<int> ranks = textRanks(m_rows, memoOf);
        sortBy([&ranks](quint32 i) { return ranks[i]; });
        break;
    }
    default: std::sort(perm.begin(), perm.end(), byLoad); break;
    }
    return perm;
}

void LedgerModel::setHeaderPicture(int column, int picture)
{
    if (column < 0 || column >= columns || m_headerPictures[column] == picture)
        return;
    m_headerPictures[column] = picture;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int LedgerModel::headerPicture(int column) const
{
    return column >= 0 && column < columns ? m_headerPictures[column] : 0;
}

namespace LedgerText {

QString dateText(qint32 yyyymmdd)
{
    if (yyyymmdd <= 0)
        return {};
    return chsDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

QString amountText(Money m)
{
    return Money::yuan(m.text());
}

QString categoryText(const LedgerRow &row)
{
    return row.hasCategory ? row.category : QStringLiteral("N/A");
}

QString key(qint64 id)
{
    return QStringLiteral("ID") + QString::number(id);
}

} // namespace LedgerText

} // namespace ht
