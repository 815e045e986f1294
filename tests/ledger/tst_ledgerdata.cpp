#include "tests/support/TestSupport.h"

#include "ledger/LedgerLoad.h"

#include "book/BankStore.h"
#include "book/Changes.h"
#include "book/MemoStore.h"
#include "book/QueryConditions.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"

#include "foundation/DbFile.h"
#include "foundation/Program.h"

#include "foundation/clsADO.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

using namespace ht;
using namespace ht::test;

namespace {

constexpr qint64 eat = 8, salary = 10, gone = 999; // built-in category IDs; 999 was deleted

QDateTime at(const char *text)
{
    return QDateTime::fromString(QString::fromLatin1(text), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QList<qint64> ids(const LedgerModel &m)
{
    QList<qint64> out;
    for (int r = 0; r < m.rowCount(); ++r)
        out << m.row(r).id;
    return out;
}

LedgerRow row(qint64 id, qint32 date, const QString &category, qint64 cents, const QString &memo = {})
{
    return {id, date, 0, category, !category.isEmpty(), Money::fromCents(cents), memo};
}

// A windowed list reads its first and last rows at once, every row once its page keys
// are in, in the whole list's order, with the same total.
void windowedMatches(clsADO &db, int cls, const SqlFilter &filter, LedgerOrder order, const QList<qint64> &want,
                     Money::Cents cents, const char *when)
{
    LedgerModel w;
    w.setSortState(order.column >= 0, qMax(order.column, 0),
                   order.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    w.show(db, "admin", cls, filter);
    if (!LedgerStore::isPeriod(filter))
        w.settle(); // counted on the list's thread
    const QString what = QStringLiteral("%1 windowed order %2 %3").arg(when).arg(order.column).arg(order.descending);
    QVERIFY2(w.windowed() == !want.isEmpty() && w.rowCount() == want.size() && w.total().cents() == cents,
             qPrintable(what));
    if (order.column != 1 && !want.isEmpty())
        QVERIFY2(w.row(0).id == want.first() && w.row(int(want.size() - 1)).id == want.last(), qPrintable(what));
    w.settle();
    const int middle = int(want.size() / 2); // a jump there reads its page by its key
    QVERIFY2(want.isEmpty() || w.row(middle).id == want[middle], qPrintable(what));
    QVERIFY2(ids(w) == want, qPrintable(what));
}

} // namespace

class TestLedgerData : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { m_folder = std::make_unique<test::ProgramFolder>(); }
    void cleanup() { m_folder.reset(); }
    void loadsOneUsersClassInDateOrderWithExactTotals()
    {
        const qint64 late = addRecord(0, at("2024-03-05 08:00:00"), 1, "it's \"fine\"", eat, "O'Brien");
        const qint64 early = addRecord(0, at("2024-03-04 23:00:00"), 2.5, {}, gone, "o'brien");
        const qint64 sameTime = addRecord(0, at("2024-03-05 08:00:00"), 3, {}, eat, "O'BRIEN");
        addRecord(1, at("2024-03-05 08:00:00"), 4, {}, salary, "O'Brien");
        addRecord(0, at("2024-03-05 08:00:00"), 5, {}, eat, "O'Brienne");
        addRecord(2, at("2024-03-05 08:00:00"), 6, {}, salary, "O'Brien"); // in neither list

        Connection c(program::db());
        LedgerModel m;
        QAbstractItemModelTester tester(&m);
        QCOMPARE(LedgerStore::loadInto(m, c.db(), "o'brien", 0, {}).text(), QStringLiteral("6.50"));
        QCOMPARE(ids(m), (QList<qint64>{early, late, sameTime}));
        QCOMPARE(columnTexts(&m, 0), QStringList({"2024年03月04日 ", "2024年03月05日 ", "2024年03月05日 "}));
        QCOMPARE(columnTexts(&m, 1), QStringList({"N/A", "吃", "吃"}));
        QCOMPARE(columnTexts(&m, 2), QStringList({"￥2.50", "￥1.00", "￥3.00"}));
        QCOMPARE(columnTexts(&m, 3), QStringList({"", "it's \"fine\"", ""}));
        QCOMPARE(LedgerStore::load(c.db(), "O'Brien", 7, {}).size(), size_t(1)); // any class above 1 asks for income

        // The largest amount the record dialog accepts, ten thousand times: the total stays exact.
        const double most = Money::parse(QStringLiteral("9999999999999.99"))->toDouble();
        Transaction t(c.db());
        for (int i = 0; i < 10000; ++i)
            addRecord(1, at("2024-06-01 12:00:00"), most, {}, salary);
        t.commit();
        LedgerModel huge;
        QCOMPARE(LedgerStore::loadInto(huge, c.db(), "admin", 1, {}).text(),
                 QStringLiteral("99,999,999,999,999,900.00"));
        QCOMPARE(columnTexts(&huge, 2).first(), QStringLiteral("￥9,999,999,999,999.99"));
    }
    void periodsCoverWholeDays()
    {
        const char *edges[] = {"2023-12-31 23:59:59", "2024-01-01 00:00:00", "2024-02-29 23:59:59",
                               "2024-03-01 00:00:00", "2024-03-15 00:00:00", "2024-03-15 23:59:59",
                               "2024-03-16 00:00:00", "2024-03-31 23:59:59", "2025-01-01 00:00:00"};
        for (const char *when : edges)
            addRecord(0, at(when), 1, QString::fromLatin1(when));
        const QDate mid(2024, 3, 15);
        const std::tuple<QDate, int, QList<int>> periods[] = {// today, button, the edges shown
                                                              {mid, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
                                                              {mid, 2, {1, 2, 3, 4, 5, 6, 7}},
                                                              {mid, 3, {3, 4, 5, 6, 7}},
                                                              {mid, 4, {4, 5}},
                                                              {mid, 6, {2}},
                                                              {QDate(2025, 1, 1), 4, {8}}};
        Connection c(program::db());
        for (const auto &[today, button, shown] : periods) {
            LedgerModel m;
            LedgerStore::loadInto(m, c.db(), "admin", 0, periodFilter(button, today));
            QStringList want;
            for (int i : shown)
                want << QString::fromLatin1(edges[i]);
            QCOMPARE(columnTexts(&m, 3), want);
        }
    }
    void textsAndSortingByValue()
    {
        LedgerModel m;
        QAbstractItemModelTester tester(&m);
        // Pinyin fang < jiang < li < wai, while code points order them otherwise; amounts
        // 1,000 and 999 that text order would swap; one day in the wrong ID order.
        m.setRows({row(9, 20240305, "外汇", 100000, "礼物"), row(4, 20240305, "礼物", 99900, "房租"),
                   row(7, 20231231, "", -500, "外汇"), row(2, 20240110, "奖金", 99900, "")});
        const struct {
            int column;
            Qt::SortOrder order;
            QList<qint64> ids;
        } sorts[] = {{2, Qt::AscendingOrder, {7, 2, 4, 9}}, {2, Qt::DescendingOrder, {9, 2, 4, 7}},
                     {0, Qt::AscendingOrder, {7, 2, 4, 9}}, {0, Qt::DescendingOrder, {9, 4, 2, 7}},
                     {1, Qt::AscendingOrder, {2, 4, 9, 7}}, {3, Qt::AscendingOrder, {2, 4, 9, 7}}};
        for (const auto &s : sorts) {
            m.sort(s.column, s.order);
            QCOMPARE(ids(m), s.ids);
        }
        // A selected row follows its record; a reload keeps the order; switching sorting off restores load order.
        const QPersistentModelIndex kept = m.index(0, 1);
        m.sort(2, Qt::AscendingOrder);
        QCOMPARE(kept.data(LedgerModel::IdRole).toLongLong(), qint64(2));
        m.setRows({row(5, 20240101, "", 100), row(6, 20240102, "", 900), row(3, 20240103, "", 500)});
        QCOMPARE(ids(m), (QList<qint64>{5, 3, 6}));
        m.setSortState(false, 2, Qt::AscendingOrder);
        QCOMPARE(ids(m), (QList<qint64>{5, 6, 3}));
    }
    // What a save or delete does to the list must equal what a reload would show, under every sort.
    void singleRowChangesMatchAFullReload()
    {
        const QList<std::pair<int, Qt::SortOrder>> sorts{{-1, Qt::AscendingOrder}, {0, Qt::DescendingOrder},
                                                         {1, Qt::AscendingOrder},  {2, Qt::DescendingOrder},
                                                         {3, Qt::AscendingOrder},  {3, Qt::DescendingOrder}};
        const SqlFilter march = periodFilter(3, QDate(2024, 3, 15));
        for (const auto &[column, order] : sorts) {
            for (qint64 id : {1, 2, 3, 4, 5, 6})
                addRecord(0, at("2024-03-10 12:00:00").addDays(id % 3), double(id % 4), id % 2 ? "午饭" : "咖啡",
                          id % 2 ? eat : 1);
            Connection c(program::db());
            QSignalSpy announced(&book::changes(), &book::Changes::changed);
            LedgerModel step, full;
            QAbstractItemModelTester tester(&step);
            for (LedgerModel *m : {&step, &full}) {
                m->setSortState(column >= 0, qMax(column, 0), order);
                LedgerStore::loadInto(*m, c.db(), "admin", 0, march);
            }
            const auto save = [&](qint64 id, const char *when, qint64 cents, const char *memo, qint64 type) {
                Record r{id, at(when), Money::fromCents(cents), {}, QString::fromUtf8(memo), 0};
                const qint64 saved = RecordStore::save(c.db(), "admin", r, type);
                LedgerStore::refreshRecord(step, c.db(), "admin", 0, march, saved);
                return saved;
            };
            const qint64 added = save(0, "2024-03-11 12:00:00", 200, "咖啡", 1);
            save(0, "2024-04-01 00:00:00", 7, "next month", eat); // outside the filter
            save(2, "2024-03-01 00:00:00", 150, "早饭", 2);       // changed in place
            save(3, "2024-02-29 23:59:59", 300, "", eat);         // changed out of the filter
            save(added, "2024-03-31 23:59:59", -100, "退款", eat);
            RecordStore::remove(c.db(), "admin", 5);
            // Each write that changed a row is announced once, a delete also to the bin; one that found none is not.
            QVERIFY(!RecordStore::remove(c.db(), "admin", gone));
            save(gone, "2024-03-02 00:00:00", 1, "", eat);
            QCOMPARE(announced.size(), 7);
            QCOMPARE(announced.last().first().value<book::Change>(), book::Change::Bin);
            QCOMPARE(announced.first().first().value<book::Change>(), book::Change::Records);
            QCOMPARE(announced.first().at(1).toInt(), 0);
            QCOMPARE(announced.first().last().toLongLong(), added);
            LedgerStore::refreshRecord(step, c.db(), "admin", 0, march, 5);
            LedgerStore::loadInto(full, c.db(), "admin", 0, march);
            QCOMPARE(ids(step), ids(full));
            for (int col = 0; col < 4; ++col)
                QCOMPARE(columnTexts(&step, col), columnTexts(&full, col));
            QCOMPARE(step.total(), full.total());
            // IDs start at 1 again, so every order changes rows 2, 3 and 5 in place.
            c.db().execute(QStringLiteral("DELETE FROM pursewicks"));
            c.db().execute(QStringLiteral("DELETE FROM sqlite_sequence WHERE name='pursewicks'"));
        }
    }
    // The bin is each user's own; a restore brings the record back as it was, or under
    // "其他" when its category went meanwhile; a failing write leaves everything as it was.
    void recycleBinKeepsEachUsersDeletesUntilRestoredOrErased()
    {
        execute("INSERT INTO types(ID,typename,class,username) VALUES(50,'书',0,'admin')");
        const qint64 book = addRecord(0, at("2024-03-01 10:00:00"), 12.34, "小说", 50);
        const qint64 lunch = addRecord(0, at("2024-03-02 12:00:00"), 20, "午饭", eat);
        const qint64 bobs = addRecord(1, at("2024-03-03 09:00:00"), 100, {}, salary, "bob");
        Connection c(program::db());
        QVERIFY(!RecordStore::remove(c.db(), "bob", book));
        QVERIFY(RecordStore::remove(c.db(), "admin", book) && RecordStore::remove(c.db(), "bob", bobs));
        const qint64 entry = RecycleBin::entries(c.db(), "admin").at(0).id;
        QCOMPARE(RecycleBin::entries(c.db(), "bob").size(), 1);
        QVERIFY(!RecycleBin::restore(c.db(), "bob", entry) && !RecycleBin::erase(c.db(), "bob", entry));
        QCOMPARE(RecycleBin::firstRecords(c.db(), "bob", entry, 9).size(), 0);
        QCOMPARE(RecycleBin::firstRecords(c.db(), "admin", entry, 9).at(0).category, QStringLiteral("书"));

        // Failing after the rows moved, either way leaves them where they were.
        c.db().execute("CREATE TEMP TRIGGER refuse BEFORE DELETE ON binEntries BEGIN SELECT RAISE(ABORT,'full'); END");
        c.db().execute("DELETE FROM types WHERE ID=50");
        QVERIFY_THROWS_EXCEPTION(DbError, RecycleBin::restore(c.db(), "admin", entry));
        QCOMPARE(RecycleBin::firstRecords(c.db(), "admin", entry, 9).size(), 1);
        QVERIFY(!RecordStore::record(c.db(), "admin", book));
        c.db().execute("DROP TRIGGER refuse");
        const std::optional<RecycleBin::Restored> back = RecycleBin::restore(c.db(), "admin", entry);
        QVERIFY(back && back->records == 1 && back->recategorized == 1);
        const std::optional<Record> r = RecordStore::record(c.db(), "admin", book);
        QCOMPARE(r->category + r->memo + r->amount.text(), QStringLiteral("其他开支小说12.34"));
        QCOMPARE(r->postdate, at("2024-03-01 10:00:00"));

        c.db().execute("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON binEntries BEGIN SELECT RAISE(ABORT,'no'); END");
        QVERIFY_THROWS_EXCEPTION(DbError, RecordStore::remove(c.db(), "admin", lunch));
        QVERIFY(RecycleBin::entries(c.db(), "admin").isEmpty() && RecordStore::record(c.db(), "admin", lunch));
        c.db().execute("DROP TRIGGER refuse");

        // Accounts and memos wait and come back the same way, with their IDs and the memos' count.
        BankAccount account;
        account.name = QStringLiteral("工行");
        account.balance = Money::fromCents(500);
        account.id = BankStore::add(c.db(), "admin", account);
        MemoNote note{0, at("2024-03-04 08:00:00"), QStringLiteral("买菜"), {}};
        const QList<qint64> notes{MemoStore::add(c.db(), "admin", note), MemoStore::add(c.db(), "admin", note)};
        QVERIFY(BankStore::remove(c.db(), "admin", account.id) && !BankStore::load(c.db(), "admin", account.id));
        QCOMPARE(MemoStore::remove(c.db(), "admin", notes), 2);
        const QList<RecycleBin::Entry> two = RecycleBin::entries(c.db(), "admin");
        QCOMPARE(two[0].kind + two[0].command + two[1].kind, QStringLiteral("memo批量删除bank"));
        for (const RecycleBin::Entry &e : two)
            QCOMPARE(RecycleBin::restore(c.db(), "admin", e.id)->records, e.count);
        QVERIFY(BankStore::load(c.db(), "admin", account.id)->balance == account.balance);
        QCOMPARE(MemoStore::load(c.db(), "admin", notes[1])->content, note.content);
        QCOMPARE(scalar("SELECT n FROM MyNotesCount WHERE username='admin'"), QStringLiteral("2"));

        RecordStore::remove(c.db(), "admin", lunch);
        RecordStore::remove(c.db(), "admin", book);
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(RecycleBin::expire(c.db(), "admin", 30, now.addDays(29)), 0);
        QCOMPARE(RecycleBin::expire(c.db(), "admin", 0, now.addDays(999)), 0);
        QVERIFY(RecycleBin::erase(c.db(), "admin", RecycleBin::entries(c.db(), "admin").at(0).id));
        QCOMPARE(RecycleBin::expire(c.db(), "admin", 30, now.addDays(31)), 1);
        QCOMPARE(RecycleBin::entries(c.db(), "bob").size(), 1);
        QCOMPARE(scalar("SELECT COUNT(*) FROM pursewicksBin WHERE username='admin'"), QStringLiteral("0"));
        QVERIFY(!RecordStore::record(c.db(), "admin", lunch) && !RecordStore::record(c.db(), "admin", book));
    }

    // Counts, totals, pages in every order and direction, and the sparse positions agree with a
    // full read sorted by the model, through adds, changes, deletes and an older file upgraded.
    void pagesAndSummariesMatchAFullRead()
    {
        const double amounts[] = {1.005, 1, 1, 0.125, -3, 1.001, 2.675, 0};
        const char *memos[] = {"午饭", "", "apple", "Apple", "午饭", nullptr, "咖啡", "午饭"};
        for (int i = 0; i < 24; ++i) // three records a day, two at one moment
            addRecord(i % 5 ? 0 : 1, at("2024-03-01 09:00:00").addDays(i / 3).addSecs(i % 3 == 2 ? 60 : 0),
                      amounts[i % 8], memos[i % 8] ? QString::fromUtf8(memos[i % 8]) : QString(), i % 4 ? eat : gone);
        SearchConditions byMemo;
        byMemo.byMemo = true;
        byMemo.memo = QStringLiteral("饭");
        const SqlFilter filters[] = {
            {}, dateRange(QDate(2024, 3, 2), QDate(2024, 3, 5)), QueryConditions::common(byMemo)};
        const LedgerOrder orders[] = {{-1, false}, {0, false}, {0, true}, {2, false}, {2, true}, {3, false}, {3, true}};
        Connection c(program::db());
        const auto compareAll = [&](const char *when) {
            for (int cls : {0, 1}) {
                for (const SqlFilter &filter : filters) {
                    const std::vector<LedgerRow> all = LedgerStore::load(c.db(), "admin", cls, filter);
                    Money::Cents cents = 0;
                    for (const LedgerRow &r : all)
                        cents += r.amount.cents();
                    const LedgerSummary sum = LedgerStore::summary(c.db(), "admin", cls, filter);
                    QVERIFY2(sum.rows == qint64(all.size()) && sum.total.cents() == cents, when);
                    for (bool descending : {false, true}) { // the category order has no pages of its own
                        LedgerModel m;
                        m.setSortState(true, 1, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
                        m.setRows(all);
                        windowedMatches(c.db(), cls, filter, {1, descending}, ids(m), cents, when);
                    }
                    for (const LedgerOrder &order : orders) {
                        LedgerModel m;
                        m.setSortState(order.column >= 0, qMax(order.column, 0),
                                       order.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
                        m.setRows(all);
                        const QList<qint64> want = ids(m);
                        for (const auto &[limit, backward] :
                             {std::pair(2, false), {3, true}, {50, false}, {50, true}}) {
                            QList<qint64> got;
                            std::optional<LedgerKey> after;
                            for (int pages = 0; pages < 30; ++pages) {
                                const LedgerPage p = LedgerStore::page(c.db(), "admin", cls, filter, order, after,
                                                                       limit, backward);
                                if (p.rows.empty())
                                    break;
                                QList<qint64> read;
                                for (const LedgerRow &r : p.rows)
                                    read << r.id;
                                got = backward ? read + got : got + read;
                                after = backward ? p.keys.front() : p.keys.back();
                            }
                            QVERIFY2(got == want,
                                     qPrintable(QStringLiteral("%1 order %2 %3 backward %4")
                                                    .arg(when)
                                                    .arg(order.column)
                                                    .arg(order.descending)
                                                    .arg(backward)));
                        }
                        windowedMatches(c.db(), cls, filter, order, want, cents, when);
                        const std::vector<LedgerKey> marks = LedgerStore::positions(c.db(), "admin", cls, filter, order,
                                                                                    3);
                        QCOMPARE(qsizetype(marks.size()), (want.size() + 2) / 3);
                        for (size_t k = 0; k < marks.size(); ++k) { // a jump reads on from the mark
                            const qsizetype at = qsizetype(k * 3);
                            const LedgerPage next = LedgerStore::page(c.db(), "admin", cls, filter, order, marks[k], 1);
                            QCOMPARE(marks[k].id, want[at]);
                            QCOMPARE(next.rows.empty() ? 0 : next.rows[0].id, at + 1 < want.size() ? want[at + 1] : 0);
                        }
                    }
                }
            }
        };
        LedgerModel::setWindowing(0, 2);
        compareAll("added");
        LedgerModel kept; // a windowed list the changes below happen under
        kept.setSortState(true, 3, Qt::DescendingOrder);
        kept.show(c.db(), "admin", 0, {});
        for (qint64 id : {2, 7, 11}) {
            const std::optional<Record> r = RecordStore::record(c.db(), "admin", id);
            Record changed = *r;
            changed.postdate = changed.postdate.addDays(id % 2 ? 2 : -1);
            changed.amount = Money::fromCents(id * 25);
            changed.style = id == 7 ? 1 : r->style;
            RecordStore::save(c.db(), "admin", changed, eat);
        }
        RecordStore::remove(c.db(), "admin", 4);
        c.db().execute(QStringLiteral("UPDATE pursewicks SET money=0.285 WHERE ID=3"));
        LedgerStore::refreshRecord(kept, c.db(), "admin", 0, {}, 4);
        kept.settle();
        LedgerModel whole;
        whole.setSortState(true, 3, Qt::DescendingOrder);
        whole.setRows(LedgerStore::load(c.db(), "admin", 0, {}));
        QCOMPARE(ids(kept), ids(whole));
        QCOMPARE(kept.total().text(), whole.total().text());
        compareAll("changed");
        const auto sums = [&] {
            QList<qint64> out;
            for (int cls : {0, 1}) {
                const LedgerSummary s = LedgerStore::summary(c.db(), "admin", cls, {});
                out << s.rows << s.total.cents();
            }
            return out;
        };
        const QList<qint64> before = sums();
        QVERIFY(QueryConditions::deletePicked(c.db(), "admin", QueryConditions::common(byMemo)) > 0);
        compareAll("deleted");
        // Both deletes wait in the bin, newest first; the batch restored, every figure is as before it.
        const QList<RecycleBin::Entry> bin = RecycleBin::entries(c.db(), "admin");
        QCOMPARE(bin.size(), 2);
        QCOMPARE(bin[0].command + bin[1].command, QStringLiteral("批量删除单条删除"));
        c.db().execute(QStringLiteral("DELETE FROM pursewicksDays WHERE n=0")); // as a rebuild of the sums leaves them
        QVERIFY(RecycleBin::restore(c.db(), "admin", bin[0].id));
        QCOMPARE(sums(), before);
        addRecord(0, at("2024-03-02 09:30:00"), 1.5, QStringLiteral("午饭"), eat); // the triggers count again
        compareAll("restored");
        QCOMPARE(RecycleBin::restore(c.db(), "admin", bin[1].id)->records, 1);
        QCOMPARE(RecordStore::record(c.db(), "admin", 4)->postdate, at("2024-03-02 09:00:00"));

        // A file from before the paged lists passes the restore check and is upgraded in one go.
        for (const char *object :
             {"INDEX pursewicks_owner_class_day", "INDEX pursewicks_owner_class_amount",
              "INDEX pursewicks_owner_class_memo", "TRIGGER pursewicks_days_insert", "TRIGGER pursewicks_days_delete",
              "TRIGGER pursewicks_days_update", "TABLE pursewicksDays", "TABLE binEntries", "TABLE pursewicksBin"})
            c.db().execute(QStringLiteral("DROP ") + QString::fromLatin1(object));
        addRecord(0, at("2024-03-03 10:00:00"), 9.995, QStringLiteral("旧"), gone);
        QVERIFY(LedgerStore::needsUpgrade(c.db()));
        QCOMPARE(checkDatabaseFile(c.db().dbDir()), QString());
        QVERIFY(!LedgerStore::upgrade(c.db(), [](int done, int) { return done < 3; }));
        QVERIFY(LedgerStore::needsUpgrade(c.db()));
        QList<int> steps;
        QVERIFY(LedgerStore::upgrade(c.db(), [&](int done, int of) { return steps << done * 100 / of, true; }));
        QCOMPARE(steps.last(), 100);
        QVERIFY(!LedgerStore::needsUpgrade(c.db()));
        RecycleBin::upgrade(c.db());
        QCOMPARE(checkDatabaseFile(c.db().dbDir()), QString());
        compareAll("upgraded");
        LedgerModel::setWindowing(5000, 256);
    }

private:
    std::unique_ptr<test::ProgramFolder> m_folder;
};

QTEST_MAIN(TestLedgerData)
#include "tst_ledgerdata.moc"
