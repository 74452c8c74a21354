#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <memory>

#include "search/guidance.h"
#include "support/randomcatalogue.h"

namespace {

struct Traits {
    std::array<bool, SeasonCount> seasons;
    std::array<bool, ColourCount> colours;
    int flower, stem, margin, leaf;
};

std::unique_ptr<PlantTable> tableOf(const std::vector<std::pair<QString, Traits>>& species)
{
    auto table = std::make_unique<PlantTable>();
    for (const auto& [name, t] : species) {
        const int k = table->append(name);
        PlantRecord& r = table->record(k);
        r.seasons = t.seasons;
        r.colours = t.colours;
        r.flowerShape = t.flower;
        r.stemHabit = t.stem;
        r.leafMargin = t.margin;
        r.leafShape = t.leaf;
        r.pictureCount = 1;
    }
    return table;
}

PadState padWith(std::initializer_list<int> checked)
{
    PadState pad{};
    for (int i : checked)
        pad[size_t(i)] = true;
    return pad;
}

constexpr std::array<bool, 4> Spring{true, false, false, false};
constexpr std::array<bool, 4> Summer{false, true, false, false};
constexpr std::array<bool, 4> SpringSummer{true, true, false, false};
constexpr std::array<bool, 4> NoSeason{};
constexpr std::array<bool, 6> White{true, false, false, false, false, false};
constexpr std::array<bool, 6> Red{false, true, false, false, false, false};
constexpr std::array<bool, 6> NoColour{};

// A: spring, white, タンポポ型, upright, toothed, 互生
// B: summer, red, ハコベ型, stem unknown, untoothed, leaf not given
// C: spring and summer, white, flower unknown, climbing, margin not given, 対生
// D: nothing given at all
std::unique_ptr<PlantTable> fourSpecies()
{
    return tableOf({{QStringLiteral("A"), {Spring, White, 2, 1, 0, 1}},
                    {QStringLiteral("B"), {Summer, Red, 3, 0, 1, -1}},
                    {QStringLiteral("C"), {SpringSummer, White, 0, 2, -1, 2}},
                    {QStringLiteral("D"), {NoSeason, NoColour, -1, -1, -1, -1}}});
}

// Counting by brute force: every choice's pad searched in full.
PadCounts countedOneByOne(const PlantTable& table, const PadState& pad, int tolerance)
{
    PadCounts counts;
    counts.found = int(searchTable(table, pad, tolerance).size());
    for (int b = 0; b < PadButtonCount; ++b)
        counts.ifChosen[size_t(b)] = int(searchTable(table, padWithChoice(pad, b), tolerance).size());
    return counts;
}

// The fast counts against full searches, for every tolerance.
void expectCountsAgree(const PlantTable& table, const std::vector<PadState>& pads)
{
    for (size_t i = 0; i < pads.size(); ++i)
        for (int tolerance = 0; tolerance <= MaxTolerance; ++tolerance) {
            SCOPED_TRACE(testing::Message() << "pad " << i << ", tolerance " << tolerance);
            const PadCounts fast = padCounts(table, pads[i], tolerance);
            const PadCounts slow = countedOneByOne(table, pads[i], tolerance);
            EXPECT_EQ(fast.found, slow.found);
            EXPECT_EQ(fast.ifChosen, slow.ifChosen);
        }
}

std::unique_ptr<PlantTable> thousandSpecies()
{
    return randomCatalogue(MaxPlants, 1013);
}

PadState randomPad(QRandomGenerator& rng)
{
    PadState pad{};
    for (int i = 0; i < PadFlowerFirst; ++i)
        pad[size_t(i)] = rng.bounded(5) == 0;
    for (PadGroup g : {PadGroup::FlowerShape, PadGroup::StemHabit, PadGroup::LeafMargin, PadGroup::LeafShape}) {
        const int span = padGroupEnd(g) - padGroupBegin(g);
        const int pick = int(rng.bounded(span + 2)) - 2; // none more often than not
        if (pick >= 0)
            pad[size_t(padGroupBegin(g) + pick)] = true;
    }
    return pad;
}

unsigned bit(PadGroup g)
{
    return 1u << int(g);
}

} // namespace

