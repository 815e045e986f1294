#include "import/XlsxRead.h"

#include <QHash>
#include <QXmlStreamReader>

#include <zlib.h>

namespace ht::bill {
namespace {

// A part inflating beyond this is a zip bomb, not a statement.
constexpr qint64 maxPartBytes = 200 * 1024 * 1024;
// Rows and columns a statement never reaches; a cell reference beyond them is damage.
constexpr int maxColumns = 1024;
constexpr int maxRows = 1'000'000;

const QString damaged = QStringLiteral("这个 .xlsx 文件已损坏，无法读取");

// The parts of a workbook's archive, found through its central directory and inflated by
// zlib. The export's libxlsxwriter brings the system's minizip into the program; a zip
// library exporting a second copy of the same functions (QuaZip does) would take over
// the export's calls and break it.
class Archive {
public:
    explicit Archive(const QByteArray &bytes) : m_bytes(bytes) { m_ok = readDirectory(); }
    bool ok() const { return m_ok; }
    QStringList names() const { return m_order; }
    bool contains(const QString &name) const { return m_entries.contains(name.toLower()); }
    // None when the part is damaged.
    std::optional<QByteArray> part(const QString &name) const;

private:
    struct Entry {
        quint16 flags = 0, method = 0;
        quint32 crc = 0, packed = 0, size = 0, offset = 0;
    };
    quint32 at(qint64 pos, int width) const
    {
        quint32 v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | quint8(m_bytes.at(pos + i));
        return v;
    }
    bool fits(qint64 pos, qint64 length) const { return pos >= 0 && length >= 0 && pos + length <= m_bytes.size(); }
    bool readDirectory();

    const QByteArray &m_bytes;
    QHash<QString, Entry> m_entries;
    QStringList m_order;
    bool m_ok = false;
};

bool Archive::readDirectory()
{
    // The end record: 22 bytes and a comment of up to 64 KB.
    qint64 end = -1;
    for (qint64 pos = m_bytes.size() - 22; pos >= 0 && pos >= m_bytes.size() - 22 - 65535; --pos) {
        if (at(pos, 4) == 0x06054b50) {
            end = pos;
            break;
        }
    }
    if (end < 0)
        return false;
    const quint32 count = at(end + 10, 2);
    qint64 pos = at(end + 16, 4);
    for (quint32 i = 0; i < count; ++i) {
        if (!fits(pos, 46) || at(pos, 4) != 0x02014b50)
            return false;
        Entry e;
        e.flags = quint16(at(pos + 8, 2));
        e.method = quint16(at(pos + 10, 2));
        e.crc = at(pos + 16, 4);
        e.packed = at(pos + 20, 4);
        e.size = at(pos + 24, 4);
        e.offset = at(pos + 42, 4);
        const qint64 nameLength = at(pos + 28, 2);
        const qint64 rest = nameLength + at(pos + 30, 2) + at(pos + 32, 2);
        if (!fits(pos + 46, rest))
            return false;
        const QString name = QString::fromUtf8(m_bytes.constData() + pos + 46, nameLength);
        m_entries.insert(name.toLower(), e);
        m_order << name;
        pos += 46 + rest;
    }
    return true;
}

std::optional<QByteArray> Archive::part(const QString &name) const
{
    const auto found = m_entries.constFind(name.toLower());
    if (found == m_entries.cend())
        return std::nullopt;
    const Entry e = *found;
    // Encrypted parts, sizes beyond the limit and more than deflate can pack are damage.
    if ((e.flags & 1) || e.size > maxPartBytes || e.size > qint64(e.packed) * 1100 + 1024 || !fits(e.offset, 30)
        || at(e.offset, 4) != 0x04034b50)
        return std::nullopt;
    const qint64 data = qint64(e.offset) + 30 + at(e.offset + 26, 2) + at(e.offset + 28, 2);
    if (!fits(data, e.packed))
        return std::nullopt;
    QByteArray out;
    if (e.method == 0) {
        out = m_bytes.mid(data, e.packed);
    } else if (e.method == 8) {
        out.resize(qsizetype(e.size));
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return std::nullopt;
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(m_bytes.constData() + data));
        z.avail_in = e.packed;
        z.next_out = reinterpret_cast<Bytef *>(out.data());
        z.avail_out = e.size;
        const int rc = inflate(&z, Z_FINISH);
        const uLong produced = z.total_out;
        inflateEnd(&z);
        if (rc != Z_STREAM_END || produced != e.size)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (out.size() != qsizetype(e.size)
        || crc32(crc32(0, nullptr, 0), reinterpret_cast<const Bytef *>(out.constData()), uInt(out.size())) != e.crc)
        return std::nullopt;
    return out;
}

// The text of every <t> inside the current element, rich-text runs joined; phonetic
// guides left out.
QString innerText(QXmlStreamReader &xml)
{
    QString text;
    int depth = 1;
    while (depth > 0 && !xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (xml.name() == QLatin1String("rPh")) {
                xml.skipCurrentElement();
                continue;
            }
            if (xml.name() == QLatin1String("t")) {
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                continue;
            }
            ++depth;
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    return text;
}

std::optional<QStringList> sharedStrings(const QByteArray &data)
{
    QStringList strings;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("si"))
            strings << innerText(xml);
    }
    if (xml.hasError())
        return std::nullopt;
    return strings;
}

// "C12" → 2; -1 when it is no cell reference.
int columnOf(QStringView ref)
{
    int column = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z'; ++i) {
        column = column * 26 + (ref[i].unicode() - u'A' + 1);
        if (column > maxColumns)
            return -1;
    }
    return i == 0 ? -1 : column - 1;
}

