#pragma once

#include <QIcon>

namespace ht {

// The pictures every dialog puts on its confirm and close buttons, and the program's own.
enum class Picture { Confirm, Close, Program };

QIcon picture(Picture which);

} // namespace ht
