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

void runNormally(unsigned long thread)
{
    sched_param none{};
    none.sched_priority = 0;
    pthread_setschedparam(pthread_t(thread), SCHED_OTHER, &none);
}

} // namespace platform
