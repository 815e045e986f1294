#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QXmlStreamReader;

namespace ht::update {

// The main program's file, here and on the update server.
inline constexpr const char *programFile = "pursewick";
inline constexpr const char *serverFolder = "/down/update/";

// Where the update server is: the built-in one, unless update.ini names another. Both are
// written "host[:port]", port 80 when none is given.
struct Server {
    QString host;
    quint16 port = 80;
    // "host" on port 80, "host:port" otherwise: for addresses and the Host line.
    QString authority() const;
    QString url(const QString &path) const { return QStringLiteral("http://") + authority() + path; }
};
// The setting's server; for an empty, malformed or out-of-range setting the built-in one, and
// no host at all when that is unusable too.
Server parseServer(const QString &setting, const QString &builtIn);

// A list names one short version; anything much longer is not read.
inline constexpr qsizetype maxListBytes = 64 * 1024;

// The version the update list (GB2312 bytes) offers: the text of the first "version"
// element at any depth below the document element, without blanks around it. Nothing when
// the text lacks "<files>": not an update list at all. Empty when the list is refused:
// longer than maxListBytes, not XML, or without a version readVersion takes.
std::optional<QString> offeredVersion(const QByteArray &listBytes);

// A version: one to four numbers of at most five digits, joined by dots. Nothing for
// anything else.
std::optional<QList<int>> readVersion(QStringView text);
// Whether offered is a version later than installed, number by number (1.10 after 1.9), a
// missing number counting 0. An installed version that cannot be read is older than any.
bool isNewer(const QString &offered, const QString &installed);

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
