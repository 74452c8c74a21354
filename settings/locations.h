#pragma once
// Where the program keeps its settings file and its pictures.
//
// A copy whose executable folder the user may write to (the build folder,
// an unpacked copy in the home folder) is self-contained: the settings file
// lies beside the executable and all three picture folders default to the
// "picture" folder there.
//
// An installed copy (under /opt/tolvarin, owned by root) cannot write
// there. It keeps the settings file in the user's configuration folder and
// registers pictures in a folder of the user's data folder; the catalogue
// installed beside the executable serves as the CD-ROM folder, read-only as
// a CD-ROM is, from which start-up copies "Tolvarin.dat" the first time.
#include <QProcessEnvironment>
#include <QString>

#include "settings/IniFile.h"

struct ProgramLocations {
    // True when everything stays beside the executable.
    bool portable = true;
    QString iniPath;
    FolderDefaults folders;
};

// The default folders for a program whose executable lies in `exeFolder`.
// When `exeFolderWritable`, all three are `exeFolder` + "picture". Otherwise
// the CD-ROM folder is `exeFolder` + "picture" and the hard-disk and
// additions folders are <data>/tolvarin/picture, where <data> is
// $XDG_DATA_HOME, or $HOME/.local/share when that is unset, empty or not an
// absolute path. An unusable $HOME counts as "/tmp".
FolderDefaults folderDefaults(const QString& exeFolder, bool exeFolderWritable, const QProcessEnvironment& env);

// The settings file and default folders for the executable `exePath`. When
// the executable's folder is writable the settings file is settingsPathFor
// (exePath); otherwise it is <config>/tolvarin/Tolvarin.ini, where <config>
// is $XDG_CONFIG_HOME or $HOME/.config by the same rule as above.
ProgramLocations programLocations(const QString& exePath, bool exeFolderWritable, const QProcessEnvironment& env);

// Whether this process may create files in `folder` (access with W_OK).
// False for a folder that does not exist or lies on a read-only mount.
bool folderWritable(const QString& folder);

// The process environment, with HOME taken from the password database when
// the environment lacks it.
QProcessEnvironment userEnvironment();

// The rules above applied to this process: the executable's folder is
// probed with folderWritable and the environment is userEnvironment().
ProgramLocations programLocationsFor(const QString& exePath);
FolderDefaults folderDefaultsFor(const QString& exeFolder);

// Creates the folders an installed copy writes to (the settings file's
// folder and the default hard-disk and additions folders) when they are
// missing, private to the user (0700) as the XDG base directory rules ask.
// Does nothing for a portable copy. On failure returns false and names the
// folder that could not be made in `failedFolder`.
bool prepareLocations(const ProgramLocations& locations, QString* failedFolder = nullptr);
