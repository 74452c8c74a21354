#include "search/guidance.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

unsigned allStates(PadGroup group)
{
    return (1u << groupStateCount(group)) - 1u;
}

// State bit of a shape-like value 1..count, every state otherwise.
unsigned shapeStates(int value, int count, PadGroup group)
{
    if (value >= 1 && value <= count)
        return 1u << (value - 1);
    return allStates(group);
}

template <std::size_t N>
unsigned flagStates(const std::array<bool, N>& flags, PadGroup group)
{
    unsigned states = 0;
    for (std::size_t j = 0; j < N; ++j)
        if (flags[j])
            states |= 1u << j;
    return states ? states : allStates(group);
}

// The caption of button `first + value - 1` for a value 1..count, "不明" for
// 0, "—" otherwise.
QString shapeText(int value, int first, int count)
{
    if (value >= 1 && value <= count)
        return padCaption(first + value - 1);
    if (value == 0)
        return QStringLiteral("不明");
    return QStringLiteral("—");
}

template <std::size_t N>
QString flagText(const std::array<bool, N>& flags, int first)
{
    QStringList parts;
    for (std::size_t j = 0; j < N; ++j)
        if (flags[j])
            parts << padCaption(first + int(j));
    return parts.isEmpty() ? QStringLiteral("—") : parts.join(QStringLiteral("・"));
}

int countTrailingZeros(unsigned bits)
{
    int n = 0;
    while (!(bits & 1u)) {
        bits >>= 1;
        ++n;
    }
    return n;
}

// The six tests of one pad as lookup tables. A record's value in a group
// (its flags, or its number) is its key; for each key the table holds the
// test's verdict under the pad and, for every button of the group, the
// verdict with that button chosen instead. The tables are filled by asking
// passesGroup about one record per key, so the matching rule stays in one
// place; a number outside the data file's range counts as the nearest
// number one beyond it.
class PadVerdicts {
public:
    explicit PadVerdicts(const PadState& pad)
    {
        for (int g = 0; g < PadGroupCount; ++g) {
            const auto group = PadGroup(g);
            const int first = padGroupBegin(group);
            Table& table = tables_[size_t(g)];
            for (int key = 0; key < keyCount(group); ++key) {
                const PlantRecord record = keyRecord(group, key);
                table.passes[size_t(key)] = passesGroup(record, pad, group);
                unsigned choices = 0;
                for (int b = first; b < padGroupEnd(group); ++b)
                    if (passesGroup(record, padWithChoice(pad, b), group))
                        choices |= 1u << (b - first);
                table.choices[size_t(key)] = choices;
            }
        }
    }

    static int key(const PlantRecord& record, PadGroup group)
    {
        switch (group) {
        case PadGroup::Season: return int(flagBits(record.seasons));
        case PadGroup::Colour: return int(flagBits(record.colours));
        case PadGroup::FlowerShape: return numberKey(record.flowerShape, 10);
        case PadGroup::StemHabit: return numberKey(record.stemHabit, 3);
        case PadGroup::LeafMargin: return numberKey(record.leafMargin, 1);
        case PadGroup::LeafShape: return numberKey(record.leafShape, 8);
        }
        return 0;
    }
    bool passes(PadGroup group, int key) const { return tables_[size_t(group)].passes[size_t(key)]; }
    // Bit (b - first button of the group) for each button b whose choice the
    // key passes.
    unsigned passingChoices(PadGroup group, int key) const { return tables_[size_t(group)].choices[size_t(key)]; }

private:
    static constexpr int MaxKeys = 1 << ColourCount;

    template <std::size_t N>
    static unsigned flagBits(const std::array<bool, N>& flags)
    {
        unsigned bits = 0;
        for (std::size_t j = 0; j < N; ++j)
            bits |= flags[j] ? 1u << j : 0u;
        return bits;
    }
    // -1 (not given) .. highest + 1 as 0 .. highest + 2.
    static int numberKey(int value, int highest) { return std::clamp(value, -1, highest + 1) + 1; }
    static int highestNumber(PadGroup group)
    {
        switch (group) {
        case PadGroup::FlowerShape: return 10;
        case PadGroup::StemHabit: return 3;
        case PadGroup::LeafMargin: return 1;
        case PadGroup::LeafShape: return 8;
        default: return 0;
        }
    }
    static int keyCount(PadGroup group)
    {
        if (!isRadioGroup(group))
            return 1 << groupStateCount(group);
        return highestNumber(group) + 3;
    }
    static PlantRecord keyRecord(PadGroup group, int key)
    {
        PlantRecord r;
        const int value = key - 1;
        switch (group) {
        case PadGroup::Season:
            for (int j = 0; j < SeasonCount; ++j)
                r.seasons[size_t(j)] = key & (1 << j);
            break;
        case PadGroup::Colour:
            for (int j = 0; j < ColourCount; ++j)
                r.colours[size_t(j)] = key & (1 << j);
            break;
        case PadGroup::FlowerShape: r.flowerShape = value; break;
        case PadGroup::StemHabit: r.stemHabit = value; break;
        case PadGroup::LeafMargin: r.leafMargin = value; break;
        case PadGroup::LeafShape: r.leafShape = value; break;
        }
        return r;
    }

