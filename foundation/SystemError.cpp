#include "foundation/SystemError.h"

#include <cerrno>
#include <cstring>

namespace ht {

bool isDiskFull(int errnum)
{
    return errnum == ENOSPC || errnum == EFBIG || errnum == EDQUOT;
}

QString systemErrorText(int errnum)
{
    if (isDiskFull(errnum))
        return QStringLiteral("磁盘空间已满");
    switch (errnum) {
    case EACCES:
    case EPERM: return QStringLiteral("没有访问权限");
    case EROFS: return QStringLiteral("磁盘是只读的");
    case ENOENT: return QStringLiteral("文件或文件夹不存在");
    default: return QString::fromLocal8Bit(std::strerror(errnum));
    }
}

} // namespace ht
