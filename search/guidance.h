#pragma once
// Aids for identifying a plant on the search pad, worked out from the plant
// table and the pad's checked states alone (no window): how many species a
// search would find now and after each possible choice, which unanswered
// group of conditions would best split the species that remain, and the
// search that also finds species failing a few of the six tests.
//
// A "miss mask" names the tests a record fails: bit (1 << int(group)) for
// each failed group, as failedGroups() gives it.
#include <QString>

#include <array>
#include <optional>
#include <vector>

#include "data/PlantTable.h"
#include "search/conditions.h"

// How many failed tests the search may forgive: 0 (the default) finds only
// records that match the pad.
constexpr int MaxTolerance = 2;

// Tolerance as given (a settings value, say), kept within 0..MaxTolerance;
// anything else is the default 0.
int validTolerance(int tolerance);

// Number of failed tests in a miss mask.
int missCount(unsigned misses);

// True when the record is found with `tolerance` failed tests forgiven.
inline bool foundWith(unsigned misses, int tolerance)
{
    return missCount(misses) <= tolerance;
}

// The pad with button `index` chosen: a check box ticked, a radio button
// selected (its group's other buttons unchecked); the rest as it is.
PadState padWithChoice(const PadState& pad, int index);

struct PadCounts {
    int found = 0; // species the search would find with the pad as it is
    // For each button, the species it would find with that button chosen
    // (padWithChoice). A button already chosen counts `found`.
    std::array<int, PadButtonCount> ifChosen{};
};

// The counts over records 1..plantCount of `table`.
PadCounts padCounts(const PlantTable& table, const PadState& pad, int tolerance = 0);

// True when the user has answered a group: one of its buttons is checked
// ("不明" too: the user said the answer is not known).
bool groupAnswered(const PadState& pad, PadGroup group);

// Number of states of a group: 4 seasons, 6 colours, 10 flower shapes,
// 3 stem habits, 2 leaf margins, 8 leaf shapes.
int groupStateCount(PadGroup group);

// The states of a group that a record allows, one bit per state (state i,
// 0-based: season or colour i, or shape number i + 1; margin 0 toothed,
// 1 untoothed). Its own value; every state when the value is unknown or not
// given; for seasons and colours every flag that is set, or every state
// when none is.
unsigned allowedStates(const PlantRecord& record, PadGroup group);

// How well knowing a group's answer would split `records`, in bits
// (Intkey's separating power): log2 N minus the expected log2 of the number
// of species left once the answer is known, a species that allows m states
// counting 1/m towards each. 1 means the answer halves the list. Empty when
// every record allows every state (the answer tells nothing about them) or
// when there are no records.
std::optional<double> separatingPower(const std::vector<const PlantRecord*>& records, PadGroup group);

struct GroupRank {
    PadGroup group;
    double power;
};

// The groups not yet answered on `pad`, most useful first (ties in group
// order), for the species the search would find now. Groups that tell
// nothing are left out; nothing at all when at most one species is found.
std::vector<GroupRank> rankGroups(const PlantTable& table, const PadState& pad, int tolerance = 0);

// The group to ask next: the first of rankGroups when its answer splits the
// species at all (power above zero).
std::optional<PadGroup> nextQuestion(const PlantTable& table, const PadState& pad, int tolerance = 0);

// 「次は『葉の形』が絞り込みに役立ちます」
QString nextQuestionHint(PadGroup group);

// The pad page a group's buttons are on: 0 "花" (seasons, colours, flower
// shape), 1 "茎", 2 "葉".
int groupPage(PadGroup group);

struct FoundSpecies {
    int record = 0;      // 1-based record number
    unsigned misses = 0; // the tests it fails
};

// The search: records 1..plantCount that fail at most `tolerance` tests.
// Exact matches come first, then those failing one test, then two; each
// part in table order (name order after every load). With tolerance 0 this
// is exactly the records matchesPad accepts, in table order.
std::vector<FoundSpecies> searchTable(const PlantTable& table, const PadState& pad, int tolerance);

// The groups of a miss mask by their labels, joined with "、":
// "花の形、葉の形".
QString missesText(unsigned misses);

// A result's status bar text: its name, and for a near match the groups it
// fails: 「アカツメクサ — 違い: 花の形」.
QString resultStatusText(const QString& name, unsigned misses);

// A near match's mark on its picture: 「1つ違い」, 「2つ違い」; empty for an
// exact match.
QString missMark(unsigned misses);

// A record's character of one group in words, as the pad captions it:
// "春・夏", "タンポポ型", "不明"; "—" when not given (or, for seasons and
// colours, when no flag is set).
QString characterText(const PlantRecord& record, PadGroup group);
