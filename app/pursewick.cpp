#include "MainWindow.h"
#include "Startup.h"

int main(int argc, char **argv)
{
    return ht::runPursewick(argc, argv, [] { ht::openMainWindow(); });
}