std::optional<QList<QStringList>> sheetRows(const QByteArray &data, const QStringList &strings)
{
    QList<QStringList> rows;
    QXmlStreamReader xml(data);
    QStringList *row = nullptr;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("row")) {
            const int r = xml.attributes().value(QLatin1String("r")).toInt();
            if (r > maxRows)
                return std::nullopt;
            // Rows the sheet leaves out are empty rows.
            while (r > 0 && rows.size() < r - 1)
                rows.append(QStringList());
            rows.append(QStringList());
            row = &rows.last();
        } else if (xml.name() == QLatin1String("c") && row) {
            const auto attributes = xml.attributes();
            const QString type = attributes.value(QLatin1String("t")).toString();
            const QStringView ref = attributes.value(QLatin1String("r"));
            const int column = ref.isEmpty() ? int(row->size()) : columnOf(ref);
            if (column < 0 || column >= maxColumns)
                return std::nullopt;
            QString value;
            if (type == QLatin1String("inlineStr")) {
                value = innerText(xml);
            } else {
                while (!xml.atEnd()) {
                    const auto token = xml.readNext();
                    if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("v"))
                        value = xml.readElementText();
                    else if (token == QXmlStreamReader::StartElement)
                        xml.skipCurrentElement();
                    else if (token == QXmlStreamReader::EndElement)
                        break;
                }
                if (type == QLatin1String("s")) {
                    bool ok = false;
                    const int index = value.toInt(&ok);
                    if (!ok || index < 0 || index >= strings.size())
                        return std::nullopt;
                    value = strings.at(index);
                }
            }
            while (row->size() <= column)
                row->append(QString());
            (*row)[column] = value;
        }
    }
    if (xml.hasError())
        return std::nullopt;
    return rows;
}

} // namespace

std::optional<QList<QStringList>> readXlsx(const QByteArray &bytes, QString *error)
{
    const auto fail = [error] {
        if (error)
            *error = damaged;
        return std::nullopt;
    };
    const Archive zip(bytes);
    if (!zip.ok())
        return fail();

    QStringList strings;
    const QString shared = QStringLiteral("xl/sharedStrings.xml");
    if (zip.contains(shared)) {
        const auto data = zip.part(shared);
        auto list = data ? sharedStrings(*data) : std::nullopt;
        if (!list)
            return fail();
        strings = *list;
    }
    // The first sheet is sheet1 in every workbook a program writes; otherwise the first
    // worksheet in the archive.
    QString sheet = QStringLiteral("xl/worksheets/sheet1.xml");
    if (!zip.contains(sheet)) {
        sheet.clear();
        for (const QString &name : zip.names()) {
            if (name.startsWith(QLatin1String("xl/worksheets/"), Qt::CaseInsensitive)
                && name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) && name.count(u'/') == 2) {
                sheet = name;
                break;
            }
        }
    }
    const auto data = sheet.isEmpty() ? std::nullopt : zip.part(sheet);
    auto rows = data ? sheetRows(*data, strings) : std::nullopt;
    if (!rows)
        return fail();
    return rows;
}

} // namespace ht::bill
