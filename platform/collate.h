#pragma once
// The name order of the plant table: Japanese collation that ignores letter
// case (ASCII and full-width) but keeps every other difference, independent
// of the machine's locale settings.
#include <QString>

namespace platform {

// <0, 0, >0 as a sorts before, equal to or after b. Returns 0 only for names
// that differ in letter case alone.
int compareNames(const QString& a, const QString& b);

} // namespace platform
