#pragma once
// The 16 x 16 tool bar glyphs of the picture viewer and the memo window,
// drawn in code.
#include <QIcon>

// Glyph `index` of the picture viewer's tool bar: 0 end viewing,
// 1 previous kind, 2 previous picture, 3 next picture, 4 next kind,
// 5 picture in a separate window, 6 window follows the picture (the fit
// toggle released), 7 window keeps its size (the fit toggle pressed).
QIcon viewerToolGlyph(int index);

// Glyph `index` of the memo window's tool bar: 0 text attributes,
// 1 background colour.
QIcon memoToolGlyph(int index);
