#pragma once

#include <QHash>
#include <QString>

#include <chrono>

namespace ht {

// Slows down guessing: each failed login for a name makes the answer to the next one
// for that name wait longer, up to a limit. A success for the name starts it over.
class LoginThrottle {
public:
    using ms = std::chrono::milliseconds;
    explicit LoginThrottle(ms first = ms(500), ms limit = ms(8000)) : m_first(first), m_limit(limit) { }

    // How long the answer to the n-th failure in a row waits (n from 1).
    ms waitAfter(int failures) const;
    // Counts a failure for the name and gives the wait before it is answered.
    ms failed(const QString &name);
    void succeeded(const QString &name);
    int failures(const QString &name) const { return m_failures.value(key(name)); }

private:
    static QString key(const QString &name);
    ms m_first, m_limit;
    QHash<QString, int> m_failures;
};

} // namespace ht