TEST(Guidance, FailedGroupsAgreeWithTheMatchingRule)
{
    const auto table = thousandSpecies();
    QRandomGenerator rng(7);
    for (int round = 0; round < 60; ++round) {
        const PadState pad = randomPad(rng);
        for (int k = 1; k <= table->plantCount(); ++k) {
            const PlantRecord& r = table->record(k);
            const unsigned misses = failedGroups(r, pad);
            ASSERT_EQ(misses == 0, matchesPad(r, pad)) << round << " " << k;
            for (int g = 0; g < PadGroupCount; ++g)
                ASSERT_EQ(bool(misses & (1u << g)), !passesGroup(r, pad, PadGroup(g)));
        }
    }
}

TEST(Guidance, CountsOnAnEmptyPadByHand)
{
    const auto table = fourSpecies();
    const PadCounts c = padCounts(*table, PadState{});
    EXPECT_EQ(c.found, 4);
    EXPECT_EQ(c.ifChosen[0], 2);  // 春: A, C (D has no season at all)
    EXPECT_EQ(c.ifChosen[1], 2);  // 夏: B, C
    EXPECT_EQ(c.ifChosen[2], 0);  // 秋
    EXPECT_EQ(c.ifChosen[4], 2);  // 白: A, C
    EXPECT_EQ(c.ifChosen[5], 1);  // 赤: B
    EXPECT_EQ(c.ifChosen[10], 2); // アサガオ型: C (unknown), D (not given)
    EXPECT_EQ(c.ifChosen[11], 3); // タンポポ型: A, C, D
    EXPECT_EQ(c.ifChosen[12], 3); // ハコベ型: B, C, D
    EXPECT_EQ(c.ifChosen[PadFlowerUnknown], 4); // "不明" sets no condition
    EXPECT_EQ(c.ifChosen[21], 3); // 直立型: A, B (unknown), D
    EXPECT_EQ(c.ifChosen[22], 3); // つる型: B, C, D
    EXPECT_EQ(c.ifChosen[PadMarginToothed], 3); // A, C, D
    EXPECT_EQ(c.ifChosen[PadMarginEntire], 3);  // B, C, D
    EXPECT_EQ(c.ifChosen[27], 3); // 互生: A, B, D
    EXPECT_EQ(c.ifChosen[28], 3); // 対生: B, C, D
    EXPECT_EQ(c.ifChosen[PadLeafUnknown], 4);
}

TEST(Guidance, CountsFollowThePadAndTheTolerance)
{
    const auto table = fourSpecies();
    // 春 ticked: A and C remain.
    PadCounts c = padCounts(*table, padWith({0}));
    EXPECT_EQ(c.found, 2);
    EXPECT_EQ(c.ifChosen[0], 2); // already chosen
    EXPECT_EQ(c.ifChosen[1], 3); // 春 or 夏
    EXPECT_EQ(c.ifChosen[21], 1); // 直立型: A only
    EXPECT_EQ(c.ifChosen[5], 0);  // 赤 leads nowhere

    // A radio choice replaces the group's checked button.
    c = padCounts(*table, padWith({11})); // タンポポ型: A, C, D
    EXPECT_EQ(c.found, 3);
    EXPECT_EQ(c.ifChosen[12], 3); // ハコベ型 instead: B, C, D
    EXPECT_EQ(c.ifChosen[PadFlowerUnknown], 4);

    // 夏 + 赤: B matches; C misses the colour; A and D miss two tests.
    const PadState pad = padWith({1, 5});
    EXPECT_EQ(padCounts(*table, pad, 0).found, 1);
    c = padCounts(*table, pad, 1);
    EXPECT_EQ(c.found, 2);
    EXPECT_EQ(c.ifChosen[4], 3); // + 白: C exact, A misses the season only
    EXPECT_EQ(padCounts(*table, pad, 2).found, 4);

    expectCountsAgree(*table, {PadState{}, padWith({0}), padWith({1, 5, 11, 26}), padWith({20, 24, 35})});
}

TEST(Guidance, CountsOfAThousandSpeciesAgreeWithFullSearches)
{
    const auto table = thousandSpecies();
    QRandomGenerator rng(99);
    std::vector<PadState> pads;
    for (int round = 0; round < 12; ++round)
        pads.push_back(randomPad(rng));
    expectCountsAgree(*table, pads);
    EXPECT_EQ(padCounts(*table, PadState{}).found, MaxPlants);
}

