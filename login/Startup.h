#pragma once

namespace ht {

// The bookkeeping program from start to end: single-copy check, login, then the run.
int runPursewick(int argc, char **argv);

// Brings the running copy forward: restores minimised windows, then raises the one on top.
void raiseProgramWindows();

} // namespace ht
