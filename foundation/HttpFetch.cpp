#include "foundation/HttpFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace ht {
namespace {

// A real page is a few KB. Anything bigger is a broken or hostile server, and an
// endless body must not be allowed to eat the memory.
constexpr qint64 maxPageBytes = 4 * 1024 * 1024;
constexpr qint64 readChunkBytes = 64 * 1024;
constexpr int maxRedirects = 10;

// The error Qt gives a complete reply with this status. Any other error on a reply
// that has a status (cut short, bad compression, redirect refused) is the transport's.
QNetworkReply::NetworkError statusError(int status)
{
    using R = QNetworkReply;
    switch (status) {
    case 400:
    case 418: return R::ProtocolInvalidOperationError;
    case 401: return R::AuthenticationRequiredError;
    case 403: return R::ContentAccessDenied;
    case 404: return R::ContentNotFoundError;
    case 405: return R::ContentOperationNotPermittedError;
    case 407: return R::ProxyAuthenticationRequiredError;
    case 409: return R::ContentConflictError;
    case 410: return R::ContentGoneError;
    case 500: return R::InternalServerError;
    case 501: return R::OperationNotImplementedError;
    case 503: return R::ServiceUnavailableError;
    default: break;
    }
    if (status >= 500 && status < 600)
        return R::UnknownServerError;
    if (status >= 400 && status < 500)
        return R::UnknownContentError;
    return R::NoError;
}

} // namespace

QByteArray getHttpBytes(const QString &url, int timeoutMs, bool *ok, int *httpStatus)
{
    if (ok)
        *ok = false;
    if (httpStatus)
        *httpStatus = 0;
    if (url.isEmpty())
        return {};

    QByteArray body; // outlives the reply, which writes to it until it goes
    QNetworkAccessManager manager;
    manager.setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("If-Modified-Since", "0");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setMaximumRedirectsAllowed(maxRedirects);
    QNetworkReply *reply = manager.get(request);
    reply->setReadBufferSize(readChunkBytes);

    const auto take = [reply, &body] {
        body += reply->read(maxPageBytes + 1 - body.size());
        if (body.size() > maxPageBytes)
            reply->abort();
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64, qint64 total) {
        if (total > maxPageBytes)
            reply->abort();
    });

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    timer.start(timeoutMs);
    // Input is let through: the window must stay usable while a slow server thinks.
    if (!reply->isFinished())
        loop.exec();
    if (!reply->isFinished()) {
        // The loop was told to end from outside, e.g. the program is closing.
        reply->abort();
        return {};
    }

    // An error page's body counts like any other answer: the caller looks for its marker.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid() || reply->error() != statusError(status.toInt()))
        return {};
    take();
    if (body.size() > maxPageBytes)
        return {};
    // Qt may report an error page cut short as the page's status; the declared length
    // tells. (Qt drops that header when it decompresses.)
    const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (declared.isValid() && declared.toLongLong() != body.size())
        return {};

    if (ok)
        *ok = true;
    if (httpStatus)
        *httpStatus = status.toInt();
    return body;
}

} // namespace ht