    struct Table {
        std::array<bool, MaxKeys> passes{};
        std::array<unsigned, MaxKeys> choices{};
    };
    std::array<Table, PadGroupCount> tables_;
};

} // namespace

int validTolerance(int tolerance)
{
    return tolerance >= 0 && tolerance <= MaxTolerance ? tolerance : 0;
}

int missCount(unsigned misses)
{
    int n = 0;
    for (; misses; misses &= misses - 1)
        ++n;
    return n;
}

PadState padWithChoice(const PadState& pad, int index)
{
    PadState chosen = pad;
    const PadGroup group = padButtons().at(size_t(index)).group;
    if (isRadioGroup(group))
        for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
            chosen[size_t(i)] = false;
    chosen[size_t(index)] = true;
    return chosen;
}

PadCounts padCounts(const PlantTable& table, const PadState& pad, int tolerance)
{
    const PadVerdicts verdicts(pad);
    PadCounts counts;
    // For each group: records that any choice in it leaves found, and
    // per button those that its choice leaves found.
    std::array<int, PadGroupCount> everyChoice{};
    for (int k = 1; k <= table.plantCount(); ++k) {
        const PlantRecord& record = table.record(k);
        std::array<int, PadGroupCount> keys;
        int misses = 0;
        for (int g = 0; g < PadGroupCount; ++g) {
            keys[size_t(g)] = verdicts.key(record, PadGroup(g));
            misses += verdicts.passes(PadGroup(g), keys[size_t(g)]) ? 0 : 1;
        }
        if (misses <= tolerance)
            ++counts.found;
        // A choice changes one group's test only: the record is found after
        // it when the other groups' misses and that group's new verdict
        // stay within the tolerance.
        for (int g = 0; g < PadGroupCount; ++g) {
            const auto group = PadGroup(g);
            const int others = misses - (verdicts.passes(group, keys[size_t(g)]) ? 0 : 1);
            if (others < tolerance) {
                ++everyChoice[size_t(g)];
            } else if (others == tolerance) {
                const int first = padGroupBegin(group);
                for (unsigned bits = verdicts.passingChoices(group, keys[size_t(g)]); bits; bits &= bits - 1)
                    ++counts.ifChosen[size_t(first + countTrailingZeros(bits))];
            }
        }
    }
    for (int b = 0; b < PadButtonCount; ++b)
        counts.ifChosen[size_t(b)] += everyChoice[size_t(padButtons()[size_t(b)].group)];
    return counts;
}

bool groupAnswered(const PadState& pad, PadGroup group)
{
    for (int i = padGroupBegin(group); i < padGroupEnd(group); ++i)
        if (pad[size_t(i)])
            return true;
    return false;
}

int groupStateCount(PadGroup group)
{
    switch (group) {
    case PadGroup::Season: return SeasonCount;
    case PadGroup::Colour: return ColourCount;
    case PadGroup::FlowerShape: return 10;
    case PadGroup::StemHabit: return 3;
    case PadGroup::LeafMargin: return 2;
    case PadGroup::LeafShape: return 8;
    }
    return 1;
}

unsigned allowedStates(const PlantRecord& record, PadGroup group)
{
    switch (group) {
    case PadGroup::Season: return flagStates(record.seasons, group);
    case PadGroup::Colour: return flagStates(record.colours, group);
    case PadGroup::FlowerShape: return shapeStates(record.flowerShape, 10, group);
    case PadGroup::StemHabit: return shapeStates(record.stemHabit, 3, group);
    case PadGroup::LeafMargin: return shapeStates(record.leafMargin + 1, 2, group);
    case PadGroup::LeafShape: return shapeStates(record.leafShape, 8, group);
    }
    return allStates(group);
}

namespace {

// Intkey's separating power from how many records allow each set of states
// (`records[mask]` records allow exactly the states of `mask`).
std::optional<double> powerOfStateSets(const std::vector<int>& records, PadGroup group)
{
    const int k = groupStateCount(group);
    const unsigned all = allStates(group);
    std::array<int, 16> n{};
    std::array<double, 16> f{};
    int total = 0;
    bool informative = false;
    for (unsigned mask = 1; mask < records.size(); ++mask) {
        const int c = records[mask];
        if (!c)
            continue;
        total += c;
        informative = informative || mask != all;
        const double share = double(c) / missCount(mask);
        for (int i = 0; i < k; ++i) {
            if (!(mask & (1u << i)))
                continue;
            n[size_t(i)] += c;
            f[size_t(i)] += share;
        }
    }
    if (!informative)
        return std::nullopt;
    double sum = 0;
    double weighted = 0;
    for (int i = 0; i < k; ++i) {
        sum += f[size_t(i)];
        if (n[size_t(i)] > 0)
            weighted += f[size_t(i)] * std::log2(double(n[size_t(i)]));
    }
    return std::log2(double(total)) - weighted / sum;
}

} // namespace

