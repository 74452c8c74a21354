#include <gtest/gtest.h>

#include <vector>

#include "search/conditions.h"

namespace {

PlantRecord record(std::array<bool, SeasonCount> seasons, std::array<bool, ColourCount> colours, int flower,
                   int stem, int margin, int leaf)
{
    PlantRecord r;
    r.name = QStringLiteral("テスト");
    r.seasons = seasons;
    r.colours = colours;
    r.flowerShape = flower;
    r.stemHabit = stem;
    r.leafMargin = margin;
    r.leafShape = leaf;
    r.pictureCount = 3;
    return r;
}

PlantRecord anyRecord(int flower = -1, int stem = -1, int margin = -1, int leaf = -1)
{
    return record({true, true, true, true}, {true, true, true, true, true, true}, flower, stem, margin, leaf);
}

PadState padWith(std::initializer_list<int> checked)
{
    PadState pad{};
    for (int i : checked)
        pad[size_t(i)] = true;
    return pad;
}

// The choices of one radio group: nothing checked, or one button of
// [begin, end).
std::vector<int> radioChoices(PadGroup group)
{
    std::vector<int> choices{-1};
    for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
        choices.push_back(i);
    return choices;
}

// Check-box patterns over the ten season and colour boxes.
const std::vector<unsigned> CheckPatterns = {0x000, 0x3FF, 0x155, 0x2AA, 0x001, 0x200, 0x00F, 0x3F0};

// Every pad state a real pad can hold, for the check-box patterns above.
std::vector<PadState> allPadStates()
{
    std::vector<PadState> states;
    for (unsigned bits : CheckPatterns)
        for (int f : radioChoices(PadGroup::FlowerShape))
            for (int s : radioChoices(PadGroup::StemHabit))
                for (int m : radioChoices(PadGroup::LeafMargin))
                    for (int l : radioChoices(PadGroup::LeafShape)) {
                        PadState pad{};
                        for (int i = 0; i < 10; ++i)
                            pad[size_t(i)] = (bits >> i) & 1;
                        for (int i : {f, s, m, l})
                            if (i >= 0)
                                pad[size_t(i)] = true;
                        states.push_back(pad);
                    }
    return states;
}

} // namespace

TEST(PadButtons, TableMatchesThePad)
{
    const auto& buttons = padButtons();
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(buttons[size_t(i)].control, qPrintable(QStringLiteral("CheckBox%1").arg(i + 1)));
    for (int i = 10; i < PadButtonCount; ++i)
        EXPECT_STREQ(buttons[size_t(i)].control, qPrintable(QStringLiteral("RadioButton%1").arg(i - 9)));

    EXPECT_EQ(padCaption(0), QStringLiteral("春"));
    EXPECT_EQ(padCaption(9), QStringLiteral("目立たない"));
    EXPECT_EQ(padCaption(14), QStringLiteral("蝶\u3000型"));
    EXPECT_EQ(padCaption(17), QStringLiteral("３，６枚"));
    EXPECT_EQ(padCaption(PadFlowerUnknown), QStringLiteral("不明"));
    EXPECT_EQ(padCaption(PadStemFirst + 2), QStringLiteral("葉が根元に"));
    EXPECT_EQ(padCaption(PadMarginToothed), QStringLiteral("きょ歯あり"));
    EXPECT_EQ(padCaption(PadMarginEntire), QStringLiteral("きょ歯なし"));
    EXPECT_EQ(padCaption(30), QStringLiteral("タンポポ型"));
    EXPECT_EQ(padCaption(34), QStringLiteral("細長い葉"));
    EXPECT_EQ(padCaption(PadLeafUnknown), QStringLiteral("不明"));

    // The group ranges tile the pad, and each button lies in its group's range.
    EXPECT_EQ(padGroupBegin(PadGroup::Season), 0);
    EXPECT_EQ(padGroupEnd(PadGroup::LeafShape), PadButtonCount);
    for (int g = 0; g + 1 < PadGroupCount; ++g)
        EXPECT_EQ(padGroupEnd(PadGroup(g)), padGroupBegin(PadGroup(g + 1)));
    for (int i = 0; i < PadButtonCount; ++i) {
        const PadGroup g = buttons[size_t(i)].group;
        EXPECT_GE(i, padGroupBegin(g));
        EXPECT_LT(i, padGroupEnd(g));
    }
    EXPECT_EQ(padGroupLabel(PadGroup::StemHabit), QStringLiteral("茎の様子"));
}

TEST(MatchesPad, SeasonsAndColoursAreAlternatives)
{
    const PadState springOrSummer = padWith({0, 1});
    EXPECT_TRUE(matchesPad(record({false, true, false, false}, {}, -1, -1, -1, -1), springOrSummer));
    EXPECT_FALSE(matchesPad(record({false, false, true, false}, {}, -1, -1, -1, -1), springOrSummer));
    EXPECT_FALSE(matchesPad(record({}, {}, -1, -1, -1, -1), springOrSummer));

    const PadState whiteOrPurple = padWith({PadColourFirst, PadColourFirst + 4});
    EXPECT_TRUE(matchesPad(record({}, {false, false, false, false, true, false}, -1, -1, -1, -1), whiteOrPurple));
    EXPECT_FALSE(matchesPad(record({}, {false, true, false, false, false, true}, -1, -1, -1, -1), whiteOrPurple));

    // The groups combine by AND.
    const PadState summerWhite = padWith({1, PadColourFirst});
    EXPECT_TRUE(matchesPad(record({false, true, false, false}, {true}, -1, -1, -1, -1), summerWhite));
    EXPECT_FALSE(matchesPad(record({false, true, false, false}, {false, true}, -1, -1, -1, -1), summerWhite));
    EXPECT_FALSE(matchesPad(record({true, false, false, false}, {true}, -1, -1, -1, -1), summerWhite));
}

