#pragma once

namespace ht {

class MainWindow;

namespace memos {

// Hooks the memo notes to the main window's "备忘录" command and toolbar button.
void attach(MainWindow &window);

} // namespace memos
} // namespace ht
