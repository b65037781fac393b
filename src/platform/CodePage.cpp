#include "platform/CodePage.h"

#include <QString>

#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <stdexcept>

namespace vpx {

std::vector<ByteKind> ClassifyBytes(std::string_view text)
{
    std::vector<ByteKind> kinds(text.size(), ByteKind::Single);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(text[i]) && i + 1 < text.size()) {
            kinds[i] = ByteKind::Lead;
            kinds[++i] = ByteKind::Trail;
        }
    }
    return kinds;
}

std::size_t FindOnCharBoundary(std::string_view haystack, std::string_view needle) noexcept
{
    if (needle.empty())
        return 0;
    for (std::size_t i = 0; i + needle.size() <= haystack.size();) {
        if (haystack.compare(i, needle.size(), needle) == 0)
            return i;
        i += (IsLeadByte(haystack[i]) && i + 1 < haystack.size()) ? 2 : 1;
    }
    return std::string_view::npos;
}

namespace {

// One converter per direction, shared: iconv descriptors are not thread-safe, so
// each use holds the lock for its conversion.
struct Converter {
    iconv_t cd;
    std::mutex lock;
    Converter(const char* to, const char* from) : cd(iconv_open(to, from))
    {
        if (cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("code page 932 conversion is not available");
    }
};

Converter& ToCp932()
{
    static Converter c("CP932", "UTF-16LE");
    return c;
}

Converter& FromCp932()
{
    static Converter c("UTF-16LE", "CP932");
    return c;
}

} // namespace

AnsiString ToAnsi(const QString& text)
{
    Converter& conv = ToCp932();
    std::lock_guard guard(conv.lock);
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    AnsiString out;
    out.reserve(static_cast<std::size_t>(text.size()) * 2);
    const auto* units = reinterpret_cast<const char*>(text.utf16());
    std::size_t inLeft = static_cast<std::size_t>(text.size()) * 2;
    char* in = const_cast<char*>(units);
    char buf[256];
    while (inLeft > 0) {
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        const std::size_t r = iconv(conv.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<std::size_t>(outPtr - buf));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Not representable (or a lone surrogate): one "?" for the character.
            const char16_t unit = static_cast<char16_t>(static_cast<unsigned char>(in[0]) |
                                                        (static_cast<unsigned char>(in[1]) << 8));
            const std::size_t skip = (unit >= 0xD800 && unit <= 0xDBFF && inLeft >= 4) ? 4 : 2;
            out.push_back('?');
            in += skip;
            inLeft -= skip;
        }
    }
    return out;
}

QString FromAnsi(std::string_view bytes)
{
    Converter& conv = FromCp932();
    std::lock_guard guard(conv.lock);
    iconv(conv.cd, nullptr, nullptr, nullptr, nullptr);
    std::u16string out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char16_t buf[256];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buf);
        std::size_t outLeft = sizeof buf;
        const std::size_t r = iconv(conv.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<std::size_t>(outPtr - reinterpret_cast<char*>(buf)) / 2);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // An invalid or incomplete sequence: replace one character's worth.
            const std::size_t skip = (IsLeadByte(in[0]) && inLeft >= 2) ? 2 : 1;
            out.push_back(u'\uFFFD');
            in += skip;
            inLeft -= skip;
        }
    }
    return QString::fromUtf16(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace vpx
