#include "platform/ThreadPriority.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vpx {

// The idle step is the idle scheduling class, the others nice values around 0.
bool ApplyThreadPriority(int step) noexcept
{
    static constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};
    if (step < 0 || step > 6)
        return false;
    sched_param param{};
    // On Linux the id 0 and the thread's own id address this thread only.
    if (step == 0)
        return ::sched_setscheduler(0, SCHED_IDLE, &param) == 0;
    if (::sched_getscheduler(0) == SCHED_IDLE && ::sched_setscheduler(0, SCHED_OTHER, &param) != 0)
        return false;
    return ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kNice[step]) == 0;
}

int CurrentThreadId() noexcept
{
    return static_cast<int>(::gettid());
}

} // namespace vpx
