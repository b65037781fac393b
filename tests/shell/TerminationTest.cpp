// Ending the program from outside: a real signal to a real process running the
// window, and the recovery it leaves for the next start.

#include "library/CommandDocument.h"
#include "library/CommandRecovery.h"
#include "library/CommandTreeModel.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/TerminationSignals.h"
#include "shell/ShellTestUtil.h"
#include "support/FakePrompts.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <string>

#include <unistd.h>

namespace vpx::test {
namespace {


// The program as the parent test below starts it: the library from VPX_CHILD_FILE,
// one unsaved edit, then the event loop until something ends it. Run only as
// that child.
TEST(TerminationChild, DISABLED_RunsTheWindowUntilEnded)
{
    FakePrompts prompts;
    auto window = std::make_unique<TfrmSimMain>(
        QStringList{QStringLiteral("/c"), qEnvironmentVariable("VPX_CHILD_FILE")}, &prompts);
    CloseOnTerminationSignals(*window);
    window->show();
    window->Actions()->ActionAddRoot->trigger();
    std::printf("ready %zu\n", prompts.messages.size());
    std::fflush(stdout);
    QApplication::exec();
    std::printf("asked %zu\n", prompts.messages.size());
    std::fflush(stdout);
}

// The program stuck while it handles the first signal: its event loop never runs.
TEST(TerminationChild, DISABLED_HangsAfterTheFirstSignal)
{
    FakePrompts prompts;
    auto window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    CloseOnTerminationSignals(*window);
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < 600; ++i)
        ::usleep(100000);
}

// Runs this test program's disabled test `child` in a child process with its
// own settings and state folders under `dir`, and returns what it printed up to
// its "ready" line (empty when it never got there).
QByteArray StartChild(QProcess& child, const QTemporaryDir& dir, const char* test, const QString& library = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_STATE_HOME"), dir.filePath(QStringLiteral("state")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORPEX_LOCAL_ADDRESS"), QStringLiteral("127.0.0.1"));
    env.insert(QStringLiteral("VPX_CHILD_FILE"), library);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=TerminationChild.DISABLED_") + QString::fromLatin1(test)});
    if (!child.waitForStarted(10000))
        return {};
    QByteArray out;
    const QDeadlineTimer deadline(60000);
    while (!out.contains("ready") && !deadline.hasExpired() && child.state() == QProcess::Running) {
        child.waitForReadyRead(100);
        out += child.readAllStandardOutput();
    }
    return out;
}

// A second SIGTERM or SIGINT ends a program that does not end by the first.
TEST(EndedFromOutside, ASecondSignalEndsAStuckProgramAtOnce)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        QTemporaryDir dir;
        QProcess child;
        const QByteArray out = StartChild(child, dir, "HangsAfterTheFirstSignal");
        ASSERT_TRUE(out.contains("ready")) << out.toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(child.processId()), signal), 0);
        EXPECT_FALSE(child.waitForFinished(300)) << "the first one waits for the event loop";
        ASSERT_EQ(::kill(static_cast<pid_t>(child.processId()), signal), 0);
        ASSERT_TRUE(child.waitForFinished(10000)) << signal;
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit) << signal;
    }
}

struct SignalCase {
    const char* name;
    int signal;
};

class EndedFromOutsideTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(EndedFromOutsideTest, ClosesTheNormalWayAndKeepsTheUnsavedLibrary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString library = dir.filePath(QStringLiteral("lib.vpx"));
    WriteAll(library, "0 Device\r\n");
    const QString settings = dir.filePath(QStringLiteral("config/Norveth/VPX.ini"));
    const QString state = dir.filePath(QStringLiteral("state"));

    QProcess child;
    QByteArray out = StartChild(child, dir, "RunsTheWindowUntilEnded", library);
    ASSERT_TRUE(out.contains("ready 0")) << out.toStdString();
    EXPECT_EQ(ReadAll(settings).find("[Window]"), std::string::npos); // nothing saved yet

    ASSERT_EQ(::kill(static_cast<pid_t>(child.processId()), GetParam().signal), 0);
    ASSERT_TRUE(child.waitForFinished(60000));
    out += child.readAllStandardOutput();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << GetParam().name;
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("asked 0")) << out.toStdString(); // closed without a question

    // Settings saved as by Exit: the window's placement and the option values.
    const std::string ini = ReadAll(settings);
    EXPECT_NE(ini.find("[Window]"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ViewType"), std::string::npos) << ini;
    // The library as it was, in the command file format, and the file it stands for.
    EXPECT_EQ(ReadAll(state + QStringLiteral("/vorpex/recovery.vpx")), "0 Device\r\n" + kNewGroupLine);
    EXPECT_NE(ReadAll(state + QStringLiteral("/vorpex/recovery.ini")).find("lib.vpx"), std::string::npos);
    // The file itself is untouched.
    EXPECT_EQ(ReadAll(library), "0 Device\r\n");
}

INSTANTIATE_TEST_SUITE_P(Signals, EndedFromOutsideTest,
                         ::testing::Values(SignalCase{"SIGTERM", SIGTERM}, SignalCase{"SIGINT", SIGINT},
                                           SignalCase{"SIGHUP", SIGHUP}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OfferCase {
    const char* what;
    const char* originalName; // "" for an untitled library
    PromptButton answer;
};

class RecoveryOfferTest : public ::testing::TestWithParam<OfferCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_STATE_HOME", m_dir.filePath(QStringLiteral("state")).toUtf8());
    }
    QTemporaryDir m_dir;
};

TEST_P(RecoveryOfferTest, TheNextStartOffersTheLibraryAndForgetsIt)
{
    const OfferCase& c = GetParam();
    const QString original =
        *c.originalName ? m_dir.filePath(QString::fromUtf8(c.originalName)) : QString();
    {
        FakePrompts none;
        CommandDocument left(none);
        left.Tree().AddGroup(nullptr, "Device");
        left.Recovered(original, 3, false); // as if read from a file holding 3 lines unseen
        QString error;
        ASSERT_TRUE(WriteRecovery(left, RecoveryFolder(), &error)) << error.toStdString();
    }
    EXPECT_EQ(RecoveryFolder(), m_dir.filePath(QStringLiteral("state/vorpex")));

    FakePrompts prompts;
    prompts.answers.push_back(c.answer);
    TfrmSimMain w({}, &prompts);
    ASSERT_EQ(prompts.messages.size(), 1u) << c.what;
    const QString shown = *c.originalName ? QString::fromUtf8(c.originalName) : QStringLiteral("無題");
    EXPECT_EQ(prompts.messages[0].text,
              QStringLiteral("前回の終了時に保存されていなかったコマンドデータ「%1」があります。\r\n"
                             "復元しますか？\r\n（「いいえ」を選ぶと、このデータは破棄されます）")
                  .arg(shown));
    EXPECT_EQ(prompts.messages[0].defaultButton, PromptButton::Yes);
    EXPECT_TRUE(QDir(RecoveryFolder()).isEmpty()) << c.what; // handled either way

    const bool restored = c.answer == PromptButton::Yes;
    EXPECT_EQ(w.TreeModel->rowCount(), restored ? 1 : 0);
    EXPECT_EQ(w.Document.Modified(), restored);
    EXPECT_EQ(w.windowTitle(), restored ? QStringLiteral("Vorpex - %1 (変更)").arg(shown)
                                        : QStringLiteral("Vorpex - 無題 "));
    EXPECT_EQ(w.Actions()->ActionSave->isEnabled(), restored && *c.originalName);
    EXPECT_EQ(w.Document.LinesNotShown(), restored ? 3u : 0u); // Save still asks before writing over
}

INSTANTIATE_TEST_SUITE_P(
    Answers, RecoveryOfferTest,
    ::testing::Values(OfferCase{"はい, named: Save writes it back", "lib.vpx", PromptButton::Yes},
                      OfferCase{"はい, untitled", "", PromptButton::Yes},
                      OfferCase{"いいえ: discarded", "lib.vpx", PromptButton::No}));

// Two windows ended by one log-out each keep their own library: the second
// never writes over the first, and the next starts offer them one by one.
TEST_F(RecoveryOfferTest, EachWindowKeepsItsOwnSlot)
{
    const char* names[] = {"first.vpx", "second.vpx"};
    for (const char* name : names) {
        FakePrompts none;
        CommandDocument left(none);
        left.Tree().AddGroup(nullptr, name);
        left.Recovered(m_dir.filePath(QString::fromLatin1(name)), 0, false);
        QString error;
        ASSERT_TRUE(WriteRecovery(left, RecoveryFolder(), &error)) << error.toStdString();
    }
    EXPECT_EQ(ReadAll(RecoveryFolder() + QStringLiteral("/recovery.vpx")), "0 first.vpx\r\n");
    EXPECT_EQ(ReadAll(RecoveryFolder() + QStringLiteral("/recovery-2.vpx")), "0 second.vpx\r\n");
    for (const char* name : names) {
        FakePrompts prompts;
        prompts.answers.push_back(PromptButton::Yes);
        TfrmSimMain w({}, &prompts);
        ASSERT_EQ(prompts.messages.size(), 1u) << name;
        EXPECT_TRUE(prompts.messages[0].text.contains(QString::fromLatin1(name))) << name;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorpex - %1 (変更)").arg(QString::fromLatin1(name)));
    }
    EXPECT_TRUE(QDir(RecoveryFolder()).isEmpty());
}

// A relative XDG_STATE_HOME is ignored, as the base directory rules say.
TEST(RecoveryFolderTest, ARelativeStateHomeIsIgnored)
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "relative/state");
    EXPECT_EQ(RecoveryFolder(), QDir::homePath() + QStringLiteral("/.local/state/vorpex"));
    qputenv("XDG_STATE_HOME", saved);
}

TEST(RecoveryFolderTest, DefaultsToTheHomeStateFolder)
{
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(RecoveryFolder(), QDir::homePath() + QStringLiteral("/.local/state/vorpex"));
    qputenv("XDG_STATE_HOME", saved);
}

} // namespace
} // namespace vpx::test
