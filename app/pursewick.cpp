#include "categories/Categories.h"
#include "ledger/MainWindow.h"
#include "login/Startup.h"

int main(int argc, char **argv)
{
    return ht::runPursewick(argc, argv, [] {
        // Each subsystem that answers commands of the main window attaches itself here.
        ht::openMainWindow({ht::categories::attach});
    });
}
