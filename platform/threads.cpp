#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>

namespace platform {

bool runOnlyWhenIdle()
{
    sched_param none{};
    none.sched_priority = 0;
    return pthread_setschedparam(pthread_self(), SCHED_IDLE, &none) == 0;
}

} // namespace platform
