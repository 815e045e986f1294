#pragma once

namespace ht {

class LedgerLists;

namespace categories {

// Hooks the category manager ("设置收支类别", "类别管理"), the query ("查询", F6) and the
// batch delete ("批量删除") to the main window's commands.
void attach(LedgerLists &lists);

} // namespace categories
} // namespace ht
