#pragma once
// The search pad's 36 condition buttons and what they mean for a plant
// record, in both directions: whether a record satisfies the pad, how the
// pad is stored into a record, and how a record is shown on the pad. The
// rules work on the buttons' checked states alone, so they need no window.
#include <QString>

#include <array>

#include "data/PlantTable.h"

constexpr int PadButtonCount = 36;

// Checked state of each button, in pad order (see padButtons()).
using PadState = std::array<bool, PadButtonCount>;

// Pad order: the first index of each group and the "不明" (unknown) buttons.
constexpr int PadSeasonFirst = 0;       // 0..3    spring..winter
constexpr int PadColourFirst = 4;       // 4..9    white..inconspicuous
constexpr int PadFlowerFirst = 10;      // 10..19  flower shape 1..10
constexpr int PadFlowerUnknown = 20;
constexpr int PadStemFirst = 21;        // 21..23  stem habit 1..3
constexpr int PadStemUnknown = 24;
constexpr int PadMarginToothed = 25;    // leaf margin 0
constexpr int PadMarginEntire = 26;     // leaf margin 1
constexpr int PadLeafFirst = 27;        // 27..34  leaf shape 1..8
constexpr int PadLeafUnknown = 35;

// The six groups of buttons. Seasons and colours are check boxes (any
// number may be checked); the other four are radio groups (at most one).
enum class PadGroup { Season, Colour, FlowerShape, StemHabit, LeafMargin, LeafShape };
constexpr int PadGroupCount = 6;

struct PadButton {
    const char* control; // designer name: "CheckBox1".."CheckBox10", "RadioButton1".."RadioButton26"
    const char* caption; // UTF-8 caption, as the pad shows it
    PadGroup group;
    // The record value the button stands for: the season or colour index
    // for check boxes, the shape/habit/margin number for radio buttons
    // (0 for "不明" and for "きょ歯あり").
    int value;
};

// The 36 buttons in pad order.
const std::array<PadButton, PadButtonCount>& padButtons();

// A button's caption as text.
QString padCaption(int index);

// First and one-past-last pad index of a group.
int padGroupBegin(PadGroup group);
int padGroupEnd(PadGroup group);

// Label of a group as the conditions tree names it ("咲く季節", "系統色",
// "花の形", "茎の様子", "葉の縁", "葉の形").
QString padGroupLabel(PadGroup group);

// True for the four radio groups.
bool isRadioGroup(PadGroup group);

// True when no radio group has more than one checked button: every state a
// pad of real radio buttons can be in.
bool padStateValid(const PadState& pad);

// True when `record` satisfies the pad. Checked seasons are alternatives,
// and so are checked colours; the groups combine by AND. A radio group sets
// a condition only when a button other than "不明" is checked, and a record
// whose value for that group is unknown (0) or not given (-1) passes it.
bool matchesPad(const PlantRecord& record, const PadState& pad);

// One of the six tests of matchesPad alone: true when `record` passes the
// pad's condition of `group`.
bool passesGroup(const PlantRecord& record, const PadState& pad, PadGroup group);

// The tests `record` fails, one bit per group (bit 1 << int(group)); 0 when
// it matches the pad.
unsigned failedGroups(const PlantRecord& record, const PadState& pad);

// Writes the pad into the attribute fields of `record`; its name and
// picture count are left as they are. A radio group with no checked button
// gives -1 (not given).
void storePadIntoRecord(const PadState& pad, PlantRecord& record);

// The pad showing `record`: the reverse of storePadIntoRecord. A field value
// that no button stands for checks nothing in its group.
PadState padFromRecord(const PlantRecord& record);