TEST(Guidance, CountsHoldForNumbersOutsideTheFileRange)
{
    // Values a data file cannot give still count as the matching rule
    // judges them.
    const auto table = tableOf({{QStringLiteral("a"), {Spring, White, 15, -4, 7, 99}},
                                {QStringLiteral("b"), {Summer, Red, -9, 6, -3, -2}},
                                {QStringLiteral("c"), {SpringSummer, White, 11, 4, 2, 9}}});
    expectCountsAgree(*table, {PadState{}, padWith({0, 11, 22, 25, 30}), padWith({1, 19, 23, 26, 34})});
}

TEST(Guidance, RankingAgreesWithThePowerOfTheSpeciesFound)
{
    const auto table = thousandSpecies();
    QRandomGenerator rng(21);
    for (int round = 0; round < 20; ++round) {
        const PadState pad = randomPad(rng);
        const int tolerance = round % (MaxTolerance + 1);
        std::vector<const PlantRecord*> found;
        for (const FoundSpecies& f : searchTable(*table, pad, tolerance))
            found.push_back(&table->record(f.record));
        const std::vector<GroupRank> ranks = rankGroups(*table, pad, tolerance);
        if (found.size() <= 1) {
            EXPECT_TRUE(ranks.empty());
            continue;
        }
        size_t expected = 0;
        for (int g = 0; g < PadGroupCount; ++g)
            if (!groupAnswered(pad, PadGroup(g)) && separatingPower(found, PadGroup(g)))
                ++expected;
        ASSERT_EQ(ranks.size(), expected) << round;
        for (size_t i = 0; i < ranks.size(); ++i) {
            EXPECT_FALSE(groupAnswered(pad, ranks[i].group));
            EXPECT_NEAR(ranks[i].power, *separatingPower(found, ranks[i].group), 1e-9);
            if (i > 0)
                EXPECT_GE(ranks[i - 1].power + 1e-9, ranks[i].power);
        }
    }
}

TEST(Guidance, EmptyTableAndOneSpecies)
{
    const PlantTable empty;
    const PadCounts c = padCounts(empty, padWith({0, 11}), 2);
    EXPECT_EQ(c.found, 0);
    EXPECT_EQ(c.ifChosen, (std::array<int, PadButtonCount>{}));
    EXPECT_TRUE(rankGroups(empty, PadState{}).empty());
    EXPECT_FALSE(nextQuestion(empty, PadState{}).has_value());
    EXPECT_TRUE(searchTable(empty, PadState{}, 2).empty());

    const auto one = tableOf({{QStringLiteral("ハコベ"), {Spring, White, 3, 1, 1, 2}}});
    EXPECT_EQ(padCounts(*one, PadState{}).found, 1);
    EXPECT_EQ(padCounts(*one, PadState{}).ifChosen[12], 1);
    EXPECT_EQ(padCounts(*one, PadState{}).ifChosen[11], 0);
    EXPECT_TRUE(rankGroups(*one, PadState{}).empty()); // nothing left to split
    EXPECT_FALSE(nextQuestion(*one, PadState{}).has_value());
}

