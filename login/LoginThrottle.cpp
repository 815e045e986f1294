#include "login/LoginThrottle.h"

#include "foundation/NameText.h"

namespace ht {

LoginThrottle::ms LoginThrottle::waitAfter(int failures) const
{
    ms wait = m_first;
    for (int i = 1; i < failures && wait < m_limit; ++i)
        wait *= 2;
    return std::min(wait, m_limit);
}

// The name as the user lookup sees it, so that other letter case is the same name.
QString LoginThrottle::key(const QString &name)
{
    return SQLCut(name).toLower();
}

LoginThrottle::ms LoginThrottle::failed(const QString &name)
{
    return waitAfter(++m_failures[key(name)]);
}

void LoginThrottle::succeeded(const QString &name)
{
    m_failures.remove(key(name));
}

} // namespace ht
