#pragma once

// Statements as the providers export them, written by the tests from made-up rows.

#include <QByteArray>
#include <QStringEncoder>
#include <QStringList>

#include <tuple>

#include <zlib.h>

namespace ht::test {

inline const QStringList wechatHeader = {"交易时间", "交易类型", "交易对方", "商品",     "收/支", "金额(元)",
                                         "支付方式", "当前状态", "交易单号", "商户单号", "备注"};
inline const QStringList alipayHeader = {"交易时间", "交易分类",    "交易对方", "对方账号",   "商品说明",   "收/支",
                                         "金额",     "收/付款方式", "交易状态", "交易订单号", "商家订单号", "备注"};

inline QString csvText(const QList<QStringList> &rows)
{
    QString out;
    for (const QStringList &row : rows) {
        QStringList cells;
        for (QString c : row) {
            if (c.contains(u',') || c.contains(u'"') || c.contains(u'\n'))
                c = u'"' + c.replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
            cells << c;
        }
        out += cells.join(u',') + QStringLiteral("\r\n");
    }
    return out;
}

// preamble lines, then the header and the rows.
inline QList<QStringList> withPreamble(int lines, const QString &title, const QStringList &header,
                                       const QList<QStringList> &rows)
{
    QList<QStringList> all;
    for (int i = 0; i < lines; ++i)
        all << QStringList{QStringLiteral("说明第%1行：起止时间 统计").arg(i)};
    all << QStringList{title} << header << rows;
    return all;
}

inline QByteArray utf8(const QString &text, bool bom)
{
    return (bom ? QByteArray("\xEF\xBB\xBF") : QByteArray()) + text.toUtf8();
}

inline QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

// A workbook whose first sheet holds the rows: texts shared, inline or numbers, as
// WeChat's own mixes them.
inline QByteArray xlsx(const QList<QStringList> &rows, const QByteArray &brokenSheet = {})
{
    const auto esc = [](QString s) { return s.toHtmlEscaped(); };
    QStringList shared;
    QString sheet = QStringLiteral("<?xml version=\"1.0\"?><worksheet><sheetData>");
    for (int r = 0; r < rows.size(); ++r) {
        sheet += QStringLiteral("<row r=\"%1\">").arg(r + 1);
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString ref = QString(QChar(u'A' + c)) + QString::number(r + 1);
            const QString v = rows[r][c];
            bool number = false;
            v.toDouble(&number);
            if (number)
                sheet += QStringLiteral("<c r=\"%1\"><v>%2</v></c>").arg(ref, v);
            else if (c % 2)
                sheet += QStringLiteral("<c r=\"%1\" t=\"inlineStr\"><is><t>%2</t></is></c>").arg(ref, esc(v));
            else {
                sheet += QStringLiteral("<c r=\"%1\" t=\"s\"><v>%2</v></c>").arg(ref).arg(shared.size());
                shared << v;
            }
        }
        sheet += QStringLiteral("</row>");
    }
    sheet += QStringLiteral("</sheetData></worksheet>");
    QString sst = QStringLiteral("<?xml version=\"1.0\"?><sst>");
    for (const QString &s : shared)
        sst += QStringLiteral("<si><r><t>%1</t></r><r><t></t></r></si>").arg(esc(s));
    sst += QStringLiteral("</sst>");

    // The sheet deflated, the shared strings stored, as archivers do for small parts.
    QByteArray zip, directory;
    const auto le = [](QByteArray &out, quint32 v, int width) {
        for (int i = 0; i < width; ++i)
            out.append(char((v >> (8 * i)) & 0xff));
    };
    int count = 0;
    for (const auto &[name, body, deflated] :
         {std::tuple{QByteArray("xl/sharedStrings.xml"), sst.toUtf8(), false},
          std::tuple{QByteArray("xl/worksheets/sheet1.xml"), brokenSheet.isEmpty() ? sheet.toUtf8() : brokenSheet,
                     true}}) {
        QByteArray packed = body;
        if (deflated) {
            packed.resize(qsizetype(compressBound(uLong(body.size()))) + 64);
            z_stream z{};
            deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
            z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData()));
            z.avail_in = uInt(body.size());
            z.next_out = reinterpret_cast<Bytef *>(packed.data());
            z.avail_out = uInt(packed.size());
            deflate(&z, Z_FINISH);
            packed.resize(qsizetype(z.total_out));
            deflateEnd(&z);
        }
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(body.constData()), uInt(body.size())));
        const quint32 offset = quint32(zip.size());
        const auto header = [&](QByteArray &out, bool central) {
            le(out, central ? 0x02014b50 : 0x04034b50, 4);
            if (central)
                le(out, 20, 2);
            le(out, 20, 2);
            le(out, 0, 2);
            le(out, deflated ? 8 : 0, 2);
            le(out, 0, 4);
            le(out, crc, 4);
            le(out, quint32(packed.size()), 4);
            le(out, quint32(body.size()), 4);
            le(out, quint32(name.size()), 2);
            le(out, 0, 2);
            if (central) {
                le(out, 0, 2);
                le(out, 0, 2);
                le(out, 0, 2);
                le(out, 0, 4);
                le(out, offset, 4);
            }
            out += name;
        };
        header(zip, false);
        zip += packed;
        header(directory, true);
        ++count;
    }
    const quint32 start = quint32(zip.size());
    zip += directory;
    le(zip, 0x06054b50, 4);
    le(zip, 0, 4);
    le(zip, quint32(count), 2);
    le(zip, quint32(count), 2);
    le(zip, quint32(directory.size()), 4);
    le(zip, start, 4);
    le(zip, 0, 2);
    return zip;
}

} // namespace ht::test
