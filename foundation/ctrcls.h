#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace ht {

// The program's shared text, date, file and HTTP routines. Stateless.
class ctrcls {
public:
    // "2024年03月05日 08点07分"; empty for a value that is not a date.
    static QString chsDateTime(const QVariant &dt);
    // "2024年03月05日 " with the blank kept; empty for a value that is not a date.
    static QString chsDate(const QVariant &dt);
    static QString chsDate(int year, int month, int day);
    // "星期天" … "星期六"
    static QString chsWeek(const QVariant &dt);
    // The current time of day, "HH:mm:ss" on the 24-hour clock.
    static QString fullTime();
    static QString fullTime(const QTime &time);

    // HTML-style escaping for texts kept for display; also left in the argument.
    static QString SQLString(QString &sqlstr);
    // Removes every "'" and "%" from names that identify rows.
    static QString SQLCut(const QString &sqlstr);
    // Turns a date-time text into a file-name part; also left in the argument.
    static QString makeFilename(QString &nm);
    static QString RandomNum(int n);
    // A normal (not hidden) file exists; wildcards match any file.
    static bool FileExsits(const QString &fname);
    // Appends a line to <program folder>/<fname>.log; errors are dropped.
    static void SaveLogFile(const QString &fname, const QString &logText);

    // GET the page and decode it as GB2312; an HTTP error page is an answer too. No
    // answer (the empty text, *ok false): a dead or silent server past the time-out, a
    // page cut short, over 4 MB or badly compressed, a redirect loop or refused redirect.
    // The window keeps taking input while this waits.
    static QString getHttpPage(const QString &url, int timeoutMs = 15000, bool *ok = nullptr);
    // The same fetch, the body's bytes as they came (a signature must not pass through a
    // text decoding) and the answer's HTTP status.
    static QByteArray getHttpBytes(const QString &url, int timeoutMs = 15000, bool *ok = nullptr,
                                   int *httpStatus = nullptr);

    // A date-time value, or its stored text (see parseStoredDate); invalid for anything else.
    static QDateTime toDateTime(const QVariant &dt);
};

} // namespace ht
