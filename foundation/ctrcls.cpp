#include "foundation/ctrcls.h"

#include "foundation/Program.h"
#include "foundation/StoredDate.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTimer>

namespace ht {
namespace {

QString two(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

} // namespace

QDateTime ctrcls::toDateTime(const QVariant &dt)
{
    switch (dt.typeId()) {
    case QMetaType::QDateTime: return dt.toDateTime();
    case QMetaType::QDate: return QDateTime(dt.toDate(), QTime(0, 0));
    case QMetaType::QString: {
        const std::optional<StoredDate> d = parseStoredDate(dt.toString());
        return d ? d->toDateTime() : QDateTime();
    }
    default: return {};
    }
}

QString ctrcls::chsDate(int year, int month, int day)
{
    return QString::number(year) + QStringLiteral("年") + two(month) + QStringLiteral("月") + two(day)
        + QStringLiteral("日 ");
}

QString ctrcls::chsDateTime(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    return chsDate(v) + two(v.time().hour()) + QStringLiteral("点") + two(v.time().minute()) + QStringLiteral("分");
}

QString ctrcls::chsDate(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    const QDate d = v.date();
    return chsDate(d.year(), d.month(), d.day());
}

QString ctrcls::chsWeek(const QVariant &dt)
{
    static const char16_t *const names[] = {u"星期天", u"星期一", u"星期二", u"星期三",
                                             u"星期四", u"星期五", u"星期六"};
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    // Qt counts Monday as 1 and Sunday as 7.
    return QString::fromUtf16(names[v.date().dayOfWeek() % 7]);
}

QString ctrcls::fullTime()
{
    return fullTime(QTime::currentTime());
}

QString ctrcls::fullTime(const QTime &time)
{
    return two(time.hour()) + QLatin1Char(':') + two(time.minute()) + QLatin1Char(':') + two(time.second());
}

QString ctrcls::SQLString(QString &sqlstr)
{
    sqlstr.replace(QLatin1Char('\''), QStringLiteral("&#39"));
    sqlstr.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    sqlstr.remove(QChar(0));
    sqlstr.replace(QLatin1Char('{'), QStringLiteral("&#123"));
    sqlstr.replace(QLatin1Char('}'), QStringLiteral("&#125"));
    return sqlstr;
}

QString ctrcls::SQLCut(const QString &sqlstr)
{
    QString s = sqlstr;
    s.remove(QLatin1Char('\''));
    s.remove(QLatin1Char('%'));
    return s;
}

QString ctrcls::makeFilename(QString &nm)
{
    for (const char16_t *part : {u"-", u"/", u":", u" ", u"上午", u"下午", u"AM", u"PM"})
        nm.remove(QString::fromUtf16(part));
    return nm;
}

QString ctrcls::RandomNum(int n)
{
    QRandomGenerator rng{quint32(QDateTime::currentMSecsSinceEpoch())};
    QString s;
    while (s.size() < n)
        s += QChar(u'0' + char16_t(rng.bounded(10)));
    return s;
}

bool ctrcls::FileExsits(const QString &fname)
{
    if (fname.isEmpty())
        return false;
    const QFileInfo info(fname);
    if (fname.contains(QLatin1Char('*')) || fname.contains(QLatin1Char('?'))) {
        const QDir dir = info.dir();
        return !dir.entryList({info.fileName()}, QDir::Files).isEmpty();
    }
    return info.isFile() && !info.isHidden();
}

void ctrcls::SaveLogFile(const QString &fname, const QString &logText)
{
    QFile file(program::pathIn(fname + QStringLiteral(".log")));
    if (file.open(QIODevice::Append))
        file.write((logText + QStringLiteral("\r\n")).toUtf8());
}

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

QString ctrcls::getHttpPage(const QString &url, int timeoutMs, bool *ok)
{
    bool fetched = false;
    const QByteArray body = getHttpBytes(url, timeoutMs, &fetched);
    if (ok)
        *ok = fetched;
    if (!fetched)
        return {};
    QStringDecoder decode("GB2312");
    return decode(body);
}

QByteArray ctrcls::getHttpBytes(const QString &url, int timeoutMs, bool *ok, int *httpStatus)
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
