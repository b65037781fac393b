#pragma once

// The program's outermost frame: building the main window and running the event
// loop. A failure while the window is being built (the socket layer cannot start,
// the host's name cannot be learnt) has no window to show it in and would end the
// program without a word; here it is shown in a box before the program ends.

#include <functional>

namespace vpx {

class UserPrompts;

// Exit status of a start that failed.
inline constexpr int kStartUpFailedStatus = 1;

// Returns what `run` returns. An exception escaping it is shown through the
// prompts' standard display (its message, titled "Vorpex", error icon; one that is
// not a std::exception as "予期しないエラーが発生しました") and
// kStartUpFailedStatus is returned.
int RunProgram(UserPrompts& prompts, const std::function<int()>& run);

} // namespace vpx
