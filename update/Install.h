#pragma once

#include <QString>

namespace ht::update {

// The old program file, kept beside the new one until the new one has started.
QString keptOldFile(const QString &target);

// Puts the downloaded file in place of the program file: written beside it and renamed
// over it, so the program file is at every moment either the old or the new one, with the
// run permission. The old file is kept (keptOldFile). False with the reason when a step
// fails; the program file is then as it was.
bool replaceProgram(const QString &downloaded, const QString &target, QString *why);
// Puts the kept old file back in place; false when there is none or it cannot move.
bool restoreProgram(const QString &target);

} // namespace ht::update
