#include "foundation/ProgramExit.h"

#include <cstdio>
#include <cstdlib>

namespace ht {
namespace {
ExitHandler g_handler;
}

void setExitHandler(ExitHandler handler)
{
    g_handler = std::move(handler);
}

void endProgram(int exitCode)
{
    if (g_handler)
        g_handler(exitCode);
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

} // namespace ht