TEST(Guidance, SeparatingPowerByHand)
{
    auto flowers = [](std::initializer_list<int> shapes) {
        std::vector<std::pair<QString, Traits>> species;
        int i = 0;
        for (int s : shapes)
            species.push_back({QString::number(i++), {Spring, White, s, 1, 0, 1}});
        return tableOf(species);
    };
    auto records = [](const PlantTable& t) {
        std::vector<const PlantRecord*> out;
        for (int k = 1; k <= t.plantCount(); ++k)
            out.push_back(&t.record(k));
        return out;
    };

    // Two species of different shapes: the answer halves the list.
    auto t = flowers({1, 2});
    EXPECT_DOUBLE_EQ(*separatingPower(records(*t), PadGroup::FlowerShape), 1.0);
    // 1, 1, 2, 2: log2 4 - (2·1 + 2·1) / 4 = 1.
    t = flowers({1, 1, 2, 2});
    EXPECT_DOUBLE_EQ(*separatingPower(records(*t), PadGroup::FlowerShape), 1.0);
    // All alike: the group is informative but splits nothing.
    t = flowers({4, 4, 4});
    EXPECT_NEAR(*separatingPower(records(*t), PadGroup::FlowerShape), 0.0, 1e-12);
    // 1, 2, 3 and an unknown one, which counts 1/10 towards each of the ten
    // shapes: f = 1.1 for shapes 1..3 (n = 2 each), 0.1 for the seven
    // others (n = 1); sup = 3 · 1.1 · 1 / 4 = 0.825; power 2 - 0.825.
    t = flowers({1, 2, 3, 0});
    EXPECT_NEAR(*separatingPower(records(*t), PadGroup::FlowerShape), 1.175, 1e-12);
    // Not given counts as unknown.
    t = flowers({1, 2, 3, -1});
    EXPECT_NEAR(*separatingPower(records(*t), PadGroup::FlowerShape), 1.175, 1e-12);
    // Nobody's flower shape known: nothing to learn from the group.
    t = flowers({0, -1, 0});
    EXPECT_FALSE(separatingPower(records(*t), PadGroup::FlowerShape).has_value());
    EXPECT_FALSE(separatingPower({}, PadGroup::FlowerShape).has_value());

    // Seasons: spring+summer (1/2 to each) and summer: f = 0.5 (spring,
    // n 1) and 1.5 (summer, n 2); power 1 - 1.5 / 2 = 0.25. A species with
    // no season flag allows every season.
    t = tableOf({{QStringLiteral("a"), {SpringSummer, White, 1, 1, 0, 1}},
                 {QStringLiteral("b"), {Summer, White, 1, 1, 0, 1}}});
    EXPECT_DOUBLE_EQ(*separatingPower(records(*t), PadGroup::Season), 0.25);
    EXPECT_EQ(allowedStates(t->record(1), PadGroup::Season), 0x3u);
    PlantRecord none;
    EXPECT_EQ(allowedStates(none, PadGroup::Season), 0xFu);
    EXPECT_EQ(allowedStates(none, PadGroup::Colour), 0x3Fu);
    EXPECT_EQ(allowedStates(none, PadGroup::LeafMargin), 0x3u);
    none.leafMargin = 1;
    EXPECT_EQ(allowedStates(none, PadGroup::LeafMargin), 0x2u);
    none.leafShape = 0;
    EXPECT_EQ(allowedStates(none, PadGroup::LeafShape), 0xFFu);
}

TEST(Guidance, TheNextQuestionIsTheGroupThatSplitsBest)
{
    // Four species alike but for their leaf forms (and two stems).
    const auto table = tableOf({{QStringLiteral("a"), {Spring, White, 1, 1, 0, 1}},
                                {QStringLiteral("b"), {Spring, White, 1, 1, 0, 2}},
                                {QStringLiteral("c"), {Spring, White, 1, 2, 0, 3}},
                                {QStringLiteral("d"), {Spring, White, 1, 2, 0, 4}}});
    std::vector<GroupRank> ranks = rankGroups(*table, PadState{});
    ASSERT_EQ(ranks.size(), 6u); // every group is known for everyone
    EXPECT_EQ(ranks[0].group, PadGroup::LeafShape);
    EXPECT_DOUBLE_EQ(ranks[0].power, 2.0);
    EXPECT_EQ(ranks[1].group, PadGroup::StemHabit);
    EXPECT_DOUBLE_EQ(ranks[1].power, 1.0);
    EXPECT_NEAR(ranks[2].power, 0.0, 1e-12);
    EXPECT_EQ(ranks[2].group, PadGroup::Season); // ties keep group order
    EXPECT_EQ(nextQuestion(*table, PadState{}), PadGroup::LeafShape);
    EXPECT_EQ(nextQuestionHint(PadGroup::LeafShape), QStringLiteral("次は『葉の形』が絞り込みに役立ちます"));
    EXPECT_EQ(groupPage(PadGroup::LeafShape), 2);

    // Answered groups ("不明" included) are not asked again.
    ranks = rankGroups(*table, padWith({PadLeafUnknown}));
    ASSERT_FALSE(ranks.empty());
    EXPECT_EQ(ranks[0].group, PadGroup::StemHabit);
    // Counted over the species that remain: after つる型, c and d are left
    // and only the leaf form tells them apart.
    EXPECT_EQ(nextQuestion(*table, padWith({22})), PadGroup::LeafShape);
    // One species left: no question.
    EXPECT_TRUE(rankGroups(*table, padWith({27})).empty());
    // Nothing left to split: the groups all agree.
    EXPECT_FALSE(nextQuestion(*table, padWith({21, PadLeafUnknown})).has_value());
}

