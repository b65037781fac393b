#pragma once

// The CRC catalogue the notation's %CRCE(NAME) fields draw on: each algorithm
// with its usual parameters, and one engine that serves them all. Checked
// comparison data computes a CRC for every datagram that reaches its field, so
// the catalogue's algorithms run from a table a byte at a time.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vpx {

struct CrcAlgorithm {
    std::string_view Name; // as the catalogue writes it
    int Width;             // bits: 8, 16 or 32
    std::uint32_t Poly;
    std::uint32_t Init;
    bool RefIn;
    bool RefOut;
    std::uint32_t XorOut;
    std::uint32_t Check; // the CRC of the ASCII bytes "123456789"
};

// Every algorithm once, in catalogue order (aliases are not repeated).
std::span<const CrcAlgorithm> CrcCatalogue() noexcept;

// The algorithm named `name`, case-insensitive, aliases included; nullptr when
// there is none.
const CrcAlgorithm* FindCrcAlgorithm(std::string_view name) noexcept;

// The CRC of `bytes` under `algorithm`, in its low Width bits.
std::uint32_t ComputeCrc(const CrcAlgorithm& algorithm, std::span<const std::uint8_t> bytes) noexcept;

// A catalogue algorithm as a table, for a caller that computes one CRC per
// received datagram and wants it without a call (RunCrcTable).
struct CrcTable {
    std::array<std::uint32_t, 256> Entries{}; // eight bit steps for each byte value entering the register
    std::uint32_t Start = 0;                  // the register's first value, reflected where the input is
    std::uint32_t Mask = 0;
    std::uint32_t XorOut = 0;
    int Width = 8;
    bool RefIn = false; // and so the output: every algorithm of the catalogue reflects both or neither
};

// The table of an algorithm of CrcCatalogue() or FindCrcAlgorithm(); nullptr for any other.
const CrcTable* FindCrcTable(const CrcAlgorithm& algorithm) noexcept;

inline std::uint32_t RunCrcTable(const CrcTable& t, const std::uint8_t* bytes, std::size_t n) noexcept
{
    std::uint32_t reg = t.Start;
    if (t.RefIn) {
        for (std::size_t i = 0; i < n; ++i)
            reg = (reg >> 8) ^ t.Entries[(reg ^ bytes[i]) & 0xFF];
    } else {
        const int shift = t.Width - 8;
        for (std::size_t i = 0; i < n; ++i)
            reg = ((reg << 8) ^ t.Entries[((reg >> shift) ^ bytes[i]) & 0xFF]) & t.Mask;
    }
    return (reg ^ t.XorOut) & t.Mask;
}

} // namespace vpx
