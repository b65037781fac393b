#include "platform/ThreadPriority.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace vpx {

namespace {

// The idle step is the idle scheduling class, the others nice values around 0.
constexpr int kNice[] = {19, 10, 5, 0, -5, -10, -20};

} // namespace

bool SystemApplyThreadPriority(int step) noexcept
{
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

namespace {

std::atomic<ThreadPriorityApplier> g_applier{nullptr};

} // namespace

bool ApplyThreadPriority(int step) noexcept
{
    const ThreadPriorityApplier applier = g_applier.load();
    return applier ? applier(step) : SystemApplyThreadPriority(step);
}

void SetThreadPriorityApplier(ThreadPriorityApplier applier) noexcept
{
    g_applier.store(applier);
}

int CurrentThreadPriority() noexcept
{
    if (::sched_getscheduler(0) == SCHED_IDLE)
        return 0;
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
    if (nice == -1 && errno != 0)
        return 3;
    int best = 1;
    for (int step = 2; step <= 6; ++step)
        if (std::abs(kNice[step] - nice) < std::abs(kNice[best] - nice))
            best = step;
    return best;
}

int CurrentThreadId() noexcept
{
    return static_cast<int>(::gettid());
}

} // namespace vpx
