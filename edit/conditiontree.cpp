#include "edit/conditiontree.h"

namespace {

// The subgroup node of `group`, listing its checked buttons in pad order.
ConditionNode subgroupNode(const PadState& pad, PadGroup group)
{
    ConditionNode node{padGroupLabel(group), {}};
    for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
        if (pad[size_t(i)])
            node.children.push_back({padCaption(i), {}});
    return node;
}

// A group node ("花", "茎", "葉") holding those of `subgroups` that are set;
// nothing when none is.
void addGroup(ConditionNode& root, const PadState& pad, const std::array<bool, PadGroupCount>& set,
              const QString& text, std::initializer_list<PadGroup> subgroups)
{
    ConditionNode node{text, {}};
    for (PadGroup g : subgroups)
        if (set[size_t(g)])
            node.children.push_back(subgroupNode(pad, g));
    if (!node.children.empty())
        root.children.push_back(std::move(node));
}

} // namespace

std::array<bool, PadGroupCount> conditionGroups(const PadState& pad)
{
    std::array<bool, PadGroupCount> set{};
    for (int i = 0; i < PadButtonCount; ++i)
        if (pad[size_t(i)])
            set[size_t(padButtons()[size_t(i)].group)] = true;
    return set;
}

ConditionNode conditionTree(const PadState& pad, bool searchConditions)
{
    ConditionNode root{searchConditions ? QStringLiteral("検索条件") : QStringLiteral("登録条件"), {}};
    const auto set = conditionGroups(pad);
    addGroup(root, pad, set, QStringLiteral("花"), {PadGroup::Season, PadGroup::Colour, PadGroup::FlowerShape});
    addGroup(root, pad, set, QStringLiteral("茎"), {PadGroup::StemHabit});
    addGroup(root, pad, set, QStringLiteral("葉"), {PadGroup::LeafMargin, PadGroup::LeafShape});
    return root;
}
