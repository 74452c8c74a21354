#pragma once
// The 16 x 16 tool bar glyphs and the main window's placeholder picture,
// drawn in code.
#include <QIcon>
#include <QImage>

// Glyph `index` of the main tool bar: 0 search, 1 exit, 2 end picture
// editing, 3 previous kind, 4 next kind, 5 delete picture, 6 correct,
// 7 add, 8 show conditions.
QIcon mainToolGlyph(int index);

// The 180 x 120 picture a slot shows when its species has no picture.
QImage placeholderPicture();
