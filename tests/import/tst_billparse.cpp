#include "BillFiles.h"

#include "import/BillParse.h"

#include <QTemporaryDir>
#include <QTest>

using namespace ht;
using namespace ht::test;

namespace {

QString summary(const BillRow &r)
{
    const char *way = r.direction == BillRow::Direction::Income ? "收"
        : r.direction == BillRow::Direction::Expense            ? "支"
                                                                : "-";
    return QStringList{r.when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                       QString::fromUtf8(way),
                       r.amount.text(),
                       r.remark(),
                       r.method,
                       r.txno,
                       r.skipped}
        .join(u'|');
}

// The same movements in each export's shape.
const QList<QStringList> wechatRows = {
    {"2025-03-01 12:05:09", "商户消费", "美团", "外卖订单", "支出", "¥25.50", "零钱", "支付成功", "4200001\t", "m1",
     "/"},
    {"2025/3/2 8:00", "转账", "张三", "/", "收入", "￥1,200.00", "/", "已收钱", "1000002 ", "/", "/"},
    {"2025-03-03 09:00:00", "零钱提现", "招商银行", "/", "/", "100.00", "零钱", "提现已到账", "1000003", "", ""},
    {"2025-03-04 10:00:00", "商户消费", "某店", "退货", "支出", "¥30.00", "零钱", "已全额退款", "1000004", "", ""},
    {"2025-03-05 11:00:00", "商户消费", "某店", "半退", "支出", "¥20.00", "零钱", "已退款(￥5.00)", "1000005", "", ""},
    {"2025-02-30 11:00:00", "商户消费", "坏日子", "", "支出", "¥1.00", "零钱", "支付成功", "1000006", "", ""},
    {"2025-03-06 11:00:00", "商户消费", "坏金额", "", "支出", "¥1.0.0", "零钱", "支付成功", "1000007", "", ""},
    {"2025-03-07 11:00:00", "商户消费", "\"引号\", =1+1 %s", "a,\"b\"\nc", "支出", "2", "零钱", "支付成功", "", "", ""},
};
const QStringList wechatExpected = {
    "2025-03-01 12:05:09|支|25.50|美团 外卖订单|零钱|4200001|",
    "2025-03-02 08:00:00|收|1,200.00|张三||1000002|",
    "2025-03-03 09:00:00|-|100.00|招商银行|零钱|1000003|不计收支",
    "2025-03-04 10:00:00|支|30.00|某店 退货|零钱|1000004|交易状态为“已全额退款”，不是完成的收支",
    "2025-03-05 11:00:00|支|15.00|某店 半退|零钱|1000005|",
    "|支|1.00|坏日子|零钱|1000006|交易时间“2025-02-30 11:00:00”无法识别",
    "2025-03-06 11:00:00|支|0.00|坏金额|零钱|1000007|金额“¥1.0.0”无法识别",
    "2025-03-07 11:00:00|支|2.00|\"引号\", =1+1 %s a,\"b\"\nc|零钱||",
};

const QList<QStringList> alipayRows = {
    {"2025-03-01 12:00:00\t", "餐饮美食", "早餐店", "zao@example.com", "豆浆油条", "支出", " ￥ 8.00 ", "花呗",
     "交易成功", "2025030122001\t", "", ""},
    {"2025-03-02 12:00:00", "转账红包", "李四", "li***", "红包", "收入", "3,000", "余额", "交易成功", "2025030222002",
     "", ""},
    {"2025-03-03 12:00:00", "退款", "早餐店", "", "退款-豆浆", "不计收支", "8.00", "余额", "退款成功", "2025030322003",
     "", ""},
    {"2025-03-04 12:00:00", "日用百货", "超市", "", "纸巾", "支出", "12.30", "余额", "交易关闭", "2025030422004", "",
     ""},
};
const QStringList alipayExpected = {
    "2025-03-01 12:00:00|支|8.00|早餐店 豆浆油条|花呗|2025030122001|",
    "2025-03-02 12:00:00|收|3,000.00|李四 红包|余额|2025030222002|",
    "2025-03-03 12:00:00|-|8.00|早餐店 退款-豆浆|余额|2025030322003|不计收支",
    "2025-03-04 12:00:00|支|12.30|超市 纸巾|余额|2025030422004|交易状态为“交易关闭”，不是完成的收支",
};

// The web export: other names, the direction sometimes only in the fund state, footer lines.
const QStringList webHeader = {"交易号",   "商家订单号", "交易创建时间", "付款时间", "类型", "交易对方",
                               "商品名称", "金额（元）", "收/支",        "交易状态", "备注", "资金状态"};
const QList<QStringList> webRows = {
    {"W1", "", "2024-12-31 23:59:59", "", "即时到账", "房东", "房租", "2500.00", "支出", "交易成功", "", "已支出"},
    {"W2", "", "2025-01-01 00:00:01", "", "即时到账", "公司", "报销", "88.8", "", "交易成功", "", "已收入"},
    {"------------------------------------------------------------"},
    {"共2笔记录"},
};
const QStringList webExpected = {
    "2024-12-31 23:59:59|支|2,500.00|房东 房租||W1|",
    "2025-01-01 00:00:01|收|88.80|公司 报销||W2|",
};

} // namespace

class TestBillParse : public QObject {
    Q_OBJECT
private slots:
    void statements_data();
    void statements();
    void refused_data();
    void refused();
    void pieces();
};

