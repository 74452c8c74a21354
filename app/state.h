#pragma once
// Program-wide state shared by the main window and the windows it opens:
// the last search's results, the display state flags and the settings
// values (read once at start-up, written once at shutdown).
#include <QString>
#include <QStringList>

#include "settings/IniFile.h"

struct MainState {
    QStringList resultList;    // names found by the last search, in result order
    QStringList resultRecords; // their record numbers (decimal text), entry for entry
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
Settings& settings();

// The program's version text.
inline const QString versionText = QStringLiteral("Ver 1.5β");
