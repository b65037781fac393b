#pragma once

// What "send group" and a repeat put on the wire, step by step: one entry per
// command, with the mode, byte order and name it is sent and logged with.

#include "platform/CodePage.h"

#include <cstdint>
#include <vector>

namespace vpx {

class CommandNode;

struct SendStep {
    AnsiString Text;
    bool TextMode = false;
    std::uint8_t ByteOrder = 0; // resolved: 1 big-endian, 0 little-endian
    AnsiString Name;            // the log's comment; empty for the command box
};

// The command `node` as it is sent: its own mode, its own byte order or the default.
SendStep CommandStep(const CommandNode& node, int defaultByteOrder);

// Every command under `group` in tree order, a sub-group's commands where the
// sub-group stands; commands with an empty text are left out, as a send of
// them would be. A command given as `group` is a sequence of one.
std::vector<SendStep> GroupSteps(const CommandNode& group, int defaultByteOrder);

} // namespace vpx
