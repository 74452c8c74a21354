#include "search/conditions.h"

namespace {

using G = PadGroup;

const std::array<PadButton, PadButtonCount> Buttons = {{
    {"CheckBox1", "春", G::Season, 0},
    {"CheckBox2", "夏", G::Season, 1},
    {"CheckBox3", "秋", G::Season, 2},
    {"CheckBox4", "冬", G::Season, 3},
    {"CheckBox5", "白", G::Colour, 0},
    {"CheckBox6", "赤", G::Colour, 1},
    {"CheckBox7", "黄", G::Colour, 2},
    {"CheckBox8", "青", G::Colour, 3},
    {"CheckBox9", "紫", G::Colour, 4},
    {"CheckBox10", "目立たない", G::Colour, 5},
    {"RadioButton1", "アサガオ型", G::FlowerShape, 1},
    {"RadioButton2", "タンポポ型", G::FlowerShape, 2},
    {"RadioButton3", "ハコベ型", G::FlowerShape, 3},
    {"RadioButton4", "イネ型", G::FlowerShape, 4},
    {"RadioButton5", "蝶　型", G::FlowerShape, 5},
    {"RadioButton6", "唇状型", G::FlowerShape, 6},
    {"RadioButton7", "筒状型", G::FlowerShape, 7},
    {"RadioButton8", "３，６枚", G::FlowerShape, 8},
    {"RadioButton9", "４枚", G::FlowerShape, 9},
    {"RadioButton10", "５枚", G::FlowerShape, 10},
    {"RadioButton11", "不明", G::FlowerShape, 0},
    {"RadioButton12", "直立型", G::StemHabit, 1},
    {"RadioButton13", "つる型", G::StemHabit, 2},
    {"RadioButton14", "葉が根元に", G::StemHabit, 3},
    {"RadioButton15", "不明", G::StemHabit, 0},
    {"RadioButton16", "きょ歯あり", G::LeafMargin, 0},
    {"RadioButton17", "きょ歯なし", G::LeafMargin, 1},
    {"RadioButton18", "互生", G::LeafShape, 1},
    {"RadioButton19", "対生", G::LeafShape, 2},
    {"RadioButton20", "３枚以上輪生", G::LeafShape, 3},
    {"RadioButton21", "タンポポ型", G::LeafShape, 4},
    {"RadioButton22", "３小葉", G::LeafShape, 5},
    {"RadioButton23", "多数の複葉", G::LeafShape, 6},
    {"RadioButton24", "オオバコ型", G::LeafShape, 7},
    {"RadioButton25", "細長い葉", G::LeafShape, 8},
    {"RadioButton26", "不明", G::LeafShape, 0},
}};

// Pad index ranges of the groups, in PadGroup order.
constexpr int GroupBegin[PadGroupCount + 1] = {PadSeasonFirst, PadColourFirst, PadFlowerFirst,
                                               PadStemFirst,   PadMarginToothed, PadLeafFirst,
                                               PadButtonCount};

// Passes when no box of [first, first + N) is checked, or when a
// checked box has its flag set in the record.
template <std::size_t N>
bool anyOfChecked(const PadState& pad, int first, const std::array<bool, N>& flags)
{
    bool anyChecked = false;
    for (std::size_t j = 0; j < N; ++j) {
        if (!pad[size_t(first) + j])
            continue;
        anyChecked = true;
        if (flags[j])
            return true;
    }
    return !anyChecked;
}

// The number (1..count) of the first checked button of [first, first +
// count), or 0 when none is checked.
int firstChecked(const PadState& pad, int first, int count)
{
    for (int i = 0; i < count; ++i)
        if (pad[size_t(first + i)])
            return i + 1;
    return 0;
}

// A radio group with an unknown button: the shape number of the first
// checked numbered button, else 0 when "不明" is checked, else -1.
int groupValue(const PadState& pad, int first, int count, int unknown)
{
    const int s = firstChecked(pad, first, count);
    if (s > 0)
        return s;
    return pad[size_t(unknown)] ? 0 : -1;
}

// A radio group as a condition: passes when the record's value is unknown or
// not given, or when no numbered button is checked, or when the checked one
// is the record's value.
bool shapePasses(int recordValue, const PadState& pad, int first, int count)
{
    if (recordValue <= 0)
        return true;
    const int s = firstChecked(pad, first, count);
    return s == 0 || s == recordValue;
}

} // namespace

const std::array<PadButton, PadButtonCount>& padButtons()
{
    return Buttons;
}

QString padCaption(int index)
{
    return QString::fromUtf8(Buttons.at(size_t(index)).caption);
}

