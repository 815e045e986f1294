#include "ledger/MainWindow.h"
#include "login/Startup.h"

int main(int argc, char **argv)
{
    return ht::runPursewick(argc, argv, [] {
        // Each subsystem that answers commands of the main window adds its attach function here.
        ht::openMainWindow({});
    });
}
