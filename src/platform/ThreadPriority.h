#pragma once

// Thread priorities of the calling thread, in the seven steps the program offers
// (0 idle, 1 lowest, 2 lower, 3 normal, 4 higher, 5 highest, 6 time-critical).

namespace vpx {

// Applies the step to the calling thread; false when the system refuses it
// (raising a thread above normal needs a privilege most users lack).
bool ApplyThreadPriority(int step) noexcept;

// The step the calling thread runs at now, as the system reports it: the step
// whose setting lies nearest to the thread's scheduling class and nice value.
int CurrentThreadPriority() noexcept;

// What ApplyThreadPriority does, replaceable so that a refusal can be seen where
// the process holds the privilege (tests); nullptr restores the system's own,
// SystemApplyThreadPriority.
using ThreadPriorityApplier = bool (*)(int step) noexcept;
bool SystemApplyThreadPriority(int step) noexcept;
void SetThreadPriorityApplier(ThreadPriorityApplier applier) noexcept;

// The calling thread's id as the system's tools show it.
int CurrentThreadId() noexcept;

} // namespace vpx
