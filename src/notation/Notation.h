#pragma once

// The payload notation: the one language of commands, direct input, comparison
// data and replies. Text is code page 932 bytes; items are signed 32-bit values
// whose low 8 bits are the datagram's bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vpx {

inline constexpr std::int32_t ItemAnyByte = 0x01000000, ItemAnyRun = 0x02000000;

// Compiles `text` into `items` (emptied first). Returns the number of items, 0 for a
// blank text, -1 on the first faulty token (the list is then empty). Byte order 1 is
// big-endian, anything else little-endian. Wildcards ("?", "*") only when allowed.
// On -1, ErrorPosition (when given) receives the 1-based byte offset in `text` of
// the faulty token's first character (where an empty token begins);
// it is left alone otherwise.
std::int32_t CompileCommand(std::uint8_t DefaultByteOrder, const std::string& text,
                            std::vector<std::int32_t>& items, bool AllowWildcards,
                            std::size_t* ErrorPosition = nullptr);

// Rewrites every run of wildcards as its "?" items followed by at most one "*",
// which is the shape MatchPattern relies on.
void NormalisePattern(const std::vector<std::int32_t>& source, std::vector<std::int32_t>& target);

// True when the whole of `data` fits the normalised `pattern`. An empty pattern
// matches nothing. Literals compare by their low 8 bits.
bool MatchPattern(const std::vector<std::int32_t>& data, const std::vector<std::int32_t>& pattern);
// The same for `size` raw bytes.
bool MatchPattern(const std::uint8_t* data, std::size_t size, const std::vector<std::int32_t>& pattern);

} // namespace vpx