TEST(MatchesPad, RadioGroupsIgnoreUnknownValues)
{
    const PadState empty{};
    for (int v : {-1, 0, 1, 5, 10})
        EXPECT_TRUE(matchesPad(anyRecord(v, v % 4, v % 2, v % 9), empty));
    EXPECT_TRUE(matchesPad(record({}, {}, -1, -1, -1, -1), empty));

    const PadState dandelion = padWith({PadFlowerFirst + 1}); // タンポポ型, 2
    EXPECT_TRUE(matchesPad(anyRecord(2), dandelion));
    EXPECT_TRUE(matchesPad(anyRecord(0), dandelion));
    EXPECT_TRUE(matchesPad(anyRecord(-1), dandelion));
    EXPECT_FALSE(matchesPad(anyRecord(3), dandelion));

    // "不明" sets no condition at all.
    for (int v : {-1, 0, 1, 10})
        EXPECT_TRUE(matchesPad(anyRecord(v, v % 4, -1, v % 9), padWith({PadFlowerUnknown, PadStemUnknown, PadLeafUnknown})));

    const PadState climbing = padWith({PadStemFirst + 1});
    EXPECT_TRUE(matchesPad(anyRecord(-1, 2), climbing));
    EXPECT_FALSE(matchesPad(anyRecord(-1, 3), climbing));

    const PadState opposite = padWith({PadLeafFirst + 1});
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, -1, 2), opposite));
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, -1, 0), opposite));
    EXPECT_FALSE(matchesPad(anyRecord(-1, -1, -1, 8), opposite));
}

TEST(MatchesPad, LeafMargin)
{
    const PadState entire = padWith({PadMarginEntire});
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, 1), entire));
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, -1), entire));
    EXPECT_FALSE(matchesPad(anyRecord(-1, -1, 0), entire));

    const PadState toothed = padWith({PadMarginToothed});
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, 0), toothed));
    EXPECT_TRUE(matchesPad(anyRecord(-1, -1, -1), toothed));
    EXPECT_FALSE(matchesPad(anyRecord(-1, -1, 1), toothed));
}

TEST(StorePad, EmptyPadGivesNotGiven)
{
    PlantRecord r = anyRecord(4, 2, 1, 6);
    storePadIntoRecord(PadState{}, r);
    EXPECT_EQ(r.seasons, (std::array<bool, SeasonCount>{}));
    EXPECT_EQ(r.colours, (std::array<bool, ColourCount>{}));
    EXPECT_EQ(r.flowerShape, -1);
    EXPECT_EQ(r.stemHabit, -1);
    EXPECT_EQ(r.leafMargin, -1);
    EXPECT_EQ(r.leafShape, -1);
    EXPECT_EQ(r.name, QStringLiteral("テスト"));
    EXPECT_EQ(r.pictureCount, 3);
    EXPECT_EQ(padFromRecord(r), PadState{});
}

TEST(StorePad, StoreThenShowReproducesEveryPadState)
{
    const std::vector<PadState> states = allPadStates();
    ASSERT_EQ(states.size(), CheckPatterns.size() * 12 * 5 * 3 * 10);
    for (const PadState& pad : states) {
        ASSERT_TRUE(padStateValid(pad));
        PlantRecord r = anyRecord(7, 1, 0, 3);
        storePadIntoRecord(pad, r);
        ASSERT_EQ(padFromRecord(r), pad);
        // A species always matches the conditions it was registered with.
        ASSERT_TRUE(matchesPad(r, pad));
        EXPECT_EQ(r.pictureCount, 3);
    }
}

TEST(StorePad, ShowThenStoreReproducesEveryRecord)
{
    for (unsigned bits : CheckPatterns)
        for (int f = -1; f <= 10; ++f)
            for (int s = -1; s <= 3; ++s)
                for (int m = -1; m <= 1; ++m)
                    for (int l = -1; l <= 8; ++l) {
                        PlantRecord r = anyRecord(f, s, m, l);
                        for (int i = 0; i < 10; ++i)
                            (i < 4 ? r.seasons[size_t(i)] : r.colours[size_t(i - 4)]) = (bits >> i) & 1;
                        PlantRecord back;
                        back.name = r.name;
                        back.pictureCount = r.pictureCount;
                        storePadIntoRecord(padFromRecord(r), back);
                        ASSERT_EQ(back, r);
                    }
}

TEST(StorePad, ValuesNoButtonStandsForShowNothing)
{
    const PadState pad = padFromRecord(record({}, {}, 11, 4, 2, 9));
    EXPECT_EQ(pad, PadState{});
    EXPECT_FALSE(padStateValid(padWith({PadFlowerFirst, PadFlowerUnknown})));
    EXPECT_FALSE(padStateValid(padWith({PadMarginToothed, PadMarginEntire})));
    EXPECT_TRUE(padStateValid(padWith({0, 1, 2, 3, PadColourFirst, PadColourFirst + 5})));
}
