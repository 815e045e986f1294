#pragma once

#include <QByteArray>
#include <QString>

namespace ht {

// GET the page, the body's bytes as they came (a signature must not pass through a text
// decoding) and the answer's HTTP status; an HTTP error page is an answer too. No answer
// (empty, *ok false): a dead or silent server past the time-out, a page cut short, over
// 4 MB or badly compressed, a redirect loop or refused redirect.
// The window keeps taking input while this waits.
QByteArray getHttpBytes(const QString &url, int timeoutMs = 15000, bool *ok = nullptr, int *httpStatus = nullptr);

} // namespace ht
