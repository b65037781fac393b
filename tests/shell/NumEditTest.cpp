#include "ShellTestUtil.h"

#include "shell/NumEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <optional>

namespace vpx {
namespace {

using test::CountingNumEdit;

TEST(NumEditRules, ParsesOnlyUnsigned32BitDecimal)
{
    const struct {
        const char* text;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {"0", 0u},           {"65535", 65535u},      {"4294967295", 4294967295u}, {"4294967296", std::nullopt},
        {"", std::nullopt},  {"-1", std::nullopt},   {"-0", 0u},                  {"+12", 12u},
        {"12a", std::nullopt}, {" 1", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numedit::ParseUnsigned(c.text), c.expected) << c.text;
}

TEST(NumEditRules, MaximumLengthIsTheDigitCountOfMax)
{
    const struct {
        std::uint32_t max;
        int digits;
    } cases[] = {{0, 1}, {9, 1}, {10, 2}, {99, 2}, {100, 3}, {255, 3}, {65535, 5},
                 {999999999, 9}, {1000000000, 10}, {4294967295u, 10}};
    for (const auto& c : cases)
        EXPECT_EQ(numedit::DigitCount(c.max), c.digits) << c.max;
}

std::string DigitsOf(const std::array<bool, 10>& allowed)
{
    std::string s;
    for (int d = 0; d < 10; ++d)
        if (allowed[static_cast<std::size_t>(d)])
            s += static_cast<char>('0' + d);
    return s;
}

TEST(NumEdit, MaxFiveAllowsDigitsZeroToFiveInOnePlace)
{
    CountingNumEdit edit;
    edit.SetMax(5);
    EXPECT_EQ(edit.maxLength(), 1);
    EXPECT_EQ(DigitsOf(edit.AllowedDigitsFilter()), "012345");
    QTest::keyClick(&edit, Qt::Key_End);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_7);
    EXPECT_EQ(edit.text(), QString());
    EXPECT_EQ(edit.beeps, 1);
    QTest::keyClick(&edit, Qt::Key_4);
    EXPECT_EQ(edit.text(), QStringLiteral("4"));
}

TEST(NumEdit, Min700Max705AllowsTheDigitsOfItsValues)
{
    CountingNumEdit edit;
    edit.SetMax(1000);
    edit.SetMin(700);
    EXPECT_EQ(edit.text(), QStringLiteral("700"));
    edit.SetMax(705);
    EXPECT_EQ(edit.maxLength(), 3);
    EXPECT_EQ(DigitsOf(edit.AllowedDigitsFilter()), "0123457");
    // Writing Min leaves the filter as Max made it.
    edit.SetMin(703);
    EXPECT_EQ(DigitsOf(edit.AllowedDigitsFilter()), "0123457");
}

TEST(NumEdit, WideRangesAllowEveryDigit)
{
    CountingNumEdit edit;
    edit.SetMax(65535);
    EXPECT_EQ(DigitsOf(edit.AllowedDigitsFilter()), "0123456789");
    edit.SetMax(9); // 0..9: ten values, still under the threshold
    EXPECT_EQ(DigitsOf(edit.AllowedDigitsFilter()), "0123456789");
}

TEST(NumEdit, RefusedKeysBeepAndInsertNothing)
{
    CountingNumEdit edit;
    edit.SetMax(65535);
    EXPECT_EQ(edit.maxLength(), 5);
    edit.setText(QStringLiteral("12"));
    edit.setCursorPosition(2);
    const Qt::Key refused[] = {Qt::Key_A, Qt::Key_Space, Qt::Key_Minus, Qt::Key_Period, Qt::Key_Return};
    for (const Qt::Key key : refused)
        QTest::keyClick(&edit, key);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_EQ(edit.beeps, 5);
    // Control keys pass without a beep.
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    EXPECT_EQ(edit.selectedText(), QStringLiteral("1"));
    EXPECT_EQ(edit.beeps, 5);
}

TEST(NumEdit, DefaultsAndInputMethodOff)
{
    TNumEdit edit;
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    EXPECT_EQ(edit.Min(), 0u);
    EXPECT_EQ(edit.Max(), 100u);
    EXPECT_EQ(edit.maxLength(), 3);
    EXPECT_EQ(edit.Alignment(), taRightJustify);
    EXPECT_TRUE(edit.alignment() & Qt::AlignRight);
    EXPECT_TRUE(edit.EnableException());
    EXPECT_EQ(edit.size(), QSize(121, 25));
    EXPECT_FALSE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    edit.SetAlignment(taCenter);
    EXPECT_TRUE(edit.alignment() & Qt::AlignHCenter);
}

TEST(NumEdit, WritingValueClampsAndReplacesTheText)
{
    TNumEdit edit;
    edit.SetMax(255);
    edit.SetValue(300);
    EXPECT_EQ(edit.text(), QStringLiteral("255"));
    edit.setText(QStringLiteral("17"));
    edit.SetValue(255); // the value it already holds: the typed text still goes
    EXPECT_EQ(edit.text(), QStringLiteral("255"));
    edit.SetMin(200);
    edit.SetValue(3);
    EXPECT_EQ(edit.text(), QStringLiteral("200"));
}

TEST(NumEdit, WritingTheSameValueClearsInvalidTypedText)
{
    const struct {
        const char* typed;
    } cases[] = {{"999"}, {""}, {"0"}, {"70"}};
    for (const auto& c : cases) {
        CountingNumEdit edit;
        edit.SetMax(100);
        edit.SetValue(70);
        edit.setText(QString::fromLatin1(c.typed));
        edit.SetValue(70);
        EXPECT_EQ(edit.text(), QStringLiteral("70")) << c.typed;
        EXPECT_EQ(edit.Value(), 70u) << c.typed;
        EXPECT_EQ(edit.beeps, 0) << c.typed;
    }
}

TEST(NumEdit, ReadingValueChecksTheText)
{
    CountingNumEdit edit;
    edit.SetMax(65535);
    edit.setText(QStringLiteral("8080"));
    EXPECT_EQ(edit.Value(), 8080u);

    edit.setText(QString());
    try {
        edit.Value();
        FAIL() << "no error for an empty box";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("0 から 65535 の間の値でなければなりません"));
        EXPECT_STREQ(e.what(), "0 から 65535 の間の値でなければなりません");
    }
    EXPECT_EQ(edit.beeps, 1);

