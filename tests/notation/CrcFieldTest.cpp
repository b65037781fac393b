#include "notation/Crc.h"
#include "notation/NotationTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace vpx::test {
namespace {

const std::string Digits = "31 32 33 34 35 36 37 38 39"; // "123456789"

std::string Hex(std::uint32_t value, int bytes, bool big)
{
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        const int shift = 8 * (big ? bytes - 1 - i : i);
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02X", (value >> shift) & 0xFF);
        out += (out.empty() ? "" : " ") + std::string(buf);
    }
    return out;
}

std::string Wire(const std::string& text, std::uint8_t order, std::int32_t* result)
{
    return WireHex(Compile(text, true, order, result));
}

struct CheckValue {
    const char* name; // as a user may write it
    int bytes;
    std::uint32_t check; // the catalogue's check value for "123456789"
};

// Each algorithm of the catalogue with the value its published parameters give
// for "123456789", written here independently of the engine's own table.
const CheckValue CheckValues[] = {
    {"CRC-8", 1, 0xF4},
    {"CRC-8/MAXIM-DOW", 1, 0xA1},
    {"CRC-16/ARC", 2, 0xBB3D},
    {"CRC-16/MODBUS", 2, 0x4B37},
    {"CRC-16/IBM-3740", 2, 0x29B1},
    {"crc-16/ccitt-false", 2, 0x29B1},
    {"CRC-16/XMODEM", 2, 0x31C3},
    {"Crc-16/Kermit", 2, 0x2189},
    {"CRC-32", 4, 0xCBF43926},
    {"CRC-32/ISO-HDLC", 4, 0xCBF43926},
    {"CRC-32C", 4, 0xE3069283},
};

class CrcField : public ::testing::TestWithParam<CheckValue> {};

// One algorithm in every setting a field can stand in: each byte order, the
// command's default order, inside a length range, under a sum range, and with a
// sum field among the bytes it covers.
TEST_P(CrcField, GivesTheCatalogueCheckValueInEverySetting)
{
    const CheckValue& c = GetParam();
    const std::string name = c.name;
    const std::string big = Hex(c.check, c.bytes, true);
    const std::string little = Hex(c.check, c.bytes, false);
    const int n = 9 + c.bytes;

    struct Form {
        std::string text;
        std::uint8_t order;
        std::string wire;
    };
    const std::vector<Form> forms = {
        {"%CRCS, \"123456789\", %BCRCE(" + name + ")", 0, Digits + " " + big},
        {"%CRCS, \"123456789\", %LCRCE(" + name + ")", 1, Digits + " " + little},
        {"%CRCS, \"123456789\", %CRCE(" + name + ")", 1, Digits + " " + big},
        {"%CRCS, \"123456789\", %CRCE(" + name + ")", 0, Digits + " " + little},
        {"%crcs, \"123456789\", %b crce( " + name + " )", 0, Digits + " " + big},
        // The length counts the CRC bytes; the CRC does not count the length.
        {"%LENS, %CRCS, \"123456789\", %BCRCE(" + name + "), %LENE", 0, Digits + " " + big + " " + Hex(n, 1, true)},
        {"0xAA, %CRCS, %BSLENE, \"123456789\", %LCRCE(" + name + "), %LENS", 0, "AA " + Digits + " " + little},
        // A sum field that is itself the last of the nine bytes: 0x95 plus "12345678" sums to 0x39, "9".
        {"%ADDS, 0x95, %CRCS, \"12345678\", %ADDE, %BCRCE(" + name + ")", 0, "95 " + Digits + " " + big},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.text);
        std::int32_t result = 0;
        EXPECT_EQ(Wire(f.text, f.order, &result), f.wire);
        EXPECT_EQ(result, static_cast<std::int32_t>((f.wire.size() + 1) / 3));
    }

    // A sum range around the field sums its bytes like any others.
    std::int32_t result = 0;
    const auto items = Compile("%ADDS, %CRCS, \"123456789\", %BCRCE(" + name + "), %BIADDE", true, 0, &result);
    ASSERT_EQ(result, n + 4);
    std::uint32_t sum = 0;
    for (int i = 0; i < n; ++i)
        sum += static_cast<std::uint32_t>(items[static_cast<std::size_t>(i)] & 0xFF);
    EXPECT_EQ(WireHex(items), Digits + " " + big + " " + Hex(sum, 4, true));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CrcField, ::testing::ValuesIn(CheckValues),
                         [](const auto& info) {
                             std::string s = info.param.name;
                             std::replace_if(s.begin(), s.end(), [](char ch) { return !std::isalnum(ch); }, '_');
                             return s + "_" + std::to_string(info.index);
                         });

TEST(CrcCatalogue, EveryAlgorithmIsCoveredByTheCheckTable)
{
    for (const CrcAlgorithm& a : CrcCatalogue()) {
        SCOPED_TRACE(std::string(a.Name));
        const auto it = std::find_if(std::begin(CheckValues), std::end(CheckValues),
                                     [&](const CheckValue& c) { return FindCrcAlgorithm(c.name) == &a; });
        ASSERT_NE(it, std::end(CheckValues));
        EXPECT_EQ(a.Check, it->check);
        EXPECT_EQ(a.Width, it->bytes * 8);
    }
}

