#pragma once

#include <QString>

#include <array>

namespace ht {

// The owner of the fifteen categories every user shares; no user may take this name.
inline const QString builtInOwner = QStringLiteral("{system}");

struct BuiltInCategory {
    const char *name; // UTF-8
    int cls;          // 1 income, 0 expense
};

// The categories the schema gives every new database, in its order. An older database
// gets them back as built-in ones by these names.
inline constexpr std::array<BuiltInCategory, 15> builtInCategories = {{
    {"日常", 0},
    {"手机/上网", 0},
    {"房租", 0},
    {"房贷", 0},
    {"交通/旅游", 0},
    {"礼物", 0},
    {"休闲/娱乐", 0},
    {"吃", 0},
    {"其他开支", 0},
    {"工资", 1},
    {"股市/证券", 1},
    {"外汇", 1},
    {"奖金", 1},
    {"补助/福利", 1},
    {"其他收入", 1},
}};

} // namespace ht
