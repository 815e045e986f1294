// Cost of the bank account list with 2,000 accounts of the user beside 1,000 of another:
// the whole reload the window does (fresh connection, query, rows, sort), and the query alone.
#include "bench/LedgerFixture.h"

#include "banks/frmBanks.h"

#include "book/BankStore.h"

#include "foundation/Program.h"
#include "foundation/clsADO.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTreeWidget>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int accounts = 2'000;
using bench::user;

void fill(ht::clsADO &db)
{
    static const char16_t *const places[] = {u"北京", u"上海", u"广州", u"深圳", u"杭州", u"成都", u"武汉"};
    ht::Connection c(db);
    ht::Transaction t(db);
    for (int i = 0; i < accounts + 1'000; ++i) {
        ht::BankAccount a;
        a.addr = QString::fromUtf16(places[i % 7]) + QString::number(i % 97);
        a.regdate = QDate(2000, 1, 1).addDays(i * 3);
        a.name = QStringLiteral("银行%1").arg(i % 13);
        a.holder = QStringLiteral("户主%1").arg(i % 5);
        a.account = QStringLiteral("6222%1").arg(i, 12, 10, QLatin1Char('0'));
        a.card = QStringLiteral("4000%1").arg(i, 12, 10, QLatin1Char('0'));
        a.balance = ht::Money::fromCents(ht::Money::Cents(i) * 12345);
        a.memo = QStringLiteral("备注 %1").arg(i);
        ht::BankStore::add(db, i < accounts ? user : QStringLiteral("other"), a);
    }
    t.commit();
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    ht::clsADO &db = bench::openShippedStore(dir);
    fill(db);

    size_t rows = 0;
    const double storeMs = bench::medianMs(7, [&] {
        ht::Connection c(db);
        rows = ht::BankStore::list(db, user).size();
    });
    ht::frmBanks window; // loads once: the key is derived before the timing
    const double loadMs = bench::medianMs(7, [&] { window.bankLists(); });
    out << "banks_load_ms=" << QString::number(loadMs, 'f', 2) << " (" << window.ListView1->topLevelItemCount()
        << " rows shown)" << Qt::endl;
    out << "banks_query_ms=" << QString::number(storeMs, 'f', 2) << " (" << rows << " rows read)" << Qt::endl;
    return 0;
}
