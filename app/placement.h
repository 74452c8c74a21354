#pragma once
class QWidget;

// Keeps a window inside the screen's work area: shrinks it to the work
// area, moves it back from the right and bottom edges, then from the left
// and top edges (which win).
void placeForm(QWidget* form);
