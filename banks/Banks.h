#pragma once

namespace ht {

class MainWindow;

namespace banks {

// Hooks the bank account list to the main window's "银行账户" command and toolbar button.
void attach(MainWindow &window);

} // namespace banks
} // namespace ht
