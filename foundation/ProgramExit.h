#pragma once

#include <functional>

namespace ht {

// Ends the program at once, without asking any window. Tests install a handler
// that throws, so a fatal path can be checked without losing the test process.
[[noreturn]] void endProgram(int exitCode);

using ExitHandler = std::function<void(int)>;
void setExitHandler(ExitHandler handler);

} // namespace ht
