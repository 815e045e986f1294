#pragma once

namespace ht {

class MainWindow;

namespace backup {

// Hooks backup and restore, export and printing to the main window's commands, and the
// daily backup to its closing.
void attach(MainWindow &window);

} // namespace backup
} // namespace ht
