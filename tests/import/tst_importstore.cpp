#include "BillFiles.h"

#include "tests/support/TestSupport.h"

#include "book/ImportStore.h"
#include "book/RecordStore.h"
#include "book/RecycleBin.h"
#include "import/BillParse.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QTest>

using namespace ht;
using namespace ht::test;

namespace {

const QString hostile = QString(10000, u'长') + QStringLiteral("😀\"'%s =1+1 ;DROP TABLE types;--");

QList<QStringList> lines(int first, int last)
{
    QList<QStringList> rows;
    for (int i = first; i <= last; ++i)
        rows << QStringList{QStringLiteral("2025-04-%1 10:00:00").arg(i, 2, 10, QLatin1Char('0')),
                            "商户消费",
                            i == 3 ? hostile : QStringLiteral("商家%1").arg(i % 3),
                            i == 1 ? "美团外卖" : "",
                            i == 4 ? "收入" : "支出",
                            QStringLiteral("¥%1.25").arg(i),
                            "零钱",
                            "支付成功",
                            i == 5 ? "" : QStringLiteral("42%1").arg(i),
                            "",
                            ""};
    return rows;
}

Bill statement(int first, int last)
{
    return bill::parse(utf8(csvText(withPreamble(2, "微信支付账单明细列表", wechatHeader, lines(first, last))), true));
}

// Plans and writes the statement for the user; each line's proposal and the records added.
QStringList importLines(const QString &user, Bill bill, int *added = nullptr,
                        const ImportStore::Progress &progress = {})
{
    Connection c(program::db());
    const QList<ImportStore::Plan> plans = ImportStore::plan(c.db(), user, bill.provider, bill.rows);
    QStringList shown;
    QList<ImportStore::Item> items;
    for (int i = 0; i < bill.rows.size(); ++i) {
        shown << (bill.rows[i].skipped.isEmpty() ? plans[i].category + u'/' + plans[i].why : bill.rows[i].skipped);
        if (bill.rows[i].skipped.isEmpty())
            items.append({bill.rows[i], plans[i].category});
    }
    const auto n = ImportStore::write(c.db(), user, bill.provider, items, progress);
    if (added)
        *added = n ? *n : -1;
    return shown;
}

QString records(const QString &user)
{
    return scalar("SELECT group_concat(x,';') FROM (SELECT A.style||' '||A.money||' '||B.typename||' '||length(A.memo) "
                  "AS x FROM pursewicks A LEFT JOIN types B ON A.typeid=B.ID WHERE A.username=? ORDER BY A.postdate)",
                  {user});
}

} // namespace

class TestImportStore : public QObject {
    Q_OBJECT
private slots:
    void upgradeMatchesTheSchema();
    void importingTwiceRulesAndUndo();
};

// An older database gains the import's tables at the first start, as the schema has them.
void TestImportStore::upgradeMatchesTheSchema()
{
    ProgramFolder folder;
    const QString objects = "SELECT group_concat(sql,';') FROM (SELECT sql FROM sqlite_master WHERE name LIKE "
                            "'import%' ORDER BY name)";
    const QString schema = scalar(objects);
    QVERIFY(schema.contains("importedtx_touched"));
    for (const char *table : {"importbatches", "importedtx", "importrules"})
        execute(QStringLiteral("DROP TABLE %1").arg(table));
    Connection c(program::db());
    ImportStore::upgrade(c.db());
    ImportStore::upgrade(c.db());
    QCOMPARE(scalar(objects), schema);
}

