#pragma once

namespace ht {

class MainWindow;

namespace categories {

// Hooks the category manager ("设置收支类别", "类别管理"), the query ("查询", F6) and the
// batch delete ("批量删除") to the main window's commands.
void attach(MainWindow &window);

} // namespace categories
} // namespace ht
