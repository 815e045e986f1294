#include "update/Install.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace ht::update {

QString keptOldFile(const QString &target)
{
    return target + QStringLiteral(".old");
}

bool replaceProgram(const QString &downloaded, const QString &target, QString *why)
{
    const auto fail = [why](const QString &reason) {
        *why = reason;
        return false;
    };
    const QString old = keptOldFile(target);
    QFile::remove(old);
    const bool hadProgram = QFileInfo::exists(target);
    if (hadProgram && !QFile::copy(target, old))
        return fail(QStringLiteral("无法保留原程序文件 ") + old);

    QFile in(downloaded);
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("无法读取 ") + downloaded);
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("无法写入 ") + target);
    constexpr auto run = QFile::ExeOwner | QFile::ExeUser | QFile::ExeGroup | QFile::ExeOther;
    const QFile::Permissions permissions = hadProgram ? QFile::permissions(target) | QFile::ExeOwner | QFile::ExeUser
                                                      : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
            | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther | run;
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(piece.data(), piece.size());
        if (n < 0 || (n > 0 && out.write(piece.constData(), n) != n)) {
            out.cancelWriting();
            break;
        }
        if (n == 0)
            break;
    }
    if (!out.setPermissions(permissions) || !out.commit()) {
        if (hadProgram)
            QFile::remove(old);
        return fail(QStringLiteral("无法写入 ") + target);
    }
    return true;
}

bool restoreProgram(const QString &target)
{
    const QString old = keptOldFile(target);
    return QFileInfo::exists(old)
        && std::rename(QFile::encodeName(old).constData(), QFile::encodeName(target).constData()) == 0;
}

} // namespace ht::update
