#pragma once

#include "book/MemoStore.h"

#include <QColor>
#include <QFont>

#include <optional>

namespace ht {

// A note's stored attributes as the editor shows them, and back.

// The four font texts from a chosen font ("True"/"False", the size as 12 or 10.5).
void storeFont(MemoStyle &style, const QFont &font);
// blue × 65536 + green × 256 + red, in decimal.
void storeColor(MemoStyle &style, const QColor &color);
// The box's font with the stored attributes applied over it.
QFont styledFont(const MemoStyle &style, QFont font);
// The stored colour; none when none was chosen or the text is not a colour.
std::optional<QColor> storedColor(const MemoStyle &style);

} // namespace ht
