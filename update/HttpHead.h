#pragma once

#include <QByteArray>

namespace ht::update {

// What the updater needs from an HTTP answer's head.
struct ResponseHead {
    int status = 0;
    qint64 contentLength = -1; // -1: not given
    // "Content-Range: bytes first-last/size" of a partial answer; -1 where not given or "*".
    qint64 rangeFirst = -1;
    qint64 rangeSize = -1;
};

// Reads an answer's head from the bytes as they arrive, however the chunks fall: the
// status line, the header lines, the blank line that ends them. Bytes after that line
// are body. A head that cannot be read (no status line, a length that is not a number or
// does not fit, two lengths that differ, more than maxHeadBytes) is refused.
class ResponseHeadReader {
public:
    enum class State { NeedMore, Done, Bad };
    static constexpr qsizetype maxHeadBytes = 64 * 1024;

    // Takes the next chunk. Once Done, bodyStart is where the body begins in this chunk.
    State feed(const QByteArray &chunk, qsizetype *bodyStart = nullptr);
    void reset();
    State state() const { return m_state; }
    const ResponseHead &head() const { return m_head; }

private:
    State parse();

    QByteArray m_buffer;
    State m_state = State::NeedMore;
    ResponseHead m_head;
};

// A whole head (the bytes up to and including the blank line), read at once; Bad when
// it is incomplete or unreadable.
ResponseHeadReader::State parseResponseHead(const QByteArray &bytes, ResponseHead *head);

} // namespace ht::update
