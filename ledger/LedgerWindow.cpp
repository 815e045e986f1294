// The windowed side of LedgerModel: lists too long to hold whole.
#include "ledger/LedgerModel.h"

#include "foundation/DbError.h"
#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QCoreApplication>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <list>
#include <utility>
#include <map>
#include <optional>

namespace ht {
namespace {

qint64 windowAbove = 5000;
int pageRows = 256;
// Pages kept: a few screens around each place the user went to.
constexpr size_t cachedPages = 48;

} // namespace

struct LedgerModel::Window {
    QString user;
    int cls = 0;
    SqlFilter filter;
    qint64 rows = 0;
    LedgerOrder order;
    quint64 generation = 0;
    std::map<int, LedgerPage> pages;
    std::list<int> recent; // most recently read first
    // The key of the first row of every page; in category order, every row's ID instead.
    std::vector<LedgerKey> marks;
    std::vector<qint64> ids;
    bool marksReady = false;
    bool counting = false; // the count and total are being worked out on the thread
};

LedgerModel::LedgerModel(QObject *parent) : QAbstractTableModel(parent), m_marksThread(new QThreadPool(this))
{
    m_marksThread->setMaxThreadCount(1);
}

LedgerModel::~LedgerModel()
{
    // A job still running delivers to this model; it must end first.
    m_generation = ~quint64(0);
    m_marksThread->waitForDone();
}

void LedgerModel::setWindowing(qint64 above, int rows)
{
    windowAbove = above;
    pageRows = std::max(rows, 2);
}

void LedgerModel::show(clsADO &db, const QString &user, int cls, const SqlFilter &filter)
{
    cls = cls > 1 ? 1 : cls;
    // An older file not yet given the per-day sums and indexes is read whole, as before.
    if (!LedgerStore::needsUpgrade(db)) {
        if (LedgerStore::isPeriod(filter)) {
            const LedgerSummary s = LedgerStore::summary(db, user, cls, filter);
            if (s.rows > windowAbove)
                return showWindow(user, cls, filter, s.rows, s.total);
        } else if (LedgerStore::classRows(db, user, cls) > windowAbove) {
            // Counting may need a walk over all the user's records: on the thread.
            return showWindow(user, cls, filter, -1, m_total);
        }
    }
    setRows(LedgerStore::load(db, user, cls, filter));
}

void LedgerModel::showWindow(const QString &user, int cls, const SqlFilter &filter, qint64 rows, Money total)
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_window = std::make_unique<Window>();
    m_window->user = user;
    m_window->cls = cls;
    m_window->filter = filter;
    m_window->counting = rows < 0;
    m_window->rows = std::max<qint64>(rows, 0);
    m_window->order = m_sortEnabled ? LedgerOrder{m_sortColumn, m_sortOrder == Qt::DescendingOrder} : LedgerOrder{};
    startMarks();
    endResetModel();
    setTotal(total);
}

int LedgerModel::windowRows() const
{
    return int(m_window->rows);
}

void LedgerModel::refresh(clsADO &db)
{
    Window &w = *m_window;
    if (w.counting || !LedgerStore::isPeriod(w.filter))
        return show(db, w.user, w.cls, w.filter);
    const LedgerSummary s = LedgerStore::summary(db, w.user, w.cls, w.filter);
    w.pages.clear();
    w.recent.clear();
    // The rows keep their places; the count grows or shrinks at the end.
    if (s.rows > w.rows) {
        beginInsertRows({}, int(w.rows), int(s.rows - 1));
        w.rows = s.rows;
        endInsertRows();
    } else if (s.rows < w.rows) {
        beginRemoveRows({}, int(s.rows), int(w.rows - 1));
        w.rows = s.rows;
        endRemoveRows();
    }
    startMarks();
    if (w.rows > 0)
        emit dataChanged(index(0, 0), index(int(w.rows - 1), columnCount() - 1));
    setTotal(s.total);
}

void LedgerModel::resortWindow()
{
    beginResetModel();
    Window &w = *m_window;
    w.pages.clear();
    w.recent.clear();
    w.order = m_sortEnabled ? LedgerOrder{m_sortColumn, m_sortOrder == Qt::DescendingOrder} : LedgerOrder{};
    startMarks();
    endResetModel();
}

void LedgerModel::closeWindow()
{
    m_window.reset();
}

void LedgerModel::dropConnection()
{
    m_reader.reset();
}

struct LedgerModel::JobResult {
    std::optional<LedgerSummary> summary;       // for a list still counting
    std::optional<std::vector<LedgerRow>> rows; // few enough to hold whole after all
    std::vector<LedgerKey> marks;
    std::vector<qint64> ids;
    qint64 found = -1;
};

