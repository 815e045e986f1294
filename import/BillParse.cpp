#include "import/BillParse.h"

#include "import/XlsxRead.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <array>

namespace ht::bill {
namespace {

using Direction = BillRow::Direction;

enum Field { Time, Counterparty, Goods, Way, Amount, Method, Status, Txno, FundStatus, FieldCount };

// Each field's column names across the exports, the preferred one first. Blanks and the
// kind of brackets do not count.
const std::array<QStringList, FieldCount> &names()
{
    static const std::array<QStringList, FieldCount> n = {{
        {QStringLiteral("交易时间"), QStringLiteral("交易创建时间"), QStringLiteral("付款时间")},
        {QStringLiteral("交易对方")},
        {QStringLiteral("商品"), QStringLiteral("商品说明"), QStringLiteral("商品名称")},
        {QStringLiteral("收/支")},
        {QStringLiteral("金额(元)"), QStringLiteral("金额")},
        {QStringLiteral("支付方式"), QStringLiteral("收/付款方式")},
        {QStringLiteral("当前状态"), QStringLiteral("交易状态")},
        {QStringLiteral("交易单号"), QStringLiteral("交易订单号"), QStringLiteral("交易号")},
        {QStringLiteral("资金状态")},
    }};
    return n;
}

QString cell(const QStringList &row, int column)
{
    return column >= 0 && column < row.size() ? row.at(column).trimmed() : QString();
}

// "/" stands for nothing in the statements.
QString text(const QStringList &row, int column)
{
    const QString t = cell(row, column);
    return t == QLatin1String("/") ? QString() : t;
}

QString columnName(const QString &name)
{
    QString key;
    key.reserve(name.size());
    for (QChar c : name) {
        if (!c.isSpace())
            key += c == u'（' ? QChar(u'(') : c == u'）' ? QChar(u')') : c;
    }
    return key;
}

// The columns of each field when the row is a header: time, amount and direction at least.
std::optional<std::array<int, FieldCount>> header(const QStringList &row)
{
    std::array<int, FieldCount> at;
    at.fill(-1);
    for (int f = 0; f < FieldCount; ++f) {
        int rank = int(names()[size_t(f)].size());
        for (int c = 0; c < row.size(); ++c) {
            const qsizetype r = names()[size_t(f)].indexOf(columnName(row.at(c)));
            if (r >= 0 && r < rank) {
                rank = int(r);
                at[size_t(f)] = c;
            }
        }
    }
    if (at[Time] < 0 || at[Amount] < 0 || (at[Way] < 0 && at[FundStatus] < 0))
        return std::nullopt;
    return at;
}

Direction direction(const QString &way, const QString &fundStatus)
{
    if (way == QStringLiteral("收入") || (way.isEmpty() && fundStatus == QStringLiteral("已收入")))
        return Direction::Income;
    if (way == QStringLiteral("支出") || (way.isEmpty() && fundStatus == QStringLiteral("已支出")))
        return Direction::Expense;
    return Direction::Neutral;
}

// Why a row in this state is no completed payment; empty when it is one.
QString unfinished(const QString &status)
{
    static const QStringList marks = {QStringLiteral("关闭"),   QStringLiteral("失败"),  QStringLiteral("全额退款"),
                                      QStringLiteral("已退还"), QStringLiteral("等待"),  QStringLiteral("未支付"),
                                      QStringLiteral("撤销"),   QStringLiteral("处理中")};
    for (const QString &m : marks) {
        if (status.contains(m))
            return QStringLiteral("交易状态为“%1”，不是完成的收支").arg(status);
    }
    return {};
}

// A partial refund noted in the state, as WeChat writes it: "已退款(￥2.00)".
std::optional<Money> refunded(const QString &status)
{
    static const QRegularExpression re(QStringLiteral("已退款\\s*[(（]\\s*([^)）]*)[)）]"));
    const QRegularExpressionMatch m = re.match(status);
    return m.hasMatch() ? amount(m.captured(1)) : std::nullopt;
}

BillRow row(const QStringList &cells, const std::array<int, FieldCount> &at)
{
    BillRow r;
    r.counterparty = text(cells, at[Counterparty]);
    r.goods = text(cells, at[Goods]);
    r.method = text(cells, at[Method]);
    r.status = text(cells, at[Status]);
    r.txno = text(cells, at[Txno]);
    r.direction = direction(cell(cells, at[Way]), cell(cells, at[FundStatus]));
    const auto when = moment(cell(cells, at[Time]));
    const auto money = amount(cell(cells, at[Amount]));
    if (when)
        r.when = *when;
    if (money)
        r.amount = *money;
    if (!when)
        r.skipped = QStringLiteral("交易时间“%1”无法识别").arg(cell(cells, at[Time]));
    else if (!money)
        r.skipped = QStringLiteral("金额“%1”无法识别").arg(cell(cells, at[Amount]));
    else if (r.direction == Direction::Neutral)
        r.skipped = QStringLiteral("不计收支");
    else if (const QString why = unfinished(r.status); !why.isEmpty())
        r.skipped = why;
    else if (const auto back = refunded(r.status)) {
        if (*back >= r.amount)
            r.skipped = QStringLiteral("已全额退款");
        else
            r.amount = r.amount - *back;
    }
    if (r.skipped.isEmpty() && r.amount == Money())
        r.skipped = QStringLiteral("金额为零");
    return r;
}

bool blank(const QStringList &cells)
{
    int filled = 0;
    for (const QString &c : cells)
        filled += c.trimmed().isEmpty() ? 0 : 1;
    // A footer line ("共12笔记录", a row of dashes) fills one cell at most.
    return filled <= 1;
}

const QString expected = QStringLiteral("无法识别这个文件：应为微信支付账单（.xlsx 或 .csv）或支付宝账单（.csv），"
                                        "其中有“交易时间”“收/支”“金额”等列。");

} // namespace

QString decode(const QByteArray &bytes)
{
    if (const auto bom = QStringConverter::encodingForData(bytes)) {
        QStringDecoder decoder(*bom);
        return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    return gb.isValid() ? QString(gb.decode(bytes)) : text;
}

QList<QStringList> splitCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    bool any = false; // the line has begun
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text.at(i + 1) == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == u',') {
            row << field;
            field.clear();
            any = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
                ++i;
            if (any || !field.isEmpty())
                row << field;
            rows << row;
            row.clear();
            field.clear();
            any = false;
        } else {
            field += c;
            any = true;
        }
    }
    if (any || !field.isEmpty()) {
        row << field;
        rows << row;
    }
    return rows;
}

