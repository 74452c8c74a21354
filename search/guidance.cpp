#include "search/guidance.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

unsigned groupBit(PadGroup group)
{
    return 1u << int(group);
}

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
    PadCounts counts;
    std::array<PadState, PadButtonCount> choices;
    for (int b = 0; b < PadButtonCount; ++b)
        choices[size_t(b)] = padWithChoice(pad, b);

    for (int k = 1; k <= table.plantCount(); ++k) {
        const PlantRecord& record = table.record(k);
        const unsigned misses = failedGroups(record, pad);
        if (foundWith(misses, tolerance))
            ++counts.found;
        // A choice changes one group's test only: the record is found after
        // it when the other groups' misses and that group's new verdict
        // stay within the tolerance.
        for (int g = 0; g < PadGroupCount; ++g) {
            const auto group = PadGroup(g);
            const int others = missCount(misses & ~groupBit(group));
            if (others > tolerance)
                continue;
            for (int b = padGroupBegin(group); b < padGroupEnd(group); ++b) {
                const int fails = passesGroup(record, choices[size_t(b)], group) ? 0 : 1;
                if (others + fails <= tolerance)
                    ++counts.ifChosen[size_t(b)];
            }
        }
    }
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

std::optional<double> separatingPower(const std::vector<const PlantRecord*>& records, PadGroup group)
{
    const int k = groupStateCount(group);
    std::array<int, 16> n{};
    std::array<double, 16> f{};
    bool informative = false;
    for (const PlantRecord* record : records) {
        const unsigned states = allowedStates(*record, group);
        const int m = missCount(states);
        informative = informative || m < k;
        for (int i = 0; i < k; ++i) {
            if (!(states & (1u << i)))
                continue;
            ++n[size_t(i)];
            f[size_t(i)] += 1.0 / m;
        }
    }
    if (!informative)
        return std::nullopt;
    double total = 0;
    double weighted = 0;
    for (int i = 0; i < k; ++i) {
        total += f[size_t(i)];
        if (n[size_t(i)] > 0)
            weighted += f[size_t(i)] * std::log2(double(n[size_t(i)]));
    }
    return std::log2(double(records.size())) - weighted / total;
}

std::vector<GroupRank> rankGroups(const PlantTable& table, const PadState& pad, int tolerance)
{
    std::vector<const PlantRecord*> remaining;
    for (const FoundSpecies& found : searchTable(table, pad, tolerance))
        remaining.push_back(&table.record(found.record));
    std::vector<GroupRank> ranks;
    if (remaining.size() <= 1)
        return ranks;
    for (int g = 0; g < PadGroupCount; ++g) {
        const auto group = PadGroup(g);
        if (groupAnswered(pad, group))
            continue;
        if (const auto power = separatingPower(remaining, group))
            ranks.push_back({group, *power});
    }
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
