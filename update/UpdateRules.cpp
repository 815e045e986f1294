#include "update/UpdateRules.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace ht::update {

QString Server::authority() const
{
    return port == 80 ? host : host + QLatin1Char(':') + QString::number(port);
}

namespace {
std::optional<Server> readServer(const QString &setting)
{
    const QString text = setting.trimmed();
    Server server{text, 80};
    if (const qsizetype colon = text.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        bool ok = false;
        const uint port = text.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return std::nullopt;
        server = {text.left(colon), quint16(port)};
    }
    // A host name or address, nothing that could leave the request line or the Host line.
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9.-]+$"));
    return hostName.match(server.host).hasMatch() ? std::optional(server) : std::nullopt;
}
} // namespace

Server parseServer(const QString &setting, const QString &builtIn)
{
    return readServer(setting).value_or(readServer(builtIn).value_or(Server{}));
}

QString getNodeText(QXmlStreamReader &node, const QString &name, const QString &fallback)
{
    int depth = 0;
    while (!node.atEnd()) {
        switch (node.readNext()) {
        case QXmlStreamReader::StartElement:
            if (node.name() == name)
                return node.readElementText(QXmlStreamReader::IncludeChildElements);
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return fallback;
            break;
        default: break;
        }
    }
    return fallback;
}

std::optional<QString> offeredVersion(const QByteArray &listBytes)
{
    // GB2312 leaves ASCII as it is, so the marker can be looked for undecoded.
    if (listBytes.size() > maxListBytes)
        return listBytes.contains("<files>") ? std::optional(QString()) : std::nullopt;
    QStringDecoder decode("GB2312");
    const QString text = decode(listBytes);
    if (!text.contains(QStringLiteral("<files>")))
        return std::nullopt;
    QXmlStreamReader xml(text);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) { }
    const QString version = getNodeText(xml, QStringLiteral("version"), QString()).trimmed();
    // A document that is not XML offers nothing, however far it got.
    while (!xml.atEnd())
        xml.readNext();
    return xml.hasError() || !readVersion(version) ? QString() : version;
}

std::optional<QList<int>> readVersion(QStringView text)
{
    QList<int> numbers;
    for (const QStringView part : text.split(QLatin1Char('.'))) {
        if (part.isEmpty() || part.size() > 5 || numbers.size() == 4)
            return std::nullopt;
        int number = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            number = number * 10 + (c.unicode() - '0');
        }
        numbers.append(number);
    }
    return numbers;
}

bool isNewer(const QString &offered, const QString &installed)
{
    const std::optional<QList<int>> a = readVersion(offered);
    const std::optional<QList<int>> b = readVersion(installed);
    if (!a || !b)
        return a.has_value();
    for (qsizetype i = 0; i < std::max(a->size(), b->size()); ++i) {
        if (a->value(i) != b->value(i))
            return a->value(i) > b->value(i);
    }
    return false;
}

QByteArray downloadRequest(const Server &server, qint64 from)
{
    const QByteArray path = QByteArray(serverFolder) + programFile;
    return "GET " + path + " HTTP/1.0\r\n" + "Range:bytes=" + QByteArray::number(from) + "-\r\n"
        + "Host:" + server.authority().toLatin1() + "\r\n" + "Accept: */*\r\n" + "Referer:" + path + "\r\n"
        + "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n" + "Pragma: no-cache\r\n"
        + "Cache-Control: no-cache\r\n" + "Connection:Close\r\n" + "\r\n";
}

QString progressText(qint64 position, qint64 total)
{
    const auto kb = [](qint64 bytes) { return QString::number(double(bytes) / 1024.0, 'f', 2); };
    return kb(position) + QStringLiteral("KB/") + kb(total + 1) + QStringLiteral("KB");
}

QString tempFolder()
{
    return QDir(QDir::tempPath()).canonicalPath();
}

QString tempFile()
{
    return QDir(tempFolder()).filePath(QLatin1String(programFile) + QStringLiteral(".tmp"));
}

} // namespace ht::update