std::optional<Money> amount(const QString &text)
{
    QString t = text;
    t.remove(u'¥').remove(u'￥').remove(u'\u3000');
    t = t.trimmed();
    if (t.startsWith(u'-') || t.isEmpty())
        return std::nullopt;
    return Money::parse(t);
}

std::optional<QDateTime> moment(const QString &text)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T]+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?$"));
    const QString t = text.trimmed();
    if (const QRegularExpressionMatch m = re.match(t); m.hasMatch()) {
        const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        const QTime time(m.captured(4).toInt(), m.captured(5).toInt(), m.captured(6).toInt());
        if (!d.isValid() || !time.isValid())
            return std::nullopt;
        return QDateTime(d, time);
    }
    // A sheet's date cell: days since 1899-12-30, the fraction the time of day.
    static const QRegularExpression serial(QStringLiteral("^\\d{5}(\\.\\d+)?$"));
    if (serial.match(t).hasMatch()) {
        const double days = t.toDouble();
        const qint64 whole = qint64(days);
        const qint64 seconds = qRound64((days - double(whole)) * 86400.0);
        return QDateTime(QDate(1899, 12, 30).addDays(whole), QTime(0, 0)).addSecs(seconds);
    }
    return std::nullopt;
}

Bill fromTable(const QList<QStringList> &table)
{
    Bill bill;
    qsizetype first = -1;
    std::array<int, FieldCount> at{};
    bool wechat = false;
    for (qsizetype i = 0; i < table.size() && first < 0; ++i) {
        if (table.at(i).join(QString()).contains(QStringLiteral("微信支付")))
            wechat = true;
        if (const auto h = header(table.at(i))) {
            at = *h;
            first = i + 1;
            const QStringList &names = table.at(i);
            wechat = wechat || names.contains(QStringLiteral("当前状态")) || names.contains(QStringLiteral("交易单号"));
        }
    }
    if (first < 0) {
        bill.error = expected;
        bill.unknownKind = plainHeader(table).has_value();
        return bill;
    }
    bill.provider = wechat ? QStringLiteral("wechat") : QStringLiteral("alipay");
    for (qsizetype i = first; i < table.size(); ++i) {
        if (!blank(table.at(i)))
            bill.rows << row(table.at(i), at);
    }
    if (bill.rows.isEmpty())
        bill.error = QStringLiteral("账单中没有交易记录。");
    return bill;
}

