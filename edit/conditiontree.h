#pragma once
// The tree of conditions the plant name list shows beside the names: the
// checked buttons of the search pad, grouped by flower, stem and leaf. It is
// built from the pad's checked states alone, so it needs no window.
#include <QString>

#include <array>
#include <vector>

#include "search/conditions.h"

struct ConditionNode {
    QString text;
    std::vector<ConditionNode> children;
};

// For each of the six pad groups (in PadGroup order): true when at least one
// of its buttons is checked.
std::array<bool, PadGroupCount> conditionGroups(const PadState& pad);

// The whole tree. The root reads "検索条件" for the conditions of a search
// and "登録条件" for the registered conditions of a species. Under it come
// "花" (with "咲く季節", "系統色", "花の形"), "茎" (with "茎の様子") and
// "葉" (with "葉の縁", "葉の形"), each group and subgroup only when one of
// its buttons is checked; a subgroup lists the captions of its checked
// buttons in pad order.
ConditionNode conditionTree(const PadState& pad, bool searchConditions);
