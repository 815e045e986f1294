#include "app/Startup.h"
#include "app/Subsystems.h"
#include "ledger/MainWindow.h"

int main(int argc, char **argv)
{
    return ht::runPursewick(argc, argv, [] { ht::openMainWindow(ht::subsystems()); });
}
