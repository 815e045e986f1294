#include "update/updateModule.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace ht::update {

QString Server::authority() const
{
    return port == 80 ? host : host + QLatin1Char(':') + QString::number(port);
}

Server parseServer(const QString &setting, const Server &fallback)
{
    const QString text = setting.trimmed();
    if (text.isEmpty())
        return fallback;
    Server server{text, 80};
    if (const qsizetype colon = text.lastIndexOf(QLatin1Char(':')); colon >= 0) {
        bool ok = false;
        const uint port = text.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return fallback;
        server = {text.left(colon), quint16(port)};
    }
    // A host name or address, nothing that could leave the request line or the Host line.
    static const QRegularExpression hostName(QStringLiteral("^[A-Za-z0-9.-]+$"));
    return hostName.match(server.host).hasMatch() ? server : fallback;
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
    QStringDecoder decode("GB2312");
    const QString text = decode(listBytes);
    if (!text.contains(QStringLiteral("<files>")))
        return std::nullopt;
    QXmlStreamReader xml(text);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    const QString version = getNodeText(xml, QStringLiteral("version"), QString());
    // A document that is not XML offers nothing, however far it got.
    while (!xml.atEnd())
        xml.readNext();
    return xml.hasError() ? QString() : version;
}

QByteArray downloadRequest(const Server &server, qint64 from)
{
    const QByteArray path = QByteArray(serverFolder) + programFile;
    return "GET " + path + " HTTP/1.0\r\n"
        + "Range:bytes=" + QByteArray::number(from) + "-\r\n"
        + "Host:" + server.authority().toLatin1() + "\r\n"
        + "Accept: */*\r\n"
        + "Referer:" + path + "\r\n"
        + "User-Agent: Mozilla/4.0 (compatible; MSIE 5.00; Windows 98)\r\n"
        + "Pragma: no-cache\r\n"
        + "Cache-Control: no-cache\r\n"
        + "Connection:Close\r\n"
        + "\r\n";
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
