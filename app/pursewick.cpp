#include "backup/Backup.h"
#include "banks/Banks.h"
#include "categories/Categories.h"
#include "ledger/MainWindow.h"
#include "app/Startup.h"
#include "login/UserCommands.h"
#include "memos/Memos.h"

int main(int argc, char **argv)
{
    return ht::runPursewick(argc, argv, [] {
        // Each subsystem that answers commands of the main window attaches itself here.
        ht::openMainWindow(
            {ht::login::attach, ht::categories::attach, ht::banks::attach, ht::memos::attach, ht::backup::attach});
    });
}