int padGroupBegin(PadGroup group)
{
    return GroupBegin[int(group)];
}

int padGroupEnd(PadGroup group)
{
    return GroupBegin[int(group) + 1];
}

QString padGroupLabel(PadGroup group)
{
    switch (group) {
    case PadGroup::Season: return QStringLiteral("咲く季節");
    case PadGroup::Colour: return QStringLiteral("系統色");
    case PadGroup::FlowerShape: return QStringLiteral("花の形");
    case PadGroup::StemHabit: return QStringLiteral("茎の様子");
    case PadGroup::LeafMargin: return QStringLiteral("葉の縁");
    case PadGroup::LeafShape: return QStringLiteral("葉の形");
    }
    return {};
}

bool isRadioGroup(PadGroup group)
{
    return group != PadGroup::Season && group != PadGroup::Colour;
}

bool padStateValid(const PadState& pad)
{
    for (int g = 0; g < PadGroupCount; ++g) {
        const auto group = PadGroup(g);
        if (!isRadioGroup(group))
            continue;
        int checked = 0;
        for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
            checked += pad[size_t(i)] ? 1 : 0;
        if (checked > 1)
            return false;
    }
    return true;
}

bool passesGroup(const PlantRecord& record, const PadState& pad, PadGroup group)
{
    switch (group) {
    case PadGroup::Season: return anyOfChecked(pad, PadSeasonFirst, record.seasons);
    case PadGroup::Colour: return anyOfChecked(pad, PadColourFirst, record.colours);
    case PadGroup::FlowerShape: return shapePasses(record.flowerShape, pad, PadFlowerFirst, 10);
    case PadGroup::StemHabit: return shapePasses(record.stemHabit, pad, PadStemFirst, 3);
    case PadGroup::LeafMargin:
        if (record.leafMargin < 0)
            return true;
        if (pad[PadMarginToothed] && record.leafMargin == 1)
            return false;
        return !(pad[PadMarginEntire] && record.leafMargin == 0);
    case PadGroup::LeafShape: return shapePasses(record.leafShape, pad, PadLeafFirst, 8);
    }
    return true;
}

bool matchesPad(const PlantRecord& record, const PadState& pad)
{
    // The tests in group order; the first failed one ends the check.
    for (int g = 0; g < PadGroupCount; ++g)
        if (!passesGroup(record, pad, PadGroup(g)))
            return false;
    return true;
}

unsigned failedGroups(const PlantRecord& record, const PadState& pad)
{
    unsigned failed = 0;
    for (int g = 0; g < PadGroupCount; ++g)
        if (!passesGroup(record, pad, PadGroup(g)))
            failed |= 1u << g;
    return failed;
}

void storePadIntoRecord(const PadState& pad, PlantRecord& record)
{
    for (int j = 0; j < SeasonCount; ++j)
        record.seasons[size_t(j)] = pad[size_t(PadSeasonFirst + j)];
    for (int j = 0; j < ColourCount; ++j)
        record.colours[size_t(j)] = pad[size_t(PadColourFirst + j)];
    record.flowerShape = groupValue(pad, PadFlowerFirst, 10, PadFlowerUnknown);
    record.stemHabit = groupValue(pad, PadStemFirst, 3, PadStemUnknown);
    record.leafMargin = pad[PadMarginToothed] ? 0 : pad[PadMarginEntire] ? 1 : -1;
    record.leafShape = groupValue(pad, PadLeafFirst, 8, PadLeafUnknown);
}

PadState padFromRecord(const PlantRecord& record)
{
    PadState pad{};
    for (int j = 0; j < SeasonCount; ++j)
        pad[size_t(PadSeasonFirst + j)] = record.seasons[size_t(j)];
    for (int j = 0; j < ColourCount; ++j)
        pad[size_t(PadColourFirst + j)] = record.colours[size_t(j)];

    // A value 1..count checks the numbered button, 0 the "不明" button.
    auto show = [&pad](int value, int first, int count, int unknown) {
        if (value >= 1 && value <= count)
            pad[size_t(first + value - 1)] = true;
        else if (value == 0)
            pad[size_t(unknown)] = true;
    };
    show(record.flowerShape, PadFlowerFirst, 10, PadFlowerUnknown);
    show(record.stemHabit, PadStemFirst, 3, PadStemUnknown);
    show(record.leafShape, PadLeafFirst, 8, PadLeafUnknown);
    if (record.leafMargin == 0)
        pad[PadMarginToothed] = true;
    else if (record.leafMargin == 1)
        pad[PadMarginEntire] = true;
    return pad;
}
