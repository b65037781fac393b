#include "notation/Crc.h"

#include <array>

namespace vpx {

namespace {

constexpr std::array<CrcAlgorithm, 9> Catalogue{{
    {"CRC-8", 8, 0x07, 0x00, false, false, 0x00, 0xF4},
    {"CRC-8/MAXIM-DOW", 8, 0x31, 0x00, true, true, 0x00, 0xA1},
    {"CRC-16/ARC", 16, 0x8005, 0x0000, true, true, 0x0000, 0xBB3D},
    {"CRC-16/MODBUS", 16, 0x8005, 0xFFFF, true, true, 0x0000, 0x4B37},
    {"CRC-16/IBM-3740", 16, 0x1021, 0xFFFF, false, false, 0x0000, 0x29B1},
    {"CRC-16/XMODEM", 16, 0x1021, 0x0000, false, false, 0x0000, 0x31C3},
    {"CRC-16/KERMIT", 16, 0x1021, 0x0000, true, true, 0x0000, 0x2189},
    {"CRC-32", 32, 0x04C11DB7, 0xFFFFFFFF, true, true, 0xFFFFFFFF, 0xCBF43926},
    {"CRC-32C", 32, 0x1EDC6F41, 0xFFFFFFFF, true, true, 0xFFFFFFFF, 0xE3069283},
}};

struct Alias {
    std::string_view Name;
    std::string_view Target;
};

// Names users meet in data sheets for the same parameters.
constexpr std::array<Alias, 2> Aliases{{
    {"CRC-16/CCITT-FALSE", "CRC-16/IBM-3740"},
    {"CRC-32/ISO-HDLC", "CRC-32"},
}};

constexpr char Upper(char c) noexcept
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i]))
            return false;
    return true;
}

constexpr std::uint32_t Reflect(std::uint32_t value, int width) noexcept
{
    std::uint32_t out = 0;
    for (int i = 0; i < width; ++i)
        if (value & (std::uint32_t{1} << i))
            out |= std::uint32_t{1} << (width - 1 - i);
    return out;
}

} // namespace

std::span<const CrcAlgorithm> CrcCatalogue() noexcept
{
    return Catalogue;
}

const CrcAlgorithm* FindCrcAlgorithm(std::string_view name) noexcept
{
    for (const Alias& alias : Aliases)
        if (EqualNoCase(name, alias.Name))
            name = alias.Target;
    for (const CrcAlgorithm& algorithm : Catalogue)
        if (EqualNoCase(name, algorithm.Name))
            return &algorithm;
    return nullptr;
}

namespace {

// One bit at a time: the definition, and what the tables are made from.
std::uint32_t ComputeCrcBitwise(const CrcAlgorithm& a, std::span<const std::uint8_t> bytes) noexcept
{
    const int w = a.Width;
    const std::uint64_t mask = (std::uint64_t{1} << w) - 1;
    std::uint64_t reg;
    if (a.RefIn) {
        // Reflected input: run the register backwards with the reflected polynomial,
        // which leaves the result reflected as well.
        const std::uint64_t poly = Reflect(a.Poly, w);
        reg = Reflect(a.Init, w);
        for (const std::uint8_t byte : bytes) {
            reg ^= byte;
            for (int bit = 0; bit < 8; ++bit)
                reg = (reg & 1) ? (reg >> 1) ^ poly : reg >> 1;
        }
        if (!a.RefOut)
            reg = Reflect(static_cast<std::uint32_t>(reg), w);
    } else {
        const std::uint64_t top = std::uint64_t{1} << (w - 1);
        reg = a.Init;
        for (const std::uint8_t byte : bytes) {
            reg ^= std::uint64_t{byte} << (w - 8);
            for (int bit = 0; bit < 8; ++bit)
                reg = ((reg & top) ? (reg << 1) ^ a.Poly : reg << 1) & mask;
        }
        if (a.RefOut)
            reg = Reflect(static_cast<std::uint32_t>(reg), w);
    }
    return static_cast<std::uint32_t>((reg ^ a.XorOut) & mask);
}

constexpr CrcTable MakeTable(const CrcAlgorithm& a) noexcept
{
    CrcTable t;
    const int w = a.Width;
    const std::uint64_t mask = (std::uint64_t{1} << w) - 1;
    t.Mask = static_cast<std::uint32_t>(mask);
    t.XorOut = a.XorOut;
    t.Width = w;
    t.RefIn = a.RefIn;
    t.Start = a.RefIn ? Reflect(a.Init, w) : a.Init;
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint64_t reg;
        if (a.RefIn) {
            const std::uint64_t poly = Reflect(a.Poly, w);
            reg = i;
            for (int bit = 0; bit < 8; ++bit)
                reg = (reg & 1) ? (reg >> 1) ^ poly : reg >> 1;
        } else {
            const std::uint64_t top = std::uint64_t{1} << (w - 1);
            reg = std::uint64_t{i} << (w - 8);
            for (int bit = 0; bit < 8; ++bit)
                reg = ((reg & top) ? (reg << 1) ^ a.Poly : reg << 1) & mask;
        }
        t.Entries[i] = static_cast<std::uint32_t>(reg);
    }
    return t;
}

// A table keeps the register in the output's bit order.
static_assert([] {
    for (const CrcAlgorithm& a : Catalogue)
        if (a.RefIn != a.RefOut)
            return false;
    return true;
}());

// Made when the program is compiled: nothing to set up at the first datagram.
constexpr auto Tables = [] {
    std::array<CrcTable, Catalogue.size()> tables{};
    for (std::size_t i = 0; i < Catalogue.size(); ++i)
        tables[i] = MakeTable(Catalogue[i]);
    return tables;
}();

} // namespace

const CrcTable* FindCrcTable(const CrcAlgorithm& a) noexcept
{
    if (&a < Catalogue.data() || &a >= Catalogue.data() + Catalogue.size())
        return nullptr;
    return &Tables[static_cast<std::size_t>(&a - Catalogue.data())];
}

std::uint32_t ComputeCrc(const CrcAlgorithm& a, std::span<const std::uint8_t> bytes) noexcept
{
    if (const CrcTable* table = FindCrcTable(a))
        return RunCrcTable(*table, bytes.data(), bytes.size());
    return ComputeCrcBitwise(a, bytes);
}

} // namespace vpx