void LedgerModel::startMarks()
{
    Window &w = *m_window;
    w.marks.clear();
    w.ids.clear();
    w.marksReady = false;
    const quint64 generation = ++m_generation;
    w.generation = generation;
    const QString path = program::db().dbDir();
    const qint64 findId = std::exchange(m_locate, 0);
    m_marksThread->start([this, path, generation, user = w.user, cls = w.cls, filter = w.filter, order = w.order,
                          step = pageRows, findId, counting = w.counting, above = windowAbove] {
        // A job overtaken by a later reload or sort before it started has nothing to do.
        if (generation != m_generation)
            return;
        auto result = std::make_shared<JobResult>();
        // A write of this program stops the read; it starts again once the write is done,
        // unless the write changed the list (a new job follows then).
        for (int tries = 0;; ++tries) {
            try {
                clsADO db(path);
                db.open();
                db.yieldToWriters();
                *result = {};
                if (counting) {
                    result->summary = LedgerStore::summary(db, user, cls, filter);
                    if (result->summary->rows <= above) {
                        result->rows = LedgerStore::load(db, user, cls, filter);
                        break;
                    }
                }
                if (order.column == 1) {
                    result->ids = LedgerStore::categoryOrder(db, user, cls, filter, order.descending);
                    const auto at = std::find(result->ids.begin(), result->ids.end(), findId);
                    if (findId && at != result->ids.end())
                        result->found = at - result->ids.begin();
                } else {
                    result->marks = LedgerStore::positions(db, user, cls, filter, order, step, findId, &result->found);
                }
                break;
            } catch (const DbError &) {
                if (tries == 20 || generation != m_generation)
                    return; // the rows that need them stay blank until the next reload
                QThread::msleep(50);
            }
        }
        // The scan's pages and a list held whole before are given back to the system.
        trimWorkingSet();
        QMetaObject::invokeMethod(
            this, [this, generation, result] { jobDone(generation, *result); }, Qt::QueuedConnection);
    });
}

void LedgerModel::jobDone(quint64 generation, JobResult &result)
{
    if (!m_window || m_window->generation != generation)
        return;
    if (result.rows)
        return setRows(std::move(*result.rows));
    Window &w = *m_window;
    if (result.summary) {
        w.counting = false;
        if (result.summary->rows > 0) {
            beginInsertRows({}, 0, int(result.summary->rows - 1));
            w.rows = result.summary->rows;
            endInsertRows();
        }
        setTotal(result.summary->total);
    }
    w.marks = std::move(result.marks);
    w.ids = std::move(result.ids);
    w.marksReady = true;
    if (w.rows > 0)
        emit dataChanged(index(0, 0), index(int(w.rows - 1), columnCount() - 1));
    if (result.found >= 0 && result.found < w.rows)
        emit located(int(result.found));
}

bool LedgerModel::counting() const
{
    return m_window && m_window->counting;
}

bool LedgerModel::settled() const
{
    return !m_window || m_window->marksReady;
}

void LedgerModel::settle()
{
    if (settled())
        return;
    m_marksThread->waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

const LedgerRow *LedgerModel::windowRow(int index) const
{
    Window &w = *m_window;
    if (index < 0 || index >= w.rows)
        return nullptr;
    const int page = index / pageRows;
    auto it = w.pages.find(page);
    if (it == w.pages.end()) {
        if (!readPage(page))
            return nullptr;
        it = w.pages.find(page);
    } else if (w.recent.front() != page) {
        w.recent.remove(page);
        w.recent.push_front(page);
    }
    const size_t at = size_t(index - page * pageRows);
    return at < it->second.rows.size() ? &it->second.rows[at] : nullptr;
}

bool LedgerModel::readPage(int page) const
{
    Window &w = *m_window;
    const int last = int((w.rows - 1) / pageRows);
    const int want = page == last ? int(w.rows - qint64(page) * pageRows) : pageRows;
    const auto near = [&](int p) { return w.pages.find(p); };
    LedgerPage read;
    try {
        if (!m_reader)
            m_reader = std::make_unique<clsADO>(program::db().dbDir());
        if (!m_reader->isOpen())
            m_reader->open();
        clsADO &db = *m_reader;
        const auto pageAfter = [&](const std::optional<LedgerKey> &key, bool backward) {
            return LedgerStore::page(db, w.user, w.cls, w.filter, w.order, key, want, backward);
        };
        if (w.order.column == 1) {
            if (!w.marksReady)
                return false;
            const size_t from = std::min(w.ids.size(), size_t(page) * size_t(pageRows));
            const std::vector<qint64> ids(w.ids.begin() + qsizetype(from),
                                          w.ids.begin() + qsizetype(std::min(w.ids.size(), from + size_t(want))));
            read.rows = LedgerStore::rowsById(db, w.user, w.cls, ids);
        } else if (page == 0) {
            read = pageAfter(std::nullopt, false);
        } else if (page == last) {
            read = pageAfter(std::nullopt, true);
        } else if (auto before = near(page - 1); before != w.pages.end() && !before->second.keys.empty()) {
            read = pageAfter(before->second.keys.back(), false);
        } else if (auto after = near(page + 1); after != w.pages.end() && !after->second.keys.empty()) {
            read = pageAfter(after->second.keys.front(), true);
        } else if (w.marksReady && size_t(page + 1) < w.marks.size()) {
            read = pageAfter(w.marks[size_t(page + 1)], true);
        } else {
            return false;
        }
    } catch (const DbError &) {
        m_reader.reset();
        return false;
    }
    w.pages[page] = std::move(read);
    w.recent.push_front(page);
    while (w.recent.size() > cachedPages) {
        w.pages.erase(w.recent.back());
        w.recent.pop_back();
    }
    return true;
}

} // namespace ht
