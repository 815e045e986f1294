#pragma once

#include "book/LedgerStore.h"

#include "foundation/Money.h"

#include <QAbstractTableModel>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QThreadPool;

namespace ht {

// The rows of one ledger list. Texts are made only for the rows a view asks for.
// A list of a few thousand rows is held whole; a longer one is windowed: the model
// knows its count and total from the store and reads only the pages of rows asked for,
// keeping a few in a cache, while the key of every page's first row in the list's
// order is worked out on a thread of its own (until then only the pages next to
// ones already read, and the first and last, can be read, the others show blank).
// Columns: 0 "日期", 1 "类别", 2 "金额", 3 "备注".
class LedgerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int KeyRole = Qt::UserRole + 1; // "ID" + decimal ID
    static constexpr int IdRole = Qt::UserRole + 2;  // qint64 ID

    explicit LedgerModel(QObject *parent = nullptr);
    ~LedgerModel() override;

    // Lists of more rows than this are windowed, in pages of pageRows (tests lower both).
    static void setWindowing(qint64 above, int pageRows);
    // Shows the user's records of a class under the filter, the way their number calls
    // for. The connection must be open.
    void show(clsADO &db, const QString &user, int cls, const SqlFilter &filter);
    bool windowed() const { return m_window != nullptr; }
    // Whether the count and total are still being worked out on the list's thread.
    bool counting() const;
    // Whether every row can be read now (a windowed list waits for its page keys).
    bool settled() const;
    // Waits until every row can be read (export and printing ask for it by name).
    Q_INVOKABLE void settle();
    // After records changed: a windowed list reads its count, total and pages anew,
    // keeping its place.
    void refresh(clsADO &db);
    // After the next sort, the row of this record is told by located() (a windowed list
    // tells it once its page keys are in).
    void locateAfterSort(qint64 id) { m_locate = id; }
    // The database file was replaced: a windowed list reads the new one from now on.
    void dropConnection();

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
    // A windowed list reads the row's page if it can; a row it cannot read yet is blank.
    const LedgerRow &row(int index) const;
    // The rows a whole list holds (none when windowed).
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
    void located(int row);

private:
    struct Window;
    // The row as far as it can be read now, null when not yet.
    const LedgerRow *rowAt(int index) const;
    const LedgerRow *windowRow(int index) const;
    int windowRows() const;
    bool readPage(int page) const;
    void showWindow(const QString &user, int cls, const SqlFilter &filter, qint64 rows, Money total);
    void startMarks();
    struct JobResult;
    void jobDone(quint64 generation, JobResult &result);
    void resortWindow();
    void closeWindow();

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
    std::unique_ptr<Window> m_window;
    // A windowed list's own connection, kept across reloads.
    mutable std::unique_ptr<clsADO> m_reader;
    QThreadPool *m_marksThread = nullptr;
    std::atomic<quint64> m_generation = 0;
    qint64 m_locate = 0;
};

// Display texts shared by the lists and the dialogs.
namespace LedgerText {
QString dateText(qint32 yyyymmdd);          // chsDate form: "2024年03月05日 "
QString amountText(Money m);                // "￥1,234.50"
QString categoryText(const LedgerRow &row); // typename or "N/A"
QString key(qint64 id);                     // "ID57"
} // namespace LedgerText

} // namespace ht
