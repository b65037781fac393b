#pragma once

// The notation's two further readings, for the notation library's own classes
// (TCheckedPattern and TReplyTemplate compile through these; callers elsewhere
// use those classes). Both run the same tokenizer and keyword parser as
// CompileCommand, so every token means what it means there.

#include "notation/Notation.h"
#include "notation/PatternTypes.h"

#include <span>
#include <string>
#include <vector>

namespace vpx::detail {

// Comparison data read as a checked pattern: wildcards and captures are allowed
// inside ranges, and every closing field becomes a Field step to be checked
// against the received bytes. Little-endian unless a token says "B". Returns
// false with `error` set at the first faulty token (steps and captures are then
// empty); warnings as for CompileCommand.
bool CompilePatternSteps(const std::string& text, std::vector<TPatternStep>& steps,
                         std::vector<TCaptureDef>& captures, CompileError& error,
                         std::vector<CompileWarning>* warnings);

struct TReplyParts {
    TReplyFaults Faults;
    std::size_t BodyStart = 0; // 0-based offset of the text after the last fault keyword's comma
    std::vector<TReplyInsert> Inserts; // in the order of the text
};

// A reply text read as a template: fault keywords may lead it, and {NAME},
// {#} and typed tokens with a name stand for what `captures` defines. The rest
// must compile as a command does with `byteOrder`. Returns false with `error`
// set at the first faulty token (`parts` is then reset).
bool CompileReplyParts(std::uint8_t byteOrder, const std::string& text, std::span<const TCaptureDef> captures,
                       TReplyParts& parts, CompileError& error, std::vector<CompileWarning>* warnings);

} // namespace vpx::detail
