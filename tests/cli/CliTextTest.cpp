#include "cli/CliArgs.h"
#include "cli/CliText.h"
#include "notation/Notation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vpx::cli {
namespace {

struct CompileCase {
    const char* text;
    bool big;
    bool match;
    const char* hex; // nullptr: a notation error
    const char* error;
};

class CompileText : public ::testing::TestWithParam<CompileCase> {};

TEST_P(CompileText, PrintsBytesOrNamesTheCharacter)
{
    const CompileCase& c = GetParam();
    const AnsiString text = ArgumentBytes("NOTATION", c.text);
    if (c.hex) {
        EXPECT_EQ(FormatItems(CompileOrThrow(text, c.big, c.match)), c.hex);
        return;
    }
    try {
        CompileOrThrow(text, c.big, c.match);
        FAIL() << "compiled: " << c.text;
    } catch (const CliError& e) {
        EXPECT_STREQ(e.what(), c.error);
        EXPECT_EQ(e.ExitCode(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompileText,
    ::testing::Values(CompileCase{"1,2,\"AB\"", false, false, "01 02 41 42", nullptr},
                      CompileCase{"S258", false, false, "02 01", nullptr},
                      CompileCase{"S258", true, false, "01 02", nullptr},
                      CompileCase{"LS258", true, false, "02 01", nullptr},
                      CompileCase{"255, 0x0A", false, false, "FF 0A", nullptr},
                      CompileCase{"1,?,*,2", false, true, "01 ?? * 02", nullptr},
                      CompileCase{"  ", false, false, "", nullptr},
                      // The reasons are the window's, in its English.
                      CompileCase{"1,?", false, false, nullptr,
                                  "bad notation at character 3: Wildcards are allowed only in comparison data"},
                      CompileCase{"1, 2,zz,3", false, false, nullptr,
                                  "bad notation at character 6: Not a number, or out of range"},
                      CompileCase{"   256", false, false, nullptr,
                                  "bad notation at character 4: Not a number, or out of range"},
                      CompileCase{"1,,2", false, false, nullptr, "bad notation at character 3: Nothing between the commas"},
                      // A double-byte character is one character, whatever its bytes.
                      CompileCase{"\"\xE3\x81\x82\xE3\x81\x84\",zz", false, false, nullptr,
                                  "bad notation at character 6: Not a number, or out of range"},
                      CompileCase{"%LENS,?,%LENE", false, true, nullptr,
                                  "bad notation at character 7: No wildcards inside a length, XOR, sum or CRC range"},
                      // The same compiler: CRC fields, with wildcards refused inside their range.
                      CompileCase{"%CRCS,\"123456789\",%CRCE(CRC-16/MODBUS)", false, false,
                                  "31 32 33 34 35 36 37 38 39 37 4B", nullptr},
                      CompileCase{"%CRCS,\"123456789\",%CRCE(CRC-32)", true, false,
                                  "31 32 33 34 35 36 37 38 39 CB F4 39 26", nullptr},
                      CompileCase{"%CRCS,1,*,%CRCE(CRC-8)", false, true, nullptr,
                                  "bad notation at character 9: No wildcards inside a length, XOR, sum or CRC range"},
                      CompileCase{"%CRCS,1,%CRCE(CRC-0)", false, false, nullptr,
                                  "bad notation at character 9: Unknown CRC algorithm name"}));

// Every argument that becomes bytes: UTF-8 text converted exactly, raw code page
// 932 taken as it stands, and the two ways an argument is refused.
struct ArgumentCase {
    const char* name;
    std::string argument;
    const char* bytes; // nullptr: refused
    const char* error;
};

class Arguments : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(Arguments, BecomeCodePage932OrAreRefused)
{
    const ArgumentCase& c = GetParam();
    try {
        const AnsiString bytes = ArgumentBytes(c.name, c.argument);
        ASSERT_NE(c.bytes, nullptr) << "taken: " << c.argument;
        EXPECT_EQ(bytes, c.bytes);
    } catch (const CliError& e) {
        ASSERT_EQ(c.bytes, nullptr) << e.what();
        EXPECT_STREQ(e.what(), c.error);
        EXPECT_EQ(e.ExitCode(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Arguments,
    ::testing::Values(
        ArgumentCase{"NOTATION", "1,2", "1,2", nullptr}, ArgumentCase{"--text", "", "", nullptr},
        ArgumentCase{"--text", "?", "?", nullptr},
        ArgumentCase{"--text", "\xE3\x81\x82\xEF\xBD\xB1", "\x82\xA0\xB1", nullptr}, // "あｱ" in UTF-8
        ArgumentCase{"--command", "\xE8\xA1\xA8", "\x95\\", nullptr},                // "表": its trail byte is '\\'
        ArgumentCase{"NOTATION", "\"\x95\\\"", "\"\x95\\\"", nullptr},              // code page 932 as it stands
        ArgumentCase{"--text", "\x82\xA0\xB1", "\x82\xA0\xB1", nullptr},
        // "é" in UTF-8 is also two half-width kana in code page 932: UTF-8 is read first.
        ArgumentCase{"--text", "Caf\xC3\xA9", nullptr, "--text: \"\xC3\xA9\" (U+00E9) has no code page 932 form"},
        ArgumentCase{"NOTATION", "\"\xF0\x9F\x98\x80\"", nullptr,
                     "NOTATION: \"\xF0\x9F\x98\x80\" (U+1F600) has no code page 932 form"},
        ArgumentCase{"NOTATION", "\xFF", nullptr, "NOTATION: byte 1 (0xFF) is neither UTF-8 nor code page 932"},
        ArgumentCase{"--command", "ab\x82", nullptr, "--command: byte 3 (0x82) is neither UTF-8 nor code page 932"},
        ArgumentCase{"--text", "\x82\xA0\x80", nullptr, "--text: byte 3 (0x80) is neither UTF-8 nor code page 932"}));

struct EndpointCase {
    const char* text;
    bool remote; // ParseEndpoint, else ParseLocalEndpoint
    bool ok;
    const char* address;
    std::uint16_t port;
};

class Endpoints : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(Endpoints, TakeDottedIPv4Only)
{
    const EndpointCase& c = GetParam();
    const auto e = c.remote ? ParseEndpoint(c.text) : ParseLocalEndpoint(c.text);
    ASSERT_EQ(e.has_value(), c.ok) << c.text;
    if (c.ok) {
        EXPECT_EQ(e->address, c.address);
        EXPECT_EQ(e->port, c.port);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Endpoints,
                         ::testing::Values(EndpointCase{"127.0.0.1:5000", true, true, "127.0.0.1", 5000},
                                           EndpointCase{"127.0.0.1:0", true, false, "", 0},
                                           EndpointCase{"127.0.0.1:65536", true, false, "", 0},
                                           EndpointCase{"127.0.0.1", true, false, "", 0},
                                           EndpointCase{"localhost:5000", true, false, "", 0},
                                           EndpointCase{"[::1]:5000", true, false, "", 0},
                                           EndpointCase{"::1:5000", true, false, "", 0},
                                           EndpointCase{"1.2.3:5000", true, false, "", 0},
                                           EndpointCase{"127.0.0.1:+5", true, false, "", 0},
                                           EndpointCase{"6000", false, true, "", 6000},
                                           EndpointCase{"0", false, true, "", 0},
                                           EndpointCase{"127.0.0.2:6000", false, true, "127.0.0.2", 6000},
                                           EndpointCase{":6000", false, false, "", 0},
                                           EndpointCase{"-1", false, false, "", 0}));

TTrafficRecord Record(std::uint8_t kind, std::vector<std::uint8_t> data, const char* comment)
{
    TTrafficRecord r;
    r.Length = static_cast<std::int32_t>(data.size());
    r.Data = std::move(data);
    r.Kind = kind;
    r.Comment = comment;
    r.PeerAddress = "127.0.0.1";
    r.PeerPort = 5000;
    return r;
}

TEST(TrafficLine, PlainShowsDirectionPeerBytesAndComment)
{
    EXPECT_EQ(TrafficLine(Record(tkReceivedMatched, {1, 0xAB}, "ping"), "T", false), "T > 127.0.0.1:5000 [01 AB] ping");
    EXPECT_EQ(TrafficLine(Record(tkAutoReplySent, {}, ""), "T", false), "T < 127.0.0.1:5000 []");
    // Code page 932 comments come out as UTF-8.
    EXPECT_EQ(TrafficLine(Record(tkReceived, {7}, "\x82\xA0"), "T", false), "T > 127.0.0.1:5000 [07] \xE3\x81\x82");
}

TEST(TrafficLine, JsonIsOneObjectWithEscapedTexts)
{
    EXPECT_EQ(TrafficLine(Record(tkReceived, {7}, "a\"b\\c\td"), "T", true),
              "{\"time\":\"T\",\"dir\":\"in\",\"address\":\"127.0.0.1\",\"port\":5000,\"length\":1,\"hex\":\"07\","
              "\"matched\":false,\"comment\":\"a\\\"b\\\\c\\td\"}");
    EXPECT_EQ(TrafficLine(Record(tkAutoReplySent, {1, 2}, ""), "T", true),
              "{\"time\":\"T\",\"dir\":\"out\",\"address\":\"127.0.0.1\",\"port\":5000,\"length\":2,\"hex\":\"01 02\","
              "\"comment\":\"\"}");
    EXPECT_EQ(JsonEscape(std::string("\x01", 1)), "\\u0001");
}

TEST(TrafficLine, CarriesCapturesCheckNotesAndDrops)
{
    TTrafficRecord captured = Record(tkReceivedMatched, {7}, "r reg=7 \"q\"=01");
    captured.Fields = {{"reg", "7"}, {"\"q\"", "01"}}; // escaped like any text, though names are plain
    EXPECT_EQ(TrafficLine(captured, "T", false), "T > 127.0.0.1:5000 [07] r reg=7 \"q\"=01");
    EXPECT_EQ(TrafficLine(captured, "T", true),
              "{\"time\":\"T\",\"dir\":\"in\",\"address\":\"127.0.0.1\",\"port\":5000,\"length\":1,\"hex\":\"07\","
              "\"matched\":true,\"comment\":\"r reg=7 \\\"q\\\"=01\",\"fields\":{\"reg\":\"7\",\"\\\"q\\\"\":\"01\"}}");
    TTrafficRecord refused = Record(tkReceived, {1}, "CRC-8: 01 received, 07 expected");
    refused.Check = "CRC-8: 01 received, 07 expected";
    EXPECT_EQ(TrafficLine(refused, "T", true),
              "{\"time\":\"T\",\"dir\":\"in\",\"address\":\"127.0.0.1\",\"port\":5000,\"length\":1,\"hex\":\"01\","
              "\"matched\":false,\"comment\":\"CRC-8: 01 received, 07 expected\","
              "\"check\":\"CRC-8: 01 received, 07 expected\"}");
    TTrafficRecord dropped = Record(tkAutoReplySent, {0x41}, "ans");
    dropped.Dropped = true;
    EXPECT_EQ(TrafficLine(dropped, "T", false), "T < 127.0.0.1:5000 [41] ans (dropped)");
    EXPECT_EQ(TrafficLine(dropped, "T", true),
              "{\"time\":\"T\",\"dir\":\"out\",\"address\":\"127.0.0.1\",\"port\":5000,\"length\":1,\"hex\":\"41\","
              "\"dropped\":true,\"comment\":\"ans\"}");
}

TEST(IsoLocalTime, HasMillisecondsAndTheOffset)
{
    const std::string t = IsoLocalTime(std::timespec{1700000000, 123456789});
    ASSERT_EQ(t.size(), 29u) << t;
    EXPECT_EQ(t.substr(19, 4), ".123");
    EXPECT_TRUE(t[23] == '+' || t[23] == '-');
    EXPECT_EQ(t[10], 'T');
}

// Stamps made one after another: the milliseconds patched in place within a
// second must read as a stamp made afresh, whichever way time moves.
TEST(TimeStamper, EachStampReadsAsIfMadeAfresh)
{
    const std::int64_t base = 1700000000LL * 1000000;
    const std::int64_t times[] = {base + 123456, base + 999999, base + 1000000, base + 1000001, base + 7,
                                  base - 1,      base + 5000,   base + 5000,    0};
    TimeStamper stamper;
    for (const std::int64_t t : times) {
        std::int64_t second = t / 1000000, rest = t % 1000000;
        if (rest < 0) {
            rest += 1000000;
            --second;
        }
        const std::timespec when{static_cast<std::time_t>(second), static_cast<long>(rest * 1000)};
        EXPECT_EQ(stamper.At(t), IsoLocalTime(when)) << t;
    }
}

struct ArgsCase {
    std::vector<std::string> args;
    const char* error;
};

class ArgsErrors : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ArgsErrors, AreOneLine)
{
    try {
        CliArgs(GetParam().args, {"--to"}, {"--big"}, false);
        FAIL();
    } catch (const CliError& e) {
        EXPECT_STREQ(e.what(), GetParam().error);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ArgsErrors,
                         ::testing::Values(ArgsCase{{"--to"}, "option --to needs a value"},
                                           ArgsCase{{"--to", "a", "--to", "b"}, "option --to given twice"},
                                           ArgsCase{{"--bog"}, "unknown option --bog"},
                                           ArgsCase{{"1,2"}, "unexpected argument \"1,2\""}));

} // namespace
} // namespace vpx::cli
