#include "memos/MemoLook.h"

#include <charconv>

namespace ht {
namespace {

const QString notAvailable = QStringLiteral("N/A");

QString flag(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}

// The shortest text that reads back as the same single-precision number: 12, 10.5.
QString sizeText(double points)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, float(points));
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

} // namespace

void storeFont(MemoStyle &style, const QFont &font)
{
    style.fontName = font.family();
    style.fontBold = flag(font.bold());
    style.fontItalic = flag(font.italic());
    style.fontSize = sizeText(font.pointSizeF());
}

void storeColor(MemoStyle &style, const QColor &c)
{
    const QColor rgb = c.toRgb();
    style.foreColor = QString::number(qint64(rgb.blue()) * 65536 + rgb.green() * 256 + rgb.red());
}

QFont styledFont(const MemoStyle &style, QFont font)
{
    font.setBold(style.fontBold == QLatin1String("True"));
    font.setItalic(style.fontItalic == QLatin1String("True"));
    if (style.fontName != notAvailable && !style.fontName.trimmed().isEmpty())
        font.setFamily(style.fontName);
    bool ok = false;
    const double size = style.fontSize.toDouble(&ok);
    if (style.fontSize != notAvailable && ok && size > 0 && size < 1000)
        font.setPointSizeF(size);
    return font;
}

std::optional<QColor> storedColor(const MemoStyle &style)
{
    bool ok = false;
    const qint64 v = style.foreColor.trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > 0xFFFFFF)
        return std::nullopt;
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace ht
