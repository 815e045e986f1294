#include "update/HttpHead.h"

#include <QList>

#include <algorithm>
#include <optional>

namespace ht::update {
namespace {

// A run of decimal digits and nothing else, below 2^62 so sums of sizes cannot overflow.
std::optional<qint64> decimal(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "HTTP/1.0 200 OK", "HTTP/1.1 404", "HTTP/1.1 206 Partial Content"
int statusOf(QByteArrayView line)
{
    if (!line.startsWith("HTTP/"))
        return 0;
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0 || line.size() < blank + 4)
        return 0;
    const QByteArrayView code = line.sliced(blank + 1, 3);
    if (line.size() > blank + 4 && line.at(blank + 4) != ' ')
        return 0;
    const std::optional<qint64> status = decimal(code);
    return status && *status >= 100 ? int(*status) : 0;
}

// "bytes 100-999/1000"; the size may be "*".
void readContentRange(QByteArrayView value, ResponseHead *head)
{
    if (!value.startsWith("bytes "))
        return;
    value = value.sliced(6).trimmed();
    const qsizetype dash = value.indexOf('-');
    const qsizetype slash = value.indexOf('/');
    if (dash <= 0 || slash <= dash)
        return;
    const std::optional<qint64> first = decimal(value.first(dash));
    const std::optional<qint64> last = decimal(value.sliced(dash + 1, slash - dash - 1));
    if (!first || !last || *last < *first)
        return;
    head->rangeFirst = *first;
    const QByteArrayView size = value.sliced(slash + 1);
    if (const std::optional<qint64> n = decimal(size); n && *n > *last)
        head->rangeSize = *n;
}

} // namespace

void ResponseHeadReader::reset()
{
    m_buffer.clear();
    m_state = State::NeedMore;
    m_head = {};
}

ResponseHeadReader::State ResponseHeadReader::feed(const QByteArray &chunk, qsizetype *bodyStart)
{
    if (m_state != State::NeedMore)
        return m_state;
    const qsizetype old = m_buffer.size();
    // Never more than a head may hold: the rest of a large chunk is body or junk.
    m_buffer.append(chunk.constData(), std::min<qsizetype>(chunk.size(), maxHeadBytes + 4 - old));
    // The blank line may straddle the chunks: look from three bytes before the new ones.
    const qsizetype end = m_buffer.indexOf("\r\n\r\n", std::max<qsizetype>(0, old - 3));
    if (end < 0) {
        if (m_buffer.size() > maxHeadBytes)
            m_state = State::Bad;
        return m_state;
    }
    m_buffer.truncate(end + 2);
    if (bodyStart)
        *bodyStart = end + 4 - old;
    m_state = parse();
    m_buffer.clear();
    return m_state;
}

ResponseHeadReader::State ResponseHeadReader::parse()
{
    const QList<QByteArray> lines = m_buffer.split('\n');
    const auto lineAt = [&lines](qsizetype i) {
        QByteArrayView line(lines.at(i));
        return line.endsWith('\r') ? line.chopped(1) : line;
    };
    m_head.status = statusOf(lineAt(0));
    if (m_head.status == 0)
        return State::Bad;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArrayView line = lineAt(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.first(colon).trimmed().toByteArray().toLower();
        // With or without blanks after the colon.
        const QByteArrayView value = line.sliced(colon + 1).trimmed();
        if (name == "content-length") {
            const std::optional<qint64> length = decimal(value);
            if (!length || (m_head.contentLength >= 0 && m_head.contentLength != *length))
                return State::Bad;
            m_head.contentLength = *length;
        } else if (name == "content-range") {
            readContentRange(value, &m_head);
        }
    }
    return State::Done;
}

ResponseHeadReader::State parseResponseHead(const QByteArray &bytes, ResponseHead *head)
{
    ResponseHeadReader reader;
    const ResponseHeadReader::State state = reader.feed(bytes);
    if (head)
        *head = reader.head();
    return state == ResponseHeadReader::State::NeedMore ? ResponseHeadReader::State::Bad : state;
}

} // namespace ht::update
