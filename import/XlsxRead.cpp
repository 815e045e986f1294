#include "import/XlsxRead.h"

#include <QBuffer>
#include <QXmlStreamReader>

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>

namespace ht::bill {
namespace {

// A part inflating beyond this is a zip bomb, not a statement.
constexpr qint64 maxPartBytes = 200 * 1024 * 1024;
// Rows and columns a statement never reaches; a cell reference beyond them is damage.
constexpr int maxColumns = 1024;
constexpr int maxRows = 1'000'000;

const QString damaged = QStringLiteral("这个 .xlsx 文件已损坏，无法读取");

// Empty when the part is missing; nullopt when it cannot be read.
std::optional<QByteArray> part(QuaZip &zip, const QString &name, bool *found)
{
    *found = zip.setCurrentFile(name, QuaZip::csInsensitive);
    if (!*found)
        return QByteArray();
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data;
    char chunk[65536];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        if (data.size() + n > maxPartBytes)
            return std::nullopt;
        data.append(chunk, n);
    }
    file.close();
    if (file.getZipError() != UNZ_OK)
        return std::nullopt;
    return data;
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
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    QuaZip zip(&buffer);
    const auto fail = [error] {
        if (error)
            *error = damaged;
        return std::nullopt;
    };
    if (!zip.open(QuaZip::mdUnzip))
        return fail();

    bool found = false;
    QStringList strings;
    const auto shared = part(zip, QStringLiteral("xl/sharedStrings.xml"), &found);
    if (!shared)
        return fail();
    if (found) {
        auto list = sharedStrings(*shared);
        if (!list)
            return fail();
        strings = *list;
    }
    // The first sheet is sheet1 in every workbook a program writes; otherwise the first
    // worksheet in the archive.
    auto sheet = part(zip, QStringLiteral("xl/worksheets/sheet1.xml"), &found);
    if (sheet && !found) {
        for (const QString &name : zip.getFileNameList()) {
            if (name.startsWith(QLatin1String("xl/worksheets/"), Qt::CaseInsensitive)
                && name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) && name.count(u'/') == 2) {
                sheet = part(zip, name, &found);
                break;
            }
        }
    }
    if (!sheet || !found)
        return fail();
    auto rows = sheetRows(*sheet, strings);
    if (!rows)
        return fail();
    return rows;
}

} // namespace ht::bill
