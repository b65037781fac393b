#pragma once

// The CRC catalogue the notation's %CRCE(NAME) fields draw on: each algorithm
// with its usual parameters, and one engine that serves them all. Checked
// comparison data computes a CRC for every datagram that reaches its field, so
// the catalogue's algorithms run from a table a byte at a time.

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

} // namespace vpx
