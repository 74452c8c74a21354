#include "app/state.h"

MainState& mainState()
{
    static MainState state;
    return state;
}

Settings& settings()
{
    static Settings values;
    return values;
}

WindowLinks& links()
{
    static WindowLinks calls;
    return calls;
}