Bill parse(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {{}, {}, QStringLiteral("文件是空的。")};
    if (bytes.startsWith("PK\x03\x04")) {
        Bill bill;
        const auto table = readXlsx(bytes, &bill.error);
        return table ? fromTable(*table) : bill;
    }
    return fromTable(splitCsv(decode(bytes)));
}

QString Columns::text() const
{
    QStringList parts;
    for (int c : {date, amount, income, expense, direction, remark, id})
        parts << QString::number(c);
    return parts.join(u',');
}

std::optional<Columns> Columns::fromText(const QString &text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 7)
        return std::nullopt;
    int v[7];
    for (int i = 0; i < 7; ++i) {
        bool ok = false;
        v[i] = parts[i].toInt(&ok);
        if (!ok || v[i] < -1 || v[i] > 1000)
            return std::nullopt;
    }
    const Columns c{v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
    return c.usable() ? std::optional<Columns>(c) : std::nullopt;
}

std::optional<qsizetype> plainHeader(const QList<QStringList> &table)
{
    for (qsizetype i = 0; i < table.size(); ++i) {
        int filled = 0;
        for (const QString &c : table.at(i))
            filled += c.trimmed().isEmpty() ? 0 : 1;
        if (filled >= 3)
            return i;
    }
    return std::nullopt;
}

QString headerKey(const QStringList &header)
{
    QStringList names;
    for (const QString &c : header)
        names << c.trimmed();
    return QString::fromLatin1(
        QCryptographicHash::hash(names.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
}

Bill fromColumns(const QList<QStringList> &table, qsizetype header, const Columns &map)
{
    Bill bill;
    bill.provider = QStringLiteral("csv-") + headerKey(table.value(header));
    // A signed amount, with the currency signs the statements write around it.
    const auto signedAmount = [](const QString &text) -> std::optional<Money> {
        QString t = text;
        t.remove(u'¥').remove(u'￥').remove(u'\u3000');
        return t.trimmed().isEmpty() ? std::nullopt : Money::parse(t);
    };
    for (qsizetype i = header + 1; i < table.size(); ++i) {
        const QStringList &cells = table.at(i);
        if (blank(cells))
            continue;
        BillRow r;
        r.counterparty = text(cells, map.remark);
        r.txno = text(cells, map.id);
        const auto when = moment(cell(cells, map.date));
        std::optional<Money> money;
        bool negative = false;
        if (map.amount >= 0) {
            money = signedAmount(cell(cells, map.amount));
            negative = money && *money < Money();
            if (negative)
                money = Money() - *money;
            if (money)
                r.direction = negative ? BillRow::Direction::Expense : BillRow::Direction::Income;
        } else {
            const auto in = signedAmount(cell(cells, map.income));
            const auto out = signedAmount(cell(cells, map.expense));
            money = in && *in != Money() ? in : out;
            r.direction = in && *in != Money() ? BillRow::Direction::Income : BillRow::Direction::Expense;
        }
        const QString way = cell(cells, map.direction);
        if (way.contains(u'收') || way.contains(u'入') || way.contains(u'贷'))
            r.direction = BillRow::Direction::Income;
        else if (way.contains(u'支') || way.contains(u'出') || way.contains(u'借'))
            r.direction = BillRow::Direction::Expense;
        if (when)
            r.when = *when;
        if (money && *money > Money())
            r.amount = *money;
        if (!when)
            r.skipped = QStringLiteral("交易时间“%1”无法识别").arg(cell(cells, map.date));
        else if (!money)
            r.skipped = QStringLiteral("金额无法识别");
        else if (r.amount == Money())
            r.skipped = QStringLiteral("金额为零");
        bill.rows << r;
    }
    if (bill.rows.isEmpty())
        bill.error = QStringLiteral("账单中没有交易记录。");
    return bill;
}

Bill readFile(const QString &path, QList<QStringList> *table)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, {}, QStringLiteral("无法打开文件：") + file.errorString()};
    if (file.size() > maxFileBytes)
        return {{}, {}, QStringLiteral("文件超过 %1 MB，不像是一份账单。").arg(maxFileBytes / 1024 / 1024)};
    const QByteArray bytes = file.read(maxFileBytes + 1);
    Bill bill = parse(bytes);
    if (bill.unknownKind && table)
        *table = bytes.startsWith("PK\x03\x04") ? readXlsx(bytes, nullptr).value_or(QList<QStringList>())
                                                : splitCsv(decode(bytes));
    return bill;
}

} // namespace ht::bill