std::optional<double> separatingPower(const std::vector<const PlantRecord*>& records, PadGroup group)
{
    std::vector<int> sets(size_t(allStates(group)) + 1, 0);
    for (const PlantRecord* record : records)
        ++sets[allowedStates(*record, group)];
    return powerOfStateSets(sets, group);
}

std::vector<GroupRank> rankGroups(const PlantTable& table, const PadState& pad, int tolerance)
{
    tolerance = validTolerance(tolerance);
    std::array<bool, PadGroupCount> asked{};
    for (int g = 0; g < PadGroupCount; ++g)
        asked[size_t(g)] = !groupAnswered(pad, PadGroup(g));
    // How many of the species found allow each set of states, per group.
    std::array<std::vector<int>, PadGroupCount> sets;
    for (int g = 0; g < PadGroupCount; ++g)
        if (asked[size_t(g)])
            sets[size_t(g)].assign(size_t(allStates(PadGroup(g))) + 1, 0);
    const PadVerdicts verdicts(pad);
    int found = 0;
    for (int k = 1; k <= table.plantCount(); ++k) {
        const PlantRecord& record = table.record(k);
        int misses = 0;
        for (int g = 0; g < PadGroupCount; ++g)
            misses += verdicts.passes(PadGroup(g), PadVerdicts::key(record, PadGroup(g))) ? 0 : 1;
        if (misses > tolerance)
            continue;
        ++found;
        for (int g = 0; g < PadGroupCount; ++g)
            if (asked[size_t(g)])
                ++sets[size_t(g)][allowedStates(record, PadGroup(g))];
    }
    std::vector<GroupRank> ranks;
    if (found <= 1)
        return ranks;
    for (int g = 0; g < PadGroupCount; ++g)
        if (asked[size_t(g)])
            if (const auto power = powerOfStateSets(sets[size_t(g)], PadGroup(g)))
                ranks.push_back({PadGroup(g), *power});
    std::stable_sort(ranks.begin(), ranks.end(),
                     [](const GroupRank& a, const GroupRank& b) { return a.power > b.power + 1e-12; });
    return ranks;
}

std::optional<PadGroup> nextQuestion(const PlantTable& table, const PadState& pad, int tolerance)
{
    const std::vector<GroupRank> ranks = rankGroups(table, pad, tolerance);
    if (ranks.empty() || ranks.front().power <= 1e-9)
        return std::nullopt;
    return ranks.front().group;
}

QString nextQuestionHint(PadGroup group)
{
    return QStringLiteral("次は『%1』が絞り込みに役立ちます").arg(padGroupLabel(group));
}

int groupPage(PadGroup group)
{
    switch (group) {
    case PadGroup::Season:
    case PadGroup::Colour:
    case PadGroup::FlowerShape: return 0;
    case PadGroup::StemHabit: return 1;
    case PadGroup::LeafMargin:
    case PadGroup::LeafShape: return 2;
    }
    return 0;
}

std::vector<FoundSpecies> searchTable(const PlantTable& table, const PadState& pad, int tolerance)
{
    tolerance = validTolerance(tolerance);
    std::vector<FoundSpecies> found;
    for (int k = 1; k <= table.plantCount(); ++k) {
        const unsigned misses = failedGroups(table.record(k), pad);
        if (foundWith(misses, tolerance))
            found.push_back({k, misses});
    }
    std::stable_sort(found.begin(), found.end(), [](const FoundSpecies& a, const FoundSpecies& b) {
        return missCount(a.misses) < missCount(b.misses);
    });
    return found;
}

QString missesText(unsigned misses)
{
    QStringList labels;
    for (int g = 0; g < PadGroupCount; ++g)
        if (misses & (1u << g))
            labels << padGroupLabel(PadGroup(g));
    return labels.join(QStringLiteral("、"));
}

QString resultStatusText(const QString& name, unsigned misses)
{
    if (!misses)
        return name;
    return QStringLiteral("%1 — 違い: %2").arg(name, missesText(misses));
}

QString missMark(unsigned misses)
{
    const int n = missCount(misses);
    return n ? QStringLiteral("%1つ違い").arg(n) : QString();
}

QString characterText(const PlantRecord& record, PadGroup group)
{
    switch (group) {
    case PadGroup::Season: return flagText(record.seasons, PadSeasonFirst);
    case PadGroup::Colour: return flagText(record.colours, PadColourFirst);
    case PadGroup::FlowerShape: return shapeText(record.flowerShape, PadFlowerFirst, 10);
    case PadGroup::StemHabit: return shapeText(record.stemHabit, PadStemFirst, 3);
    case PadGroup::LeafMargin:
        // No "unknown" here: 0 is toothed, 1 untoothed.
        if (record.leafMargin == 0 || record.leafMargin == 1)
            return padCaption(PadMarginToothed + record.leafMargin);
        return QStringLiteral("—");
    case PadGroup::LeafShape: return shapeText(record.leafShape, PadLeafFirst, 8);
    }
    return {};
}
