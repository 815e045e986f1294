#pragma once

class QString;

namespace ht {

class LedgerLists;

namespace recycle {

// How long a delete waits in the bin unless config.ini says otherwise.
inline constexpr int defaultKeepDays = 30;
// The days of the config.ini setting; 0 keeps everything, an unreadable value the default.
int keepDays(const QString &setting);

// Hooks the recycle bin window to the main window's "回收站" command and undo to
// "撤销删除", and empties the bin of what the logged-in user deleted too long ago.
void attach(LedgerLists &lists);

} // namespace recycle
} // namespace ht
