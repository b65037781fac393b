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

// A file named bare, as a desktop passes a double-clicked file, loads by its
// extension; what is not one of ours, or is missing, gets the box and ends the run.
TEST(ProcessCommandLine, BarePathsLoadByTheirExtension)
{
    const QString other = QStringLiteral("ファイル\r\n\"%1\"\r\nはコマンドファイル(*.vpx)でも自動返信ファイル(*.vpa)でもありません");
    const struct {
        QStringList args;
        QStringList calls;
        QString text; // the box, empty when none
    } cases[] = {
        {{QStringLiteral("/home/u/a.vpx"), QStringLiteral("b.VPA")},
         {QStringLiteral("cmd:/home/u/a.vpx"), QStringLiteral("vpa:b.VPA")},
         {}},
        {{QStringLiteral("b.VPA"), QStringLiteral("/c"), QStringLiteral("ok.vpx"), QStringLiteral("A.Vpx")},
         {QStringLiteral("vpa:b.VPA"), QStringLiteral("cmd:ok.vpx"), QStringLiteral("cmd:A.Vpx")},
         {}},
        // Another program's option keeps its value; one of ours after it is still ours.
        {{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("ok.vpx"), QStringLiteral("-x"),
          QStringLiteral("/a"), QStringLiteral("b.VPA")},
         {QStringLiteral("cmd:ok.vpx"), QStringLiteral("vpa:b.VPA")},
         {}},
        {{QStringLiteral("notes.txt"), QStringLiteral("ok.vpx")}, {}, other.arg(QStringLiteral("notes.txt"))},
        {{QStringLiteral("ok.vpx"), QStringLiteral("gone.vpa"), QStringLiteral("A.Vpx")},
         {QStringLiteral("cmd:ok.vpx")},
         QStringLiteral("ファイル\r\n\"gone.vpa\"\r\nが存在しません")},
        {{QStringLiteral("/x/gone.vpx")}, {}, QStringLiteral("ファイル\r\n\"/x/gone.vpx\"\r\nが存在しません")},
        {{QStringLiteral("bad.vpx"), QStringLiteral("ok.vpx")},
         {QStringLiteral("cmd:bad.vpx")},
         QStringLiteral("ファイル\r\n\"bad.vpx\"\r\nを読み込み中にエラーが発生しました")},
        {{QStringLiteral("bad.vpa")},
         {QStringLiteral("vpa:bad.vpa"), QStringLiteral("vpa-failed")},
         QStringLiteral("ファイル\r\n\"bad.vpa\"\r\nを読み込み中にエラーが発生しました")},
        // Missing and not ours, or an option run into its name: skipped as always.
        {{QStringLiteral("en"), QStringLiteral("/agone.vpa"), QStringLiteral("ok.vpx")}, {QStringLiteral("cmd:ok.vpx")}, {}},
    };
    for (const auto& c : cases) {
        Harness h;
        h.existing = {QStringLiteral("/home/u/a.vpx"), QStringLiteral("b.VPA"), QStringLiteral("ok.vpx"),
                      QStringLiteral("A.Vpx"), QStringLiteral("notes.txt"), QStringLiteral("bad.vpx"),
                      QStringLiteral("bad.vpa")};
        h.unreadable = {QStringLiteral("bad.vpx"), QStringLiteral("bad.vpa")};
        h.Run(c.args);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(h.calls, c.calls);
        if (c.text.isEmpty()) {
            EXPECT_TRUE(h.prompts.messages.empty());
            continue;
        }
        ASSERT_EQ(h.prompts.messages.size(), 1u);
        EXPECT_EQ(h.prompts.messages[0].text, c.text);
        EXPECT_EQ(h.prompts.messages[0].caption, QStringLiteral("コマンドラインオプションエラー"));
        EXPECT_EQ(h.prompts.messages[0].icon, PromptIcon::Error);
    }
}

} // namespace
} // namespace vpx::test
