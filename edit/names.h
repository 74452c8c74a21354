#pragma once
// What a species name may be. A name becomes the first field of its line in
// the data file and the first part of its picture and memo file names, so
// it must not hold the field separator, a path separator or a control
// character, and every character must survive the cp932 text of the data
// file. The file keeps at most MaxNameBytes cp932 bytes of it.
#include <QString>
#include <QStringList>

enum class NameFault {
    None,
    Comma,            // "," would split the data line
    PathSeparator,    // "/" or "\" would put picture files into another folder
    ControlCharacter, // line breaks, tabs, NUL and the like
    NotCp932,         // a character the data file cannot hold
    AlreadyUsed,      // another species has this name
};

struct NameCheck {
    QString name;   // the entered text without blanks and control characters at its ends
    QString stored; // the name as the data file keeps it: cut to MaxNameBytes
    NameFault fault = NameFault::None;
    bool cut = false; // stored is shorter than name
    // For the user: why the name is refused, or (when only cut) that it will
    // be cut and to what. Empty for a name that is fine as it is.
    QString message;

    bool empty() const { return name.isEmpty(); }
    bool refused() const { return fault != NameFault::None; }
};

// The text without blanks (the full-width one included) and control
// characters at both ends.
QString trimSpeciesName(const QString& text);

// True when the two names are kept as the same name: their stored forms are
// equal, ignoring letter case (picture files differing only in case would
// be one file on some systems).
bool sameSpeciesName(const QString& a, const QString& b);

// Checks a name as typed. An empty (or blank) name is not refused: it means
// no name was given. `taken` holds the names of the other species; a name
// kept as one of them is refused.
NameCheck checkSpeciesName(const QString& text, const QStringList& taken = {});