TEST(CrcCatalogue, TablesGiveWhatTheBitsGive)
{
    // An algorithm outside the catalogue (a copy of each entry) is run a bit at
    // a time; the catalogue's own entries from their tables. Both must agree.
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 300; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    for (const CrcAlgorithm& a : CrcCatalogue()) {
        SCOPED_TRACE(std::string(a.Name));
        const CrcAlgorithm copy = a;
        EXPECT_EQ(FindCrcTable(copy), nullptr);
        ASSERT_NE(FindCrcTable(a), nullptr);
        for (const std::size_t n : {0u, 1u, 9u, 300u}) {
            const std::span<const std::uint8_t> part(bytes.data(), n);
            EXPECT_EQ(ComputeCrc(a, part), ComputeCrc(copy, part)) << n;
            EXPECT_EQ(RunCrcTable(*FindCrcTable(a), part.data(), n), ComputeCrc(copy, part)) << n;
        }
    }
    // An output reflected against its register: reflected in, plain out.
    const CrcAlgorithm mixed{"MIXED", 16, 0x8005, 0xFFFF, true, false, 0x0000, 0};
    const std::uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(ComputeCrc(mixed, digits), 0xECD2u); // CRC-16/MODBUS's 0x4B37 with its bits reversed
}

struct FaultCase {
    std::string text;
    std::int32_t result;
    std::string wire;
    CompileFault fault = CompileFault::None;
    std::size_t position = 0;
};

TEST(CrcField, RangesErrorsAndPositions)
{
    const std::vector<FaultCase> cases = {
        // An end without a start is ignored, as the other ends are; a second start restarts.
        {"%CRCE(CRC-8)", 0, ""},
        {"%CRCS", 0, ""},
        {"1, %CRCS, 2, %CRCS, \"123456789\", %CRCE(CRC-8)", 12, "01 02 " + Digits + " F4"},
        {"%CRCS, %CRCE(CRC-16/ARC)", 2, "00 00"},
        // Wildcards only outside the range.
        {"%CRCS, 1, %CRCE(CRC-8), *", 3, "01 07 *"},
        {"1, %CRCS, ?, %CRCE(CRC-8)", -1, "", CompileFault::WildcardInRange, 11},
        {"%CRCS, *", -1, "", CompileFault::WildcardInRange, 8},
        // The name is checked even where the end would be ignored.
        {"%CRCE(CRC-99)", -1, "", CompileFault::UnknownCrc, 1},
        {"1, %CRCS, 2, %CRCE()", -1, "", CompileFault::UnknownCrc, 14},
        {"%CRCS, 1, %CRCE", -1, "", CompileFault::CrcParenthesis, 11},
        {"%CRCS, 1, %CRCE CRC-8", -1, "", CompileFault::CrcParenthesis, 11},
        {"%CRCS, 1, %CRCE(CRC-8", -1, "", CompileFault::CrcParenthesis, 11},
        {"%CRCS, 1, %CRCE(CRC-8)x", -1, "", CompileFault::CrcParenthesis, 11},
        // The catalogue's xor-out finishes the value; no modifier on top of it.
        {"%CRCS, 1, %!CRCE(CRC-8)", -1, "", CompileFault::UnknownKeyword, 11},
        {"%CRCS, 1, %-BCRCE(CRC-16/ARC)", -1, "", CompileFault::UnknownKeyword, 11},
        {"%CRC", -1, "", CompileFault::UnknownKeyword, 1},
        {"%CRCSX", -1, "", CompileFault::UnknownKeyword, 1},
        {"%B CRCS", -1, "", CompileFault::UnknownKeyword, 1},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::int32_t> items{9};
        CompileError error;
        EXPECT_EQ(CompileCommand(0, c.text, items, true, error), c.result);
        EXPECT_EQ(WireHex(items), c.wire);
        EXPECT_EQ(error.Fault, c.fault);
        EXPECT_EQ(error.Position, c.position);
    }
}

TEST(CompileFaults, SayWhyAndHowLong)
{
    const std::vector<FaultCase> cases = {
        {"01,,02", -1, "", CompileFault::EmptyToken, 4},
        {"\"AB\"x", -1, "", CompileFault::TextAfterQuote, 1},
        {"1, %FOO", -1, "", CompileFault::UnknownKeyword, 4},
        {"1, 256", -1, "", CompileFault::BadNumber, 4},
        {"F1e999", -1, "", CompileFault::BadNumber, 1},
        {"%LENS, ?", -1, "", CompileFault::WildcardInRange, 8},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<std::int32_t> items;
        CompileError error;
        EXPECT_EQ(CompileCommand(0, c.text, items, true, error), -1);
        EXPECT_EQ(error.Fault, c.fault);
        EXPECT_EQ(error.Position, c.position);
    }
    // Without wildcards "?" is refused as such, not as a bad number; the length
    // covers the token as typed.
    std::vector<std::int32_t> items;
    CompileError error;
    EXPECT_EQ(CompileCommand(0, "1,  ?  ", items, false, error), -1);
    EXPECT_EQ(error.Fault, CompileFault::WildcardNotAllowed);
    EXPECT_EQ(error.Position, 5u);
    EXPECT_EQ(error.Length, 1u);
    EXPECT_EQ(CompileCommand(0, "1, %CRCE(CRC-32X)", items, false, error), -1);
    EXPECT_EQ(error.Length, 14u);
}

} // namespace
} // namespace vpx::test
