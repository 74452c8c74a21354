#pragma once
// Small shared routines: folder paths in folder form and the rule that keeps
// a window inside the screen's work area.
#include <QRect>
#include <QString>

// A folder path ending in exactly one "/", or the empty string. The empty
// path stays empty, the root "/" stays "/", a path already ending in "/" is
// returned unchanged and any other path gets "/" appended.
QString folderWithBackslash(const QString& path);

// Where a window of geometry `form` goes so that it stays inside `workArea`:
// 1. a form wider (higher) than the work area is narrowed (lowered) to it;
// 2. a form reaching past the right (bottom) edge is moved back so that its
//    right (bottom) edge meets the work area's;
// 3. a form starting left of (above) the work area is moved to its left
//    (top) edge; this wins over step 2.
QRect placeRect(const QRect& form, const QRect& workArea);
