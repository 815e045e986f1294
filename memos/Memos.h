#pragma once

namespace ht {

class main;

namespace memos {

// Hooks the memo notes to the main window's "备忘录" command and toolbar button.
void attach(main &window);

} // namespace memos
} // namespace ht