TEST(Guidance, ToleranceFindsNearMatchesAfterTheExactOnes)
{
    const auto table = fourSpecies();
    const PadState pad = padWith({1, 5}); // 夏 + 赤

    std::vector<FoundSpecies> found = searchTable(*table, pad, 0);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].record, 2);
    EXPECT_EQ(found[0].misses, 0u);

    found = searchTable(*table, pad, 2);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].record, 2); // B exact
    EXPECT_EQ(found[1].record, 3); // C misses the colour
    EXPECT_EQ(found[1].misses, bit(PadGroup::Colour));
    EXPECT_EQ(found[2].record, 1); // A and D miss two tests, in table order
    EXPECT_EQ(found[2].misses, bit(PadGroup::Season) | bit(PadGroup::Colour));
    EXPECT_EQ(found[3].record, 4);

    // An out-of-range tolerance is the default.
    EXPECT_EQ(searchTable(*table, pad, 7).size(), 1u);
    EXPECT_EQ(searchTable(*table, pad, -1).size(), 1u);
    EXPECT_EQ(validTolerance(2), 2);
    EXPECT_EQ(validTolerance(3), 0);
}

TEST(Guidance, ToleranceZeroIsTheMatchingRuleOnAThousandSpecies)
{
    const auto table = thousandSpecies();
    QRandomGenerator rng(3);
    for (int round = 0; round < 30; ++round) {
        const PadState pad = randomPad(rng);
        std::vector<int> expected;
        for (int k = 1; k <= table->plantCount(); ++k)
            if (matchesPad(table->record(k), pad))
                expected.push_back(k);
        std::vector<int> got;
        for (const FoundSpecies& f : searchTable(*table, pad, 0))
            got.push_back(f.record);
        ASSERT_EQ(got, expected) << round;

        // With a tolerance the exact matches lead, and the misses never
        // decrease along the list.
        const std::vector<FoundSpecies> near = searchTable(*table, pad, 2);
        ASSERT_GE(near.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(near[i].record, expected[i]);
        for (size_t i = 1; i < near.size(); ++i)
            ASSERT_LE(missCount(near[i - 1].misses), missCount(near[i].misses));
        for (size_t i = 1; i < near.size(); ++i)
            if (missCount(near[i - 1].misses) == missCount(near[i].misses))
                ASSERT_LT(near[i - 1].record, near[i].record);
    }
}

TEST(Guidance, TextsForResultsAndComparison)
{
    EXPECT_EQ(resultStatusText(QStringLiteral("アカツメクサ"), bit(PadGroup::FlowerShape)),
              QStringLiteral("アカツメクサ — 違い: 花の形"));
    EXPECT_EQ(resultStatusText(QStringLiteral("アカツメクサ"), 0), QStringLiteral("アカツメクサ"));
    EXPECT_EQ(missesText(bit(PadGroup::Season) | bit(PadGroup::LeafShape)), QStringLiteral("咲く季節、葉の形"));
    EXPECT_EQ(missMark(0), QString());
    EXPECT_EQ(missMark(bit(PadGroup::StemHabit)), QStringLiteral("1つ違い"));
    EXPECT_EQ(missMark(bit(PadGroup::StemHabit) | bit(PadGroup::Colour)), QStringLiteral("2つ違い"));

    PlantRecord r;
    EXPECT_EQ(characterText(r, PadGroup::Season), QStringLiteral("—"));
    EXPECT_EQ(characterText(r, PadGroup::FlowerShape), QStringLiteral("—"));
    EXPECT_EQ(characterText(r, PadGroup::LeafMargin), QStringLiteral("—"));
    r.seasons = {true, false, true, false};
    r.colours = {false, false, false, false, false, true};
    r.flowerShape = 5;
    r.stemHabit = 0;
    r.leafMargin = 0;
    r.leafShape = 8;
    EXPECT_EQ(characterText(r, PadGroup::Season), QStringLiteral("春・秋"));
    EXPECT_EQ(characterText(r, PadGroup::Colour), QStringLiteral("目立たない"));
    EXPECT_EQ(characterText(r, PadGroup::FlowerShape), QStringLiteral("蝶　型"));
    EXPECT_EQ(characterText(r, PadGroup::StemHabit), QStringLiteral("不明"));
    EXPECT_EQ(characterText(r, PadGroup::LeafMargin), QStringLiteral("きょ歯あり"));
    EXPECT_EQ(characterText(r, PadGroup::LeafShape), QStringLiteral("細長い葉"));
    r.leafMargin = 1;
    EXPECT_EQ(characterText(r, PadGroup::LeafMargin), QStringLiteral("きょ歯なし"));
}
