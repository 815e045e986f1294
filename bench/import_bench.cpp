// Cost of importing a 10,000-line statement: from the file to the preview on screen
// (read, parse, duplicates and categories looked up, the preview's table built), for the
// CSV and the .xlsx export, and writing all its lines in one transaction.
#include "bench/LedgerFixture.h"
#include "tests/import/BillFiles.h"

#include "import/BillModel.h"
#include "import/BillParse.h"
#include "import/BillPreview.h"

#include "book/ImportStore.h"
#include "book/RecordStore.h"

#include "foundation/clsADO.h"

#include <QApplication>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int lines = 10'000;

QList<QStringList> statement()
{
    static const char16_t *const shops[] = {u"美团", u"超市", u"早餐店", u"滴滴出行", u"房东", u"公司", u"菜市场"};
    QList<QStringList> rows;
    const QDateTime start(QDate(2025, 1, 1), QTime(7, 0));
    for (int i = 0; i < lines; ++i) {
        const QString shop = QString::fromUtf16(shops[i % 7]);
        rows << QStringList{start.addSecs(qint64(i) * 3000).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                            QStringLiteral("商户消费"),
                            shop,
                            QStringLiteral("订单%1").arg(i),
                            i % 10 == 0 ? QStringLiteral("收入") : QStringLiteral("支出"),
                            QStringLiteral("¥%1.%2").arg(i % 500 + 1).arg(i % 100, 2, 10, QLatin1Char('0')),
                            QStringLiteral("零钱"),
                            i % 50 == 0 ? QStringLiteral("已全额退款") : QStringLiteral("支付成功"),
                            QStringLiteral("4200%1").arg(i, 8, 10, QLatin1Char('0')),
                            QString(),
                            QStringLiteral("/")};
    }
    return ht::test::withPreamble(16, QStringLiteral("微信支付账单明细列表"), ht::test::wechatHeader, rows);
}

// What the import does from the chosen file until the preview stands.
int preview(ht::clsADO &db, const QString &path)
{
    ht::Bill bill = ht::bill::readFile(path);
    QStringList categories[2];
    ht::Connection c(db);
    const auto plans = ht::ImportStore::plan(db, bench::user, bill.provider, bill.rows);
    for (int cls : {0, 1}) {
        for (const ht::Category &cat : ht::RecordStore::categories(db, bench::user, cls))
            categories[cls] << cat.name;
    }
    ht::BillPreview window(nullptr, bill, plans, categories);
    window.show();
    QApplication::processEvents();
    return window.model()->rowCount();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ht::clsADO &db = bench::openShippedStore(dir);
    QTextStream out(stdout);

    const QList<QStringList> table = statement();
    const QString csv = dir.filePath(QStringLiteral("bill.csv")), xlsx = dir.filePath(QStringLiteral("bill.xlsx"));
    for (const auto &[path, bytes] :
         {std::pair{csv, ht::test::utf8(ht::test::csvText(table), true)}, std::pair{xlsx, ht::test::xlsx(table)}}) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return 1;
    }

    int shownCsv = 0, shownXlsx = 0;
    out << "import_preview_ms=" << bench::medianMs(7, [&] { shownCsv = preview(db, csv); }) << "\n";
    out << "import_preview_xlsx_ms=" << bench::medianMs(7, [&] { shownXlsx = preview(db, xlsx); }) << "\n";

    ht::Bill bill = ht::bill::readFile(csv);
    QList<ht::ImportStore::Item> items;
    {
        ht::Connection c(db);
        const auto plans = ht::ImportStore::plan(db, bench::user, bill.provider, bill.rows);
        for (int i = 0; i < bill.rows.size(); ++i) {
            if (bill.rows[i].skipped.isEmpty())
                items.append({bill.rows[i], plans[i].category});
        }
    }
    int written = 0;
    const double writeMs = bench::medianMs(
        7,
        [&] {
        ht::Connection c(db);
        written = *ht::ImportStore::write(db, bench::user, bill.provider, items, [](int, int) { return true; });
        },
        [&] {
        ht::Connection c(db);
        ht::ImportStore::undoLast(db, bench::user);
    });
    out << "import_write_ms=" << writeMs << "\n";
    out << "import_rows=" << shownCsv << " import_written=" << written << "\n";
    return written == items.size() && shownCsv == lines && shownXlsx == lines ? 0 : 1;
}
