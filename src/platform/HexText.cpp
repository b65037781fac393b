#include "platform/HexText.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <array>
#include <cstring>

namespace vpx {

namespace {

// "HH " and a spare byte for each byte value: one four-byte copy writes a cell.
const std::array<std::array<char, 4>, 256> kHexCells = [] {
    std::array<std::array<char, 4>, 256> cells{};
    for (int b = 0; b < 256; ++b)
        cells[static_cast<std::size_t>(b)] = {HexDigits[b >> 4], HexDigits[b & 0x0F], ' ', ' '};
    return cells;
}();

void WriteHexCellsByTable(char* p, const std::uint8_t* from, std::size_t size)
{
    // Local pointers: stores through a char pointer could alias the table's,
    // which would otherwise be reloaded for every byte.
    const std::uint8_t* const end = from + size;
    const auto* cells = kHexCells.data();
#pragma GCC unroll 8
    for (; from != end; ++from, p += 3)
        std::memcpy(p, cells[*from].data(), 4);
}

#if defined(__x86_64__) || defined(__i386__)
// Sixteen bytes at a time: their 32 digits are made by two table shuffles,
// then spread over the 48 characters of their cells by three more. A 512-byte
// datagram is 1,535 characters of hex, and a responder under a flood writes two
// such lines per datagram: a third of the instructions the table needs.
struct HexSpread {
    std::int8_t fromFirst[3][16];  // where each output character comes from in the digits of bytes 0-7
    std::int8_t fromSecond[3][16]; // ... of bytes 8-15
    char blanks[3][16];
};

constexpr HexSpread MakeHexSpread()
{
    HexSpread s{};
    for (int k = 0; k < 48; ++k) {
        const int vector = k / 16, at = k % 16, byte = k / 3, place = k % 3;
        s.fromFirst[vector][at] = -128; // a shuffle index with the top bit set gives 0
        s.fromSecond[vector][at] = -128;
        s.blanks[vector][at] = place == 2 ? ' ' : '\0';
        if (place != 2 && byte < 8)
            s.fromFirst[vector][at] = static_cast<std::int8_t>(2 * byte + place);
        else if (place != 2)
            s.fromSecond[vector][at] = static_cast<std::int8_t>(2 * (byte - 8) + place);
    }
    return s;
}

alignas(16) constexpr HexSpread kHexSpread = MakeHexSpread();

__attribute__((target("ssse3"))) void WriteHexCellsBySsse3(char* p, const std::uint8_t* from, std::size_t size)
{
    const auto row = [](const auto& rows, int i) { return _mm_load_si128(reinterpret_cast<const __m128i*>(rows[i])); };
    const __m128i digits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(HexDigits));
    const __m128i low = _mm_set1_epi8(0x0F);
    // Named one by one, so that all of them stay in registers.
    const __m128i first0 = row(kHexSpread.fromFirst, 0), first1 = row(kHexSpread.fromFirst, 1);
    const __m128i second1 = row(kHexSpread.fromSecond, 1), second2 = row(kHexSpread.fromSecond, 2);
    const __m128i blanks0 = row(kHexSpread.blanks, 0), blanks1 = row(kHexSpread.blanks, 1),
                  blanks2 = row(kHexSpread.blanks, 2);
    for (; size >= 16; size -= 16, from += 16, p += 48) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i high = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(bytes, 4), low));
        const __m128i lowDigit = _mm_shuffle_epi8(digits, _mm_and_si128(bytes, low));
        const __m128i a = _mm_unpacklo_epi8(high, lowDigit); // "HLHL…" of bytes 0-7
        const __m128i b = _mm_unpackhi_epi8(high, lowDigit); // of bytes 8-15
        // Characters 0-15 come from bytes 0-5 only, 32-47 from bytes 10-15 only.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(_mm_shuffle_epi8(a, first0), blanks0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16),
                         _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, first1), _mm_shuffle_epi8(b, second1)), blanks1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32), _mm_or_si128(_mm_shuffle_epi8(b, second2), blanks2));
    }
    WriteHexCellsByTable(p, from, size);
}

// Thirty-two bytes at a time: the same shuffles on two blocks of sixteen at
// once, one in each half of the register; each half's 48 characters are stored
// where their block's cells go. What is left goes sixteen at a time.
__attribute__((target("avx2"))) inline __m256i BothHalves(const void* sixteen)
{
    return _mm256_broadcastsi128_si256(_mm_loadu_si128(static_cast<const __m128i*>(sixteen)));
}

__attribute__((target("avx2"))) inline void StoreHalves(char* at, __m256i both)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at), _mm256_castsi256_si128(both));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 48), _mm256_extracti128_si256(both, 1));
}

__attribute__((target("avx2"))) void WriteHexCellsByAvx2(char* p, const std::uint8_t* from, std::size_t size)
{
    const __m256i digits = BothHalves(HexDigits);
    const __m256i low = _mm256_set1_epi8(0x0F);
    const __m256i first0 = BothHalves(kHexSpread.fromFirst[0]), first1 = BothHalves(kHexSpread.fromFirst[1]);
    const __m256i second1 = BothHalves(kHexSpread.fromSecond[1]), second2 = BothHalves(kHexSpread.fromSecond[2]);
    const __m256i blanks0 = BothHalves(kHexSpread.blanks[0]), blanks1 = BothHalves(kHexSpread.blanks[1]),
                  blanks2 = BothHalves(kHexSpread.blanks[2]);
    for (; size >= 32; size -= 32, from += 32, p += 96) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(from));
        const __m256i high = _mm256_shuffle_epi8(digits, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), low));
        const __m256i lowDigit = _mm256_shuffle_epi8(digits, _mm256_and_si256(bytes, low));
        const __m256i a = _mm256_unpacklo_epi8(high, lowDigit); // per half: "HLHL…" of its bytes 0-7
        const __m256i b = _mm256_unpackhi_epi8(high, lowDigit); // of its bytes 8-15
        StoreHalves(p, _mm256_or_si256(_mm256_shuffle_epi8(a, first0), blanks0));
        StoreHalves(p + 16, _mm256_or_si256(
                                _mm256_or_si256(_mm256_shuffle_epi8(a, first1), _mm256_shuffle_epi8(b, second1)), blanks1));
        StoreHalves(p + 32, _mm256_or_si256(_mm256_shuffle_epi8(b, second2), blanks2));
    }
    WriteHexCellsBySsse3(p, from, size);
}
#endif

} // namespace

void WriteHexCells(char* out, const std::uint8_t* bytes, std::size_t size)
{
#if defined(__x86_64__) || defined(__i386__)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (avx2) {
        WriteHexCellsByAvx2(out, bytes, size);
        return;
    }
    if (ssse3) {
        WriteHexCellsBySsse3(out, bytes, size);
        return;
    }
#endif
    WriteHexCellsByTable(out, bytes, size);
}

void AppendHexBytes(std::string& out, const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return;
    const std::size_t at = out.size();
    out.resize(at + size * 3 + 1); // the last cell may write one past the text
    WriteHexCells(out.data() + at, bytes, size);
    out.resize(at + size * 3 - 1);
}

std::string HexBytes(const std::uint8_t* bytes, std::size_t size)
{
    std::string out;
    AppendHexBytes(out, bytes, size);
    return out;
}

} // namespace vpx
