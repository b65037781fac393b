// Opening a file that is not a command file as this program writes it: what the
// window tells, and that Save never writes over it without a question.

#include "library/CommandTreeModel.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/ShellTestUtil.h"
#include "support/FakePrompts.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vpx::test {
namespace {

using namespace std::string_literals;


const QString kUtf8Question = QStringLiteral("このファイルは UTF-8 で書かれているようです。\r\n"
                                             "UTF-8 として読み込みますか？");

class CommandFileLossTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_STATE_HOME", m_dir.filePath(QStringLiteral("state")).toUtf8());
        m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Ctrl+O on `path`, with the given answers to the boxes it shows.
    void Open(const QString& path, std::initializer_list<PromptButton> answers = {})
    {
        prompts.fileAnswers.push_back(path);
        prompts.answers.insert(prompts.answers.end(), answers);
        m_window->Actions()->ActionOpen->trigger();
    }

    // An edit: a new root group, its dialog cancelled.
    void AddRootGroup() { m_window->Actions()->ActionAddRoot->trigger(); }

    QString RootText(int row) const
    {
        return m_window->TreeModel->data(m_window->TreeModel->index(row, 0)).toString();
    }

    TfrmSimMain& w() { return *m_window; }

    FakePrompts prompts;
    QTemporaryDir m_dir;
    std::unique_ptr<TfrmSimMain> m_window;
};

const std::string kBinary = "\x89PNG\r\n\x1A\n\0IHDR\n\x01\x02\n"s + std::string(200, '\0');

struct SaveCase {
    const char* what;
    PromptButton answer;
    bool written;
};

class SaveOverLossTest : public CommandFileLossTest, public ::testing::WithParamInterface<SaveCase> {};

