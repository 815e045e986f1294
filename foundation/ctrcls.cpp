#include "ctrcls.h"

#include "Program.h"

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

inline bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digits(const QString &s, int from, int count)
{
    int v = 0;
    for (int i = from; i < from + count; ++i)
        v = v * 10 + (s.at(i).unicode() - '0');
    return v;
}

// The stored form "yyyy-MM-dd[ HH:mm[:ss]]" without the general parser: the lists read it per row.
QDateTime fromStoredText(const QString &s)
{
    const int n = int(s.size());
    if (n < 10 || s.at(4) != QLatin1Char('-') || s.at(7) != QLatin1Char('-'))
        return {};
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!isDigit(s.at(i)))
            return {};
    const QDate date(digits(s, 0, 4), digits(s, 5, 2), digits(s, 8, 2));
    if (!date.isValid())
        return {};
    if (n == 10)
        return QDateTime(date, QTime(0, 0));
    if (n >= 16 && (s.at(10) == QLatin1Char(' ') || s.at(10) == QLatin1Char('T')) && isDigit(s.at(11))
        && isDigit(s.at(12)) && s.at(13) == QLatin1Char(':') && isDigit(s.at(14)) && isDigit(s.at(15))) {
        int sec = 0;
        if (n >= 19 && s.at(16) == QLatin1Char(':') && isDigit(s.at(17)) && isDigit(s.at(18)))
            sec = digits(s, 17, 2);
        const QTime time(digits(s, 11, 2), digits(s, 14, 2), sec);
        if (time.isValid())
            return QDateTime(date, time);
    }
    return {};
}

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
        const QString s = dt.toString().trimmed();
        QDateTime v = fromStoredText(s);
        if (!v.isValid())
            v = QDateTime::fromString(s, Qt::ISODate);
        if (!v.isValid())
            v = QDateTime::fromString(s, QStringLiteral("yyyy/M/d H:mm:ss"));
        if (!v.isValid()) {
            const QDate d = QDate::fromString(s, QStringLiteral("yyyy/M/d"));
            if (d.isValid())
                v = QDateTime(d, QTime(0, 0));
        }
        return v;
    }
    default: return {};
    }
}

QString ctrcls::chsDateTime(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    const QDate d = v.date();
    const QTime t = v.time();
    return QString::number(d.year()) + QStringLiteral("年") + two(d.month()) + QStringLiteral("月") + two(d.day())
        + QStringLiteral("日 ") + two(t.hour()) + QStringLiteral("点") + two(t.minute()) + QStringLiteral("分");
}

QString ctrcls::chsDate(const QVariant &dt)
{
    const QDateTime v = toDateTime(dt);
    if (!v.isValid())
        return {};
    const QDate d = v.date();
    return QString::number(d.year()) + QStringLiteral("年") + two(d.month()) + QStringLiteral("月") + two(d.day())
        + QStringLiteral("日 ");
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
    QRandomGenerator rng(quint32(QDateTime::currentMSecsSinceEpoch()));
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

QString ctrcls::getHttpPage(const QString &url, int timeoutMs, bool *ok)
{
    if (ok)
        *ok = false;
    if (url.isEmpty())
        return {};

    QNetworkAccessManager manager;
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("If-Modified-Since", "0");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    QNetworkReply *reply = manager.get(request);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);

    QString page;
    if (reply->isFinished()) {
        // An error page's body counts like any other answer; only no answer at all fails.
        const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
        if (answered) {
            QStringDecoder decode("GB2312");
            page = decode(reply->readAll());
            if (ok)
                *ok = true;
        }
    } else {
        reply->abort();
    }
    return page;
}

} // namespace ht
