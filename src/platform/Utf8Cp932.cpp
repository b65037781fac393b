#include "platform/Utf8Cp932.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <mutex>
#include <stdexcept>

#include <iconv.h>

namespace vpx {

namespace {

// Length of the well-formed UTF-8 character at `i`, 0 when there is none.
std::size_t Utf8CharLength(std::string_view s, std::size_t i, char32_t* code = nullptr) noexcept
{
    const auto b = [&](std::size_t k) { return static_cast<std::uint8_t>(s[k]); };
    const std::uint8_t c = b(i);
    std::size_t n = 0;
    char32_t cp = 0;
    if (c < 0x80) {
        n = 1;
        cp = c;
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    if (code)
        *code = cp;
    return n;
}

// Kana, CJK ideographs and punctuation, full-width forms and half-width kana.
bool IsJapaneseScript(char32_t c) noexcept
{
    return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

struct Converter {
    iconv_t cd;
    std::mutex lock;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from))
    {
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page 932 conversion is not available");
    }
};

Converter& Utf8ToCp932()
{
    static Converter c("CP932", "UTF-8");
    return c;
}

Converter& Cp932ToUtf8()
{
    static Converter c("UTF-8", "CP932");
    return c;
}

// Runs `text` through `conv`, handing each piece of output to `take`. At an
// input the converter refuses, `skip` is given the rest of the text and returns
// how many bytes to pass over, or 0 to stop there. True when all was converted
// or passed over.
template <class Take, class Skip>
bool Convert(Converter& conv, std::string_view text, Take take, Skip skip)
{
    std::lock_guard guard(conv.lock);
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buf[1024];
    while (inLeft > 0) {
        char* out = buf;
        std::size_t outLeft = sizeof buf;
        const std::size_t r = iconv(conv.cd, &in, &inLeft, &out, &outLeft);
        take(buf, static_cast<std::size_t>(out - buf));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            const std::size_t n = std::min(skip(std::string_view(in, inLeft)), inLeft);
            if (n == 0)
                return false;
            in += n;
            inLeft -= n;
        }
    }
    return true;
}

} // namespace

std::size_t ValidUtf8Length(std::string_view bytes) noexcept
{
    std::size_t i = 0;
    for (std::size_t n; i < bytes.size() && (n = Utf8CharLength(bytes, i)) != 0;)
        i += n;
    return i;
}

bool IsValidUtf8(std::string_view bytes) noexcept
{
    return ValidUtf8Length(bytes) == bytes.size();
}

std::size_t ValidCp932Length(std::string_view bytes)
{
    std::size_t valid = bytes.size();
    Convert(Cp932ToUtf8(), bytes, [](const char*, std::size_t) {}, [&](std::string_view rest) {
        valid = bytes.size() - rest.size();
        return std::size_t{0};
    });
    return valid;
}

bool IsValidCp932(std::string_view bytes)
{
    return ValidCp932Length(bytes) == bytes.size();
}

bool LooksLikeUtf8(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        return true;
    bool nonAscii = false;
    bool japanese = false;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t n = Utf8CharLength(bytes, i, &c);
        if (n == 0)
            return false;
        nonAscii = nonAscii || n > 1;
        japanese = japanese || IsJapaneseScript(c);
        i += n;
    }
    return nonAscii && (japanese || !IsValidCp932(bytes));
}

Utf8Conversion ConvertUtf8ToCp932(std::string_view utf8)
{
    if (utf8.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        utf8.remove_prefix(kUtf8Bom.size());
    Utf8Conversion result;
    result.bytes.reserve(utf8.size());
    Convert(
        Utf8ToCp932(), utf8, [&](const char* out, std::size_t n) { result.bytes.append(out, n); },
        [&](std::string_view rest) {
            // A character with no code page 932 form: marked, and the reading goes on after it.
            result.missing.push_back(result.bytes.size());
            result.bytes.push_back('?');
            const std::size_t n = Utf8CharLength(rest, 0);
            return n ? n : std::size_t{1};
        });
    return result;
}

} // namespace vpx
