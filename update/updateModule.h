#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QXmlStreamReader;

namespace ht::update {

// The main program's file, here and on the update server.
inline constexpr const char *programFile = "pursewick";
inline constexpr const char *serverFolder = "/down/update/";

// Where the update server is: the built-in host on port 80, unless update.ini names
// another as "server=host[:port]".
struct Server {
    QString host;
    quint16 port = 80;
    // "host" on port 80, "host:port" otherwise: for addresses and the Host line.
    QString authority() const;
    QString url(const QString &path) const { return QStringLiteral("http://") + authority() + path; }
};
// "host" or "host:port"; the default for an empty, malformed or out-of-range setting.
Server parseServer(const QString &setting, const Server &fallback);

// The version the update list (GB2312 bytes) offers: the text of the first "version"
// element at any depth below the document element, empty when there is none or the
// document is not XML. Nothing when the text lacks "<files>": not an update list at all.
std::optional<QString> offeredVersion(const QByteArray &listBytes);
// The text of the first element of that name below the reader's current element, or
// fallback. The reader is left past that element or at the end.
QString getNodeText(QXmlStreamReader &node, const QString &name, const QString &fallback);

// The download request, from the first byte not yet in the file.
QByteArray downloadRequest(const Server &server, qint64 from);

// "12.50KB/300.00KB": the position and the total plus one, in kilobytes.
QString progressText(qint64 position, qint64 total);

// The user's temporary folder, as a full path without a final separator.
QString tempFolder();
// The download's temporary file: the program file's name ending in ".tmp".
QString tempFile();

} // namespace ht::update
