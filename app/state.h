#pragma once
// Program-wide state shared by the main window and the windows it opens:
// the last search's results, the display state flags and the settings
// values (read once at start-up, written once at shutdown).
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

#include "settings/IniFile.h"

struct MainState {
    QStringList resultList;    // names found by the last search, in result order
    QStringList resultRecords; // their record numbers (decimal text), entry for entry
    // The tests each result fails (a near match found with a tolerance; see
    // search/guidance.h), entry for entry; 0 for an exact match.
    std::vector<unsigned> resultMisses;
    int selectedPicture = -1;  // index of the framed slot, -1 for none
    int currentSpecies = 0;    // record number shown in picture editing mode
    bool resultMode = false;   // the slots show search results
    bool editMode = false;     // picture editing mode is on
    bool correctionMode = false; // a species is open for correction
    bool memoOnPad = false;    // the search pad shows and saves the species memo
    QString lastPictureFolder; // where the open-picture dialog starts
    QString memoPath;          // memo file of the shown species; empty when it has none
    QString defaultMemoPath;   // where a new memo of the shown species goes
};

MainState& mainState();

// Calls between the secondary windows, which would otherwise depend on each
// other's units. Each window's unit sets the calls it answers when the
// program starts (connectWindowLinks in the main window); an unset call
// does nothing.
struct WindowLinks {
    // Opens species `index` of resultList: selects its memo file, starts the
    // picture viewer on it (or restarts the open one) and refreshes the memo
    // window.
    std::function<void(int index)> openSpecies;
    // Selects entry `index` in the plant name list without its click
    // handling (the viewer moved to another species).
    std::function<void(int index)> selectListEntry;
};
WindowLinks& links();
Settings& settings();

// The program's version text.
inline const QString versionText = QStringLiteral("Ver 1.5β");
