#pragma once

#include <QString>

#include <stdexcept>

namespace ht {

// The two kinds callers recognise (they trigger schema upgrades) plus everything else.
enum class DbErrorKind { NoSuchColumn, NoSuchTable, Other };

class DbError : public std::runtime_error {
public:
    static constexpr int noSuchColumnCode = -2147217904; // 0x80040E10
    static constexpr int noSuchTableCode = -2147217865;  // 0x80040E37

    DbError(DbErrorKind kind, int engineCode, const QString &message);

    // Classifies an engine message such as "no such column: x". systemError is the
    // operating system's error number behind an I/O failure, when the engine kept one.
    static DbError fromEngine(int engineCode, const QString &message, int systemError = 0);

    DbErrorKind kind() const { return m_kind; }
    // The error number: one of the two above for their kinds, the engine's own otherwise.
    int code() const;
    // The database file may only be read.
    bool isReadOnly() const;
    // Another program kept its lock longer than the busy time-out.
    bool isBusy() const;
    // The key opens the file, but its pages do not read back whole.
    bool isDamaged() const;
    // The engine's own text.
    QString message() const { return m_message; }
    // What the user reads: a plain Chinese reason for the common engine failures
    // (read-only, busy, disk full, damaged file), the engine's text only as a detail.
    QString userMessage() const;

private:
    DbErrorKind m_kind;
    int m_engineCode;
    QString m_message;
    int m_systemError = 0;
};

} // namespace ht
