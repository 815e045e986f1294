// An update server's answer head, however its chunks fall: read in two chunks split where
// the first byte says, it gives what it gives read whole.
#include "update/HttpHead.h"

#include <cstddef>
#include <cstdint>

using ht::update::ResponseHeadReader;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const qsizetype split = qsizetype(data[0]) % (bytes.size() + 1);

    ResponseHeadReader whole;
    qsizetype wholeStart = -1;
    const ResponseHeadReader::State w = whole.feed(bytes, &wholeStart);

    ResponseHeadReader parts;
    qsizetype partStart = -1;
    ResponseHeadReader::State p = parts.feed(bytes.left(split), &partStart);
    qsizetype offset = 0;
    if (p == ResponseHeadReader::State::NeedMore) {
        offset = split;
        p = parts.feed(bytes.mid(split), &partStart);
    }
    if (p != w)
        __builtin_trap();
    if (w == ResponseHeadReader::State::Done) {
        const auto &a = whole.head();
        const auto &b = parts.head();
        if (a.status != b.status || a.contentLength != b.contentLength || a.rangeFirst != b.rangeFirst
            || a.rangeSize != b.rangeSize || offset + partStart != wholeStart)
            __builtin_trap();
        ht::update::ResponseHead again;
        if (ht::update::parseResponseHead(bytes.left(wholeStart), &again) != ResponseHeadReader::State::Done
            || again.status != a.status || again.contentLength != a.contentLength)
            __builtin_trap();
    }
    return 0;
}
