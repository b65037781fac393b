#include "shell/CommandLine.h"

#include "support/FakePrompts.h"

#include <gtest/gtest.h>

#include <set>

namespace vpx::test {
namespace {

// Records what the command line asked for, with files that exist or load as told.
struct Harness {
    FakePrompts prompts;
    std::set<QString> existing;
    std::set<QString> unreadable;
    QStringList calls;

    CommandLineTargets Targets()
    {
        CommandLineTargets t;
        t.FileExists = [this](const QString& f) { return existing.count(f) > 0; };
        t.LoadCommandFile = [this](const QString& f) {
            calls << QStringLiteral("cmd:") + f;
            return unreadable.count(f) == 0;
        };
        t.LoadAutoReplyFile = [this](const QString& f) {
            calls << QStringLiteral("vpa:") + f;
            return unreadable.count(f) == 0;
        };
        t.AutoReplyLoadFailed = [this] { calls << QStringLiteral("vpa-failed"); };
        return t;
    }
    void Run(const QStringList& args) { ProcessCommandLine(args, Targets(), prompts); }
};

TEST(ProcessCommandLine, LoadsOptionsInTheOrderGiven)
{
    Harness h;
    h.existing = {QStringLiteral("a.vpx"), QStringLiteral("b.vpa"), QStringLiteral("c.vpx")};
    h.Run({QStringLiteral("/c"), QStringLiteral("a.vpx"), QStringLiteral("/A"), QStringLiteral("b.vpa"),
           QStringLiteral("/C"), QStringLiteral("c.vpx")});
    EXPECT_EQ(h.calls, QStringList({QStringLiteral("cmd:a.vpx"), QStringLiteral("vpa:b.vpa"),
                                    QStringLiteral("cmd:c.vpx")}));
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(ProcessCommandLine, OtherArgumentsAreSkippedSilently)
{
    Harness h;
    h.existing = {QStringLiteral("x.vpx")};
    h.Run({QStringLiteral("-c"), QStringLiteral("x.vpx"), QStringLiteral("/cx.vpx"), QStringLiteral("/c "),
           QStringLiteral("c"), QStringLiteral("/x")});
    EXPECT_TRUE(h.calls.isEmpty());
    EXPECT_TRUE(h.prompts.messages.empty());
}

TEST(ProcessCommandLine, EachProblemHasItsMessageAndEndsTheProcessing)
{
    const struct {
        QStringList args;
        QString text;
        QStringList calls;
    } cases[] = {
        {{QStringLiteral("/c")}, QStringLiteral("/c オプションの後にファイル名が指定されていません"), {}},
        {{QStringLiteral("/A")}, QStringLiteral("/A オプションの後にファイル名が指定されていません"), {}},
        {{QStringLiteral("/a"), QStringLiteral("missing.vpa"), QStringLiteral("/c"), QStringLiteral("ok.vpx")},
         QStringLiteral("/a オプションで指定されたファイル\r\n\"missing.vpa\"\r\nが存在しません"),
         {}},
        {{QStringLiteral("/c"), QStringLiteral("ok.vpx"), QStringLiteral("/c"), QStringLiteral("bad.vpx"),
          QStringLiteral("/c"), QStringLiteral("ok.vpx")},
         QStringLiteral("/c オプションで指定されたファイル\r\n\"bad.vpx\"\r\nを読み込み中にエラーが発生しました"),
         {QStringLiteral("cmd:ok.vpx"), QStringLiteral("cmd:bad.vpx")}},
        {{QStringLiteral("/a"), QStringLiteral("bad.vpx")},
         QStringLiteral("/a オプションで指定されたファイル\r\n\"bad.vpx\"\r\nを読み込み中にエラーが発生しました"),
         {QStringLiteral("vpa:bad.vpx"), QStringLiteral("vpa-failed")}},
    };
    for (const auto& c : cases) {
        Harness h;
        h.existing = {QStringLiteral("ok.vpx"), QStringLiteral("bad.vpx")};
        h.unreadable = {QStringLiteral("bad.vpx")};
        h.Run(c.args);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        ASSERT_EQ(h.prompts.messages.size(), 1u);
        EXPECT_EQ(h.prompts.messages[0].text, c.text);
        EXPECT_EQ(h.prompts.messages[0].caption, QStringLiteral("コマンドラインオプションエラー"));
        EXPECT_EQ(h.prompts.messages[0].icon, PromptIcon::Error);
        EXPECT_EQ(h.prompts.messages[0].buttons, static_cast<int>(PromptButton::Ok));
        EXPECT_EQ(h.calls, c.calls);
    }
}

} // namespace
} // namespace vpx::test