void TestBillParse::statements_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("provider");
    QTest::addColumn<QStringList>("expected");
    const QString wechatTitle = QStringLiteral("----------------------微信支付账单明细列表--------------------");
    const QString csv16 = csvText(withPreamble(16, wechatTitle, wechatHeader, wechatRows));
    QTest::newRow("wechat csv with BOM") << utf8(csv16, true) << "wechat" << wechatExpected;
    QTest::newRow("wechat csv, header moved, no BOM")
        << utf8(csvText(withPreamble(3, wechatTitle, wechatHeader, wechatRows)), false) << "wechat" << wechatExpected;
    QTest::newRow("wechat csv in GBK") << gbk(csv16) << "wechat" << wechatExpected;
    QTest::newRow("wechat xlsx") << xlsx(withPreamble(16, wechatTitle, wechatHeader, wechatRows)) << "wechat"
                                 << wechatExpected;
    const QString alipay = csvText(withPreamble(4, "支付宝交易明细", alipayHeader, alipayRows));
    QTest::newRow("alipay app csv in GBK") << gbk(alipay) << "alipay" << alipayExpected;
    QTest::newRow("alipay app csv in UTF-8 with BOM") << utf8(alipay, true) << "alipay" << alipayExpected;
    QTest::newRow("alipay web csv") << gbk(csvText(withPreamble(1, "支付宝交易记录明细查询", webHeader, webRows)))
                                    << "alipay" << webExpected;
}

void TestBillParse::statements()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, provider);
    QFETCH(QStringList, expected);
    const Bill bill = bill::parse(bytes);
    QCOMPARE(bill.error, QString());
    QCOMPARE(bill.provider, provider);
    QStringList got;
    for (const BillRow &r : bill.rows)
        got << summary(r);
    QCOMPARE(got, expected);
}

void TestBillParse::refused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");
    const QString neither = QStringLiteral("无法识别这个文件：应为微信支付账单");
    const QByteArray good = xlsx(withPreamble(0, "", wechatHeader, wechatRows));
    QTest::newRow("empty") << QByteArray() << "文件是空的";
    QTest::newRow("bank statement") << QByteArray("日期,摘要,金额\n2025-01-01,ATM,100\n") << neither;
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01garbage", 11) << neither;
    QTest::newRow("header without rows") << utf8(csvText({wechatHeader, {"共0笔"}}), true) << "账单中没有交易记录";
    QTest::newRow("damaged xlsx") << QByteArray("PK\x03\x04 not a zip at all") << ".xlsx 文件已损坏";
    QTest::newRow("cut xlsx") << good.left(good.size() / 2) << ".xlsx 文件已损坏";
    QTest::newRow("xlsx with a broken sheet")
        << xlsx({}, "<worksheet><sheetData><row><c t=\"s\"><v>7</v></c></row></sheetData></worksheet>")
        << ".xlsx 文件已损坏";
    QTest::newRow("xlsx part not matching its checksum")
        << QByteArray(good).replace("<sst>", "<sSt>") << ".xlsx 文件已损坏";
    QTest::newRow("xlsx with unclosed xml") << xlsx({}, "<worksheet><sheetData>") << ".xlsx 文件已损坏";
}

void TestBillParse::refused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const Bill bill = bill::parse(bytes);
    QVERIFY2(bill.error.contains(error), qPrintable(bill.error));
    QVERIFY(bill.rows.isEmpty());
}

// Amount styles, day numbers and the size limit, beyond what the statements above show.
void TestBillParse::pieces()
{
    const QList<QPair<QString, qint64>> amounts = {{"¥4.50", 450},     {"￥1,234,567.89", 123456789},
                                                   {"\t 12 \t", 1200}, {"　￥0.01　", 1},
                                                   {"-3.00", -1},      {"12,34.00", -1},
                                                   {"", -1},           {"¥", -1}};
    for (const auto &[text, cents] : amounts) {
        const auto m = bill::amount(text);
        QCOMPARE(m ? qint64(m->cents()) : -1, cents);
    }
    QCOMPARE(bill::moment("45658.5")->toString(Qt::ISODate), QStringLiteral("2025-01-01T12:00:00"));
    QVERIFY(!bill::moment("2025-13-01"));

    // Another bank's columns: income and expense apart, the direction column deciding.
    const QList<QStringList> bank = {{"说明"},
                                     {"日期", "收入", "支出", "备注", "借贷"},
                                     {"2025-01-01", "", "￥12.00", "面包", ""},
                                     {"2025-01-02", "3.00", "", "退款", ""},
                                     {"2025-01-03", "", "8", "转出", "贷"},
                                     {"2025-01-04", "", "x", "坏", ""}};
    const auto columns = bill::Columns::fromText("0,-1,1,2,4,3,-1");
    QVERIFY(columns && bill::plainHeader(bank) == 1);
    QStringList got;
    for (const BillRow &r : bill::fromColumns(bank, 1, *columns).rows)
        got << summary(r);
    QCOMPARE(got,
             QStringList({"2025-01-01 00:00:00|支|12.00|面包|||", "2025-01-02 00:00:00|收|3.00|退款|||",
                          "2025-01-03 00:00:00|收|8.00|转出|||", "2025-01-04 00:00:00|支|0.00|坏|||金额无法识别"}));
    for (const char *junk : {"0,1", "a,1,1,1,1,1,1", "-1,1,-1,-1,-1,-1,-1", "0,-1,-1,-1,-1,1,2"})
        QVERIFY(!bill::Columns::fromText(junk));

    QTemporaryDir dir;
    QFile big(dir.filePath("big.csv"));
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(bill::maxFileBytes + 1));
    big.close();
    QVERIFY(bill::readFile(big.fileName()).error.contains("20 MB"));
}

QTEST_GUILESS_MAIN(TestBillParse)
#include "tst_billparse.moc"
