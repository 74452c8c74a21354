#pragma once
// The rules of the folder settings, kept apart from the windows: how a
// stored folder is shown, how a folder taken from the picker is stored,
// whether the settings file can keep it, and what Enter and OK do with a
// path typed into the picker.
#include <QString>

// A folder as the settings windows show it: without its trailing "/". The
// file-system root keeps its "/" (it would otherwise vanish); the empty
// path stays empty.
QString folderDisplayForm(const QString& folder);

// The folder stored for a path taken from the picker: the empty path stays
// empty, the root stays "/", and any other path ends in exactly one "/"
// (extra trailing slashes are dropped, so a typed "/a/b/" is stored as
// "/a/b/", not "/a/b//").
QString folderFromPicker(const QString& path);

// The folder OK takes from the picker's path box. Blank text names no
// folder (the result is empty); a relative path is taken against
// `programFolder`, the folder of the executable, and cleaned; an absolute
// path is taken as it stands.
QString pickedFolderPath(const QString& text, const QString& programFolder);

// True when the settings file can keep `folder` (in its stored form, see
// folderFromPicker) and give it back unchanged at the next start: only
// cp932 characters, no line break, at most MaxSettingBytes bytes. A folder
// the file cannot keep would be left out when the settings are saved, and
// the old folder would silently return. When false and `reason` is given,
// it receives a sentence for the user saying what is wrong.
bool folderStorable(const QString& folder, QString* reason = nullptr);

// The message shown when a folder is refused for `reason`.
QString unstorableFolderMessage(const QString& reason);

// What Enter in the picker's path box does with the typed text.
struct PathBoxEnter {
    bool selectInTree = false; // true: move the tree's selection to `path`
    QString path;              // the folder to select, or the text to put back
    bool beep = false;         // an invalid entry
};

// `typedIsFolder` says whether `typed` names an existing folder; a relative
// path is taken relative to `currentFolder`. An existing folder is selected
// in the tree (in clean absolute form); anything else puts `lastTreePath`
// back into the box with a beep.
PathBoxEnter pathBoxEnter(const QString& typed, bool typedIsFolder, const QString& lastTreePath,
                          const QString& currentFolder);
