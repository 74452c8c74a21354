#pragma once
// The input-method conversion mode of a text field. Only a Windows IME lets
// a program read and set it (the name input starts in katakana and gives
// the user's mode back when it loses focus); on this platform the input
// method is the user's to switch, so these keep nothing and change nothing.
class QObject;

namespace platform {

int inputMethodMode(QObject* field);
void setInputMethodMode(QObject* field, int mode);
void setKatakanaInputMode(QObject* field);

} // namespace platform
