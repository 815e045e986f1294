#include "Pictures.h"

#include <QString>

namespace ht {

QIcon picture(Picture which)
{
    switch (which) {
    case Picture::Confirm: return QIcon(QStringLiteral(":/icons/confirm.svg"));
    case Picture::Close: return QIcon(QStringLiteral(":/icons/close.svg"));
    case Picture::Program: break;
    }
    return QIcon(QStringLiteral(":/icons/app.svg"));
}

} // namespace ht
