#include "LedgerModel.h"

#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QLocale>

#include <algorithm>
#include <numeric>

namespace ht {
namespace {

constexpr int columns = 4;

// Ranks of the distinct texts in Chinese collation order: equal texts share a rank,
// and each distinct text gets one collation key, so sorting a hundred thousand rows
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

    QCollator collator{QLocale(QLocale::Chinese, QLocale::China)};
    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString &text : distinct)
        keys.push_back(collator.sortKey(text));
    std::vector<int> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[size_t(a)].compare(keys[size_t(b)]);
        // Texts the collation calls equal still need one fixed order.
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

LedgerModel::LedgerModel(QObject *parent) : QAbstractTableModel(parent) {}

int LedgerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int LedgerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns;
}

QVariant LedgerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || size_t(index.row()) >= m_rows.size())
        return {};
    const LedgerRow &r = m_rows[size_t(index.row())];
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
        case 1: return QIcon(QStringLiteral(":/icons/sort-desc.svg"));
        case 2: return QIcon(QStringLiteral(":/icons/sort-asc.svg"));
        default: return {};
        }
    }
    return {};
}

void LedgerModel::setRows(std::vector<LedgerRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_loadOrder.resize(m_rows.size());
    std::iota(m_loadOrder.begin(), m_loadOrder.end(), quint32(0));
    qint64 cents = 0;
    for (const LedgerRow &r : m_rows)
        cents += r.amount.cents();
    m_total = Money::fromCents(cents);
    if (m_sortEnabled)
        applySort();
    endResetModel();
}

void LedgerModel::setSortState(bool enabled, int column, Qt::SortOrder order)
{
    m_sortEnabled = enabled;
    m_sortColumn = column;
    m_sortOrder = order;
    reorder();
}

void LedgerModel::sort(int column, Qt::SortOrder order)
{
    setSortState(true, column, order);
}

void LedgerModel::reorder()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<quint32> before = m_loadOrder;
    if (m_sortEnabled)
        applySort();
    else
        restoreLoadOrder();

    // Views keep their current and selected rows across the reorder.
    std::vector<int> newRowOfLoad(m_loadOrder.size());
    for (size_t i = 0; i < m_loadOrder.size(); ++i)
        newRowOfLoad[m_loadOrder[i]] = int(i);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex &idx : persistent)
        moved.append(index(newRowOfLoad[before[size_t(idx.row())]], idx.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LedgerModel::restoreLoadOrder()
{
    std::vector<LedgerRow> rows(m_rows.size());
    for (size_t i = 0; i < m_rows.size(); ++i)
        rows[m_loadOrder[i]] = std::move(m_rows[i]);
    m_rows = std::move(rows);
    std::iota(m_loadOrder.begin(), m_loadOrder.end(), quint32(0));
}

void LedgerModel::applySort()
{
    const size_t n = m_rows.size();
    if (n < 2)
        return;
    const bool desc = m_sortOrder == Qt::DescendingOrder;

    // Rows are sorted as a permutation: keys once per row, ties back to load order.
    std::vector<quint32> perm(n);
    std::iota(perm.begin(), perm.end(), quint32(0));
    const auto byLoad = [&](quint32 a, quint32 b) { return m_loadOrder[a] < m_loadOrder[b]; };
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
    case 0:
        sortBy([this](quint32 i) { return std::pair(m_rows[i].date, m_rows[i].id); });
        break;
    case 1: {
        const std::vector<int> ranks = textRanks(m_rows, LedgerText::categoryText);
        sortBy([&ranks](quint32 i) { return ranks[i]; });
        break;
    }
    case 2:
        sortBy([this](quint32 i) { return m_rows[i].amount.cents(); });
        break;
    case 3: {
        const std::vector<int> ranks = textRanks(m_rows, memoOf);
        sortBy([&ranks](quint32 i) { return ranks[i]; });
        break;
    }
    default:
        return;
    }

    std::vector<LedgerRow> rows;
    rows.reserve(n);
    std::vector<quint32> loadOrder(n);
    for (size_t i = 0; i < n; ++i) {
        rows.push_back(std::move(m_rows[perm[i]]));
        loadOrder[i] = m_loadOrder[perm[i]];
    }
    m_rows = std::move(rows);
    m_loadOrder = std::move(loadOrder);
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
    const int year = yyyymmdd / 10000;
    const int month = yyyymmdd / 100 % 100;
    const int day = yyyymmdd % 100;
    QString s;
    s.reserve(13);
    s += QString::number(year);
    s += u'年';
    s += QChar(u'0' + month / 10);
    s += QChar(u'0' + month % 10);
    s += u'月';
    s += QChar(u'0' + day / 10);
    s += QChar(u'0' + day % 10);
    s += u"日 ";
    return s;
}

QString amountText(Money m)
{
    return QStringLiteral("￥") + m.text();
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
