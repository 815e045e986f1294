#pragma once

#include <functional>

namespace ht {

// The bookkeeping program from start to end: single-copy check, login, then the run.
// afterLogin opens the main window; the run ends when it closes.
int runPursewick(int argc, char **argv, const std::function<void()> &afterLogin);

// Brings the running copy forward: restores minimised windows, then raises the one on top.
void raiseProgramWindows();
// Ends the run on the updater's request: the main window closes as if the user closed it.
void closeProgramWindows();

} // namespace ht
