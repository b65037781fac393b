#pragma once

// Where the program keeps what outlives a run: the unsaved library after it was
// ended from outside, and the trace file when the program's folder cannot hold it.

#include <QString>

namespace vpx {

// $XDG_STATE_HOME/vorpex, or ~/.local/state/vorpex when XDG_STATE_HOME is unset,
// empty or relative (the XDG base directory rules say a relative one is ignored).
// Not created here.
QString StateFolder();

} // namespace vpx
