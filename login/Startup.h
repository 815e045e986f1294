#pragma once

namespace ht {

// The bookkeeping program from start to end: single-copy check, login, then the run.
int runPursewick(int argc, char **argv);

} // namespace ht