void TestImportStore::importingTwiceRulesAndUndo()
{
    const auto folder = ProgramFolder::withUser("admin");
    addRecord(0, QDateTime(QDate(2025, 4, 2), QTime(9, 0)), 7, "手记", 1);
    int added = 0;
    // Another user's import of the same lines stays theirs throughout.
    importLines("mary", statement(1, 3), &added);
    QCOMPARE(added, 3);
    const QString marys = records("mary");

    // Cancelled: nothing written, not even the import itself.
    importLines("admin", statement(1, 5), &added, [](int, int) { return false; });
    QCOMPARE(added, -1);
    QCOMPARE(scalar("SELECT COUNT(*) FROM importbatches WHERE username='admin'"), "0");

    {
        Connection c(program::db());
        ImportStore::saveRules(c.db(), "admin", {{"美团", 0, "吃"}, {"", 0, "日常"}, {"商家1", 0, "已删的类别"}});
    }
    int calls = 0;
    const auto counting = [&calls](int done, int total) {
        ++calls;
        return done <= total;
    };
    QCOMPARE(importLines("admin", statement(1, 5), &added, counting),
             QStringList({"吃/规则：包含“美团”", "其他开支/默认", "其他开支/默认", "其他收入/默认", "其他开支/默认"}));
    QCOMPARE(added, 5);
    QVERIFY(calls >= 2);
    QCOMPARE(scalar("SELECT memo FROM pursewicks WHERE username='admin' AND length(memo)>9000"), hostile);

    // The user corrects a category; it is proposed for that counterparty next time, and undo keeps the record.
    {
        Connection c(program::db());
        const qint64 id = scalar("SELECT ID FROM pursewicks WHERE username='admin' AND memo='商家2'").toLongLong();
        Record r = *RecordStore::record(c.db(), "admin", id);
        r.category = "日常";
        RecordStore::save(c.db(), "admin", r, *RecordStore::categoryId(c.db(), "admin", 0, "日常"));
    }
    // The same file again adds nothing; an overlapping one only its new lines.
    QCOMPARE(importLines("admin", statement(1, 5), &added), QStringList(5, "已导入过"));
    QCOMPARE(added, 0);
    QCOMPARE(importLines("admin", statement(4, 8), &added),
             QStringList({"已导入过", "已导入过", "其他开支/默认", "吃/同一交易对方上次的类别",
                          "日常/同一交易对方上次的类别"}));
    QCOMPARE(added, 3);
    const QString beforeLast = records("admin");

    Connection c(program::db());
    auto undone = ImportStore::undoLast(c.db(), "admin");
    QCOMPARE(undone->removed, 3);
    undone = ImportStore::undoLast(c.db(), "admin");
    QCOMPARE(undone->removed, 4);
    QCOMPARE(undone->kept, 1);
    QCOMPARE(records("admin"), "0 7.0 日常 2;0 2.25 日常 3");
    const QList<RecycleBin::Entry> bin = RecycleBin::entries(c.db(), "admin");
    QVERIFY(bin.size() == 2 && bin[0].count == 4 && bin[1].count == 3);
    QCOMPARE(bin[0].command, "撤销导入");
    // Back from the bin, an import's lines count as imported again, and it can be undone again.
    QCOMPARE(RecycleBin::restore(c.db(), "admin", bin[1].id)->records, 3);
    QCOMPARE(importLines("admin", statement(6, 8), &added), QStringList(3, "已导入过"));
    QCOMPARE(ImportStore::undoLast(c.db(), "admin")->removed, 3);
    QVERIFY(!ImportStore::undoLast(c.db(), "admin"));
    QCOMPARE(records("mary"), marys);
    QVERIFY(beforeLast != records("admin"));
    // After the undo the lines may come again, all but the one kept.
    QCOMPARE(importLines("admin", statement(1, 3), &added).size(), 3);
    QCOMPARE(added, 2);
    // Unplanned, the unique key alone keeps a line from coming twice, even within one write.
    const BillRow fresh = statement(9, 9).rows.at(0), old = statement(1, 1).rows.at(0);
    QCOMPARE(ImportStore::write(c.db(), "admin", "wechat", {{fresh, "吃"}, {old, "吃"}, {fresh, "吃"}}), 1);
    QCOMPARE(scalar("SELECT COUNT(*) FROM pursewicks WHERE username='admin'"), "5");
}

QTEST_MAIN(TestImportStore)
#include "tst_importstore.moc"