TEST_P(SaveOverLossTest, SaveAsksBeforeWritingOverWhatWasNotShown)
{
    const SaveCase& c = GetParam();
    const QString victim = Path("victim.dat");
    WriteAll(victim, kBinary);
    Open(victim);
    EXPECT_TRUE(prompts.messages.empty()); // not UTF-8: no question on opening
    EXPECT_EQ(w().StatusPanel[2]->text(), QStringLiteral("5 行を読み込めませんでした"));
    EXPECT_EQ(w().windowTitle(), QStringLiteral("Vorpex - victim.dat "));

    AddRootGroup();
    prompts.answers.push_back(c.answer);
    w().Actions()->ActionSave->trigger();
    ASSERT_EQ(prompts.messages.size(), 1u);
    const FakePrompts::Shown question = prompts.messages.back();
    EXPECT_EQ(question.text, QStringLiteral("このファイルには読み込めなかった行が 5 行あります。\r\n"
                                            "上書きすると、それらの行は失われます。\r\n上書き保存しますか？"));
    EXPECT_EQ(question.icon, PromptIcon::Warning);
    EXPECT_EQ(question.buttons, static_cast<int>(PromptButton::Yes) | static_cast<int>(PromptButton::No));
    EXPECT_EQ(question.defaultButton, PromptButton::No);
    EXPECT_EQ(ReadAll(victim), c.written ? kNewGroupLine : kBinary) << c.what;
    EXPECT_EQ(w().Document.Modified(), !c.written) << c.what;
    EXPECT_EQ(w().windowTitle(), c.written ? QStringLiteral("Vorpex - victim.dat ")
                                           : QStringLiteral("Vorpex - victim.dat (変更)"));

    // Once the file holds what the tree shows, saving it again is a plain save.
    AddRootGroup();
    const std::size_t asked = prompts.messages.size();
    prompts.answers.push_back(PromptButton::Yes);
    w().Actions()->ActionSave->trigger();
    EXPECT_EQ(prompts.messages.size(), asked + (c.written ? 0 : 1)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Answers, SaveOverLossTest,
                         ::testing::Values(SaveCase{"いいえ keeps the file", PromptButton::No, false},
                                           SaveCase{"はい writes it", PromptButton::Yes, true}));

TEST_F(CommandFileLossTest, SaveAsWritesWithoutAQuestionAndLeavesTheOldFile)
{
    const QString victim = Path("victim.dat");
    WriteAll(victim, kBinary);
    Open(victim);
    AddRootGroup();
    prompts.fileAnswers.push_back(Path("mine.vpx"));
    w().Actions()->ActionSaveAs->trigger();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(ReadAll(Path("mine.vpx")), kNewGroupLine);
    EXPECT_EQ(ReadAll(victim), kBinary);
}

// Every way of writing over the file the tree came from asks first: Save As
// with the proposed name, and the save offered before the window closes.
struct SameNameCase {
    const char* what;
    bool byClosing;
    PromptButton answer;
};

class SameNameTest : public CommandFileLossTest, public ::testing::WithParamInterface<SameNameCase> {};

TEST_P(SameNameTest, WritingOverTheSourceFileAsksFirst)
{
    const SameNameCase& c = GetParam();
    const QString victim = Path("victim.dat");
    WriteAll(victim, kBinary);
    Open(victim);
    AddRootGroup();
    prompts.fileAnswers.push_back(victim); // the dialog's proposed name, accepted
    if (c.byClosing) {
        prompts.answers.push_back(PromptButton::Yes); // "保存しますか？"
        prompts.answers.push_back(c.answer);
        w().show();
        w().close();
    } else {
        prompts.answers.push_back(c.answer);
        w().Actions()->ActionSaveAs->trigger();
    }
    ASSERT_FALSE(prompts.messages.empty());
    EXPECT_TRUE(prompts.messages.back().text.contains(QStringLiteral("読み込めなかった行が 5 行"))) << c.what;
    const bool written = c.answer == PromptButton::Yes;
    EXPECT_EQ(ReadAll(victim), written ? kNewGroupLine : kBinary) << c.what;
    EXPECT_EQ(w().Document.Modified(), !written) << c.what;
    if (c.byClosing) {
        EXPECT_EQ(w().isVisible(), !written) << c.what << ": a refused save keeps the window open";
    }
}

INSTANTIATE_TEST_SUITE_P(Ways, SameNameTest,
                         ::testing::Values(SameNameCase{"Save As, いいえ", false, PromptButton::No},
                                           SameNameCase{"Save As, はい", false, PromptButton::Yes},
                                           SameNameCase{"closing, いいえ", true, PromptButton::No},
                                           SameNameCase{"closing, はい", true, PromptButton::Yes}));

TEST_F(CommandFileLossTest, AWellFormedFileLoadsQuietlyAndSavesByteForByte)
{
    const std::string bytes = "0 Device\r\n1 \x83\x66\x83\x6F\x83\x43\x83\x58=2:0x01\r\n";
    const QString file = Path("ok.vpx");
    WriteAll(file, bytes);
    w().StatusPanel[2]->setText(QStringLiteral("old report"));
    Open(file);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_TRUE(w().StatusPanel[2]->text().isEmpty());
    w().Document.SetModified(true);
    w().Actions()->ActionSave->trigger();
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(ReadAll(file), bytes);
}

struct Utf8Case {
    const char* what;
    PromptButton answer;
    bool readAsJapanese;  // the first root shows as "デバイス"
    QString status;       // the status bar after loading; any report when empty
};

class Utf8FileTest : public CommandFileLossTest, public ::testing::WithParamInterface<Utf8Case> {};

TEST_P(Utf8FileTest, IsRecognisedAndReadAsTheUserChooses)
{
    const Utf8Case& c = GetParam();
    const QString file = Path("utf8.vpx");
    WriteAll(file, "\xEF\xBB\xBF" "0 デバイス\r\n1 読む=1:\xF0\x9F\x98\x80\r\n");
    Open(file, {c.answer});
    ASSERT_EQ(prompts.messages.size(), 1u) << c.what;
    EXPECT_EQ(prompts.messages[0].text, kUtf8Question);
    EXPECT_EQ(prompts.messages[0].icon, PromptIcon::Question);
    EXPECT_EQ(prompts.messages[0].defaultButton, PromptButton::Yes);
    EXPECT_EQ(RootText(0) == QStringLiteral("デバイス"), c.readAsJapanese) << c.what;
    if (c.status.isEmpty())
        EXPECT_TRUE(w().StatusPanel[2]->text().endsWith(QStringLiteral(" 行を読み込めませんでした"))) << c.what;
    else
        EXPECT_EQ(w().StatusPanel[2]->text(), c.status) << c.what;
    EXPECT_EQ(w().Document.ConvertedFromUtf8(), c.answer == PromptButton::Yes);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, Utf8FileTest,
    ::testing::Values(Utf8Case{"はい: converted, the emoji line counted", PromptButton::Yes, true,
                               QStringLiteral("1 行を読み込めませんでした")},
                      Utf8Case{"いいえ: read as code page 932, as before", PromptButton::No, false, QString()}));

TEST_F(CommandFileLossTest, AConvertedFileIsSavedAsCodePage932AfterTheQuestion)
{
    const QString file = Path("utf8.vpx");
    const std::string original = "0 デバイス\r\n1 読む=1:ｱ\r\n";
    WriteAll(file, original);
    Open(file, {PromptButton::Yes});
    EXPECT_TRUE(w().StatusPanel[2]->text().isEmpty());
    AddRootGroup();

    prompts.answers.push_back(PromptButton::No);
    w().Actions()->ActionSave->trigger();
    ASSERT_EQ(prompts.messages.size(), 2u);
    EXPECT_EQ(prompts.messages[1].text, QStringLiteral("このファイルは UTF-8 から変換して読み込みました。\r\n"
                                                       "上書きすると、シフトJIS で保存されます。\r\n"
                                                       "上書き保存しますか？"));
    EXPECT_EQ(prompts.messages[1].defaultButton, PromptButton::No);
    EXPECT_EQ(ReadAll(file), original);

    prompts.answers.push_back(PromptButton::Yes);
    w().Actions()->ActionSave->trigger();
    EXPECT_EQ(ReadAll(file), "0 \x83\x66\x83\x6F\x83\x43\x83\x58\r\n1 \x93\xC7\x82\xDE=1:\xB1\r\n" + kNewGroupLine);
    EXPECT_FALSE(w().Document.ConvertedFromUtf8());
}

} // namespace
} // namespace vpx::test
