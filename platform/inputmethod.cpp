#include "platform/inputmethod.h"

namespace platform {

int inputMethodMode(QObject*)
{
    return 0;
}

void setInputMethodMode(QObject*, int)
{
}

void setKatakanaInputMode(QObject*)
{
}

} // namespace platform