    edit.SetEnableException(false);
    EXPECT_EQ(edit.Value(), 8080u); // the last valid one
    edit.setText(QStringLiteral("70000"));
    EXPECT_EQ(edit.Value(), 8080u);
    EXPECT_EQ(edit.text(), QStringLiteral("70000"));
    EXPECT_EQ(edit.beeps, 1);
}

TEST(NumEdit, BoundWritersRefuseCrossedRanges)
{
    const auto message = [](auto&& f) {
        try {
            f();
        } catch (const EInvalidOperation& e) {
            return e.Message();
        }
        return QString();
    };
    TNumEdit edit;
    edit.SetMax(1000);
    edit.SetMin(700);
    EXPECT_EQ(message([&] { edit.SetMax(600); }), QStringLiteral("701 から 2147483647 の間の値でなければなりません"));
    EXPECT_EQ(edit.Max(), 1000u);
    EXPECT_EQ(edit.maxLength(), 4);
    EXPECT_EQ(message([&] { edit.SetMin(1001); }), QStringLiteral("0 から 999 の間の値でなければなりません"));
    EXPECT_EQ(edit.Min(), 700u);
    // Min equal to Max is a valid one-value range.
    EXPECT_EQ(message([&] { edit.SetMin(1000); }), QString());
    EXPECT_EQ(edit.text(), QStringLiteral("1000"));
}

TEST(NumEdit, PasteTakesOnlyAllowedDigits)
{
    CountingNumEdit edit;
    edit.SetMax(65535);
    edit.setText(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("12a"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QString());
    QGuiApplication::clipboard()->setText(QString());
    edit.Paste();
    EXPECT_EQ(edit.text(), QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    EXPECT_EQ(edit.beeps, 0);

    CountingNumEdit small;
    small.SetMax(5);
    small.setText(QString());
    QGuiApplication::clipboard()->setText(QStringLiteral("7"));
    small.Paste();
    EXPECT_EQ(small.text(), QString());
}

TEST(NumEdit, LeavingWithAnOutOfRangeTextKeepsTheFocus)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* port = new CountingNumEdit;
    auto* other = new QLineEdit;
    layout->addWidget(port);
    layout->addWidget(other);
    port->SetMax(65535);
    QStringList errors;
    port->OnError = [&](const EInvalidOperation& e) { errors << e.Message(); };
    ASSERT_TRUE(test::ShowActive(window));
    ASSERT_TRUE(test::FocusOn(port));

    port->selectAll();
    QTest::keyClicks(port, QStringLiteral("70000"));
    EXPECT_EQ(port->text(), QStringLiteral("70000"));
    QTest::keyClick(port, Qt::Key_Tab);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(errors[0], QStringLiteral("0 から 65535 の間の値でなければなりません"));
    EXPECT_TRUE(port->hasFocus());
    EXPECT_EQ(port->selectedText(), QStringLiteral("70000"));
    EXPECT_EQ(port->beeps, 1);

    // A valid number lets the focus go and becomes the cached value.
    QTest::keyClicks(port, QStringLiteral("8080"));
    QTest::keyClick(port, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(errors.size(), 1);
    port->SetEnableException(false);
    port->setText(QString());
    EXPECT_EQ(port->Value(), 8080u);

    // Without exceptions an invalid text stays and the focus leaves.
    ASSERT_TRUE(test::FocusOn(port));
    port->setText(QStringLiteral("99999"));
    QTest::keyClick(port, Qt::Key_Tab);
    EXPECT_TRUE(other->hasFocus());
    EXPECT_EQ(port->text(), QStringLiteral("99999"));
    EXPECT_EQ(errors.size(), 1);
}

} // namespace
} // namespace vpx
