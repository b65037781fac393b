#pragma once

// What a command text will put on the wire, as one line for the user: the bytes
// (hex in mixed mode, the text itself in text mode) and what the notation leaves
// out, or why it does not compile and where. The preview lines under the command box and in the command
// properties dialog show it; the send path takes its reason for the status bar.

#include "notation/Notation.h"
#include "platform/CodePage.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace vpx {

struct PayloadPreview {
    enum class State { Empty, Bytes, Error };
    State Kind = State::Empty;
    QString Text;         // the line to show; plain text
    QString Warning;      // what the bytes leave out (CompileWarningsText), part of Text; empty when nothing
    int ByteCount = 0;    // what would go out (0 for an error)
    int ErrorIndex = -1;  // the faulty token in the QString of the text (FromAnsi), -1 when none
    int ErrorLength = 0;  // its characters
};

// The bytes shown before the rest is summarised as a count.
inline constexpr int PreviewByteLimit = 64;

PayloadPreview DescribePayload(bool textMode, std::uint8_t byteOrder, const AnsiString& text);

// One sentence for a fault of the compiler.
QString CompileFaultReason(CompileFault fault);

// One sentence per warning of `text`, each naming its character position.
QString CompileWarningsText(const AnsiString& text, const std::vector<CompileWarning>& warnings);

// The error preview of `text` for what the compiler reported about it.
PayloadPreview DescribeRefusal(const AnsiString& text, const CompileError& error);

} // namespace vpx
