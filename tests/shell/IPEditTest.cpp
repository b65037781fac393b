#include "ShellTestUtil.h"

#include "shell/IPEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <optional>

namespace vpx {
namespace {

TEST(InetAddr, ParsesTheClassicForms)
{
    const struct {
        const char* text;
        std::optional<std::uint32_t> expected;
    } cases[] = {
        {"192.168.1.20", 0xC0A80114u}, {"0.0.0.0", 0u},          {"255.255.255.255", 0xFFFFFFFFu},
        {"10.1", 0x0A000001u},         {"10.1.2", 0x0A010002u},  {"16909060", 0x01020304u},
        {"0x7f.1", 0x7F000001u},       {"010.0.0.1", 0x08000001u}, {"0X0A.0.0.1", 0x0A000001u},
        {"1.2.3.4 rest", 0x01020304u}, {"1.2.3.256", std::nullopt}, {"256.1", std::nullopt},
        {"1.2.3.4.5", std::nullopt},   {"", std::nullopt},        {"abc", std::nullopt},
        {"1..2", std::nullopt},        {"1.2.", std::nullopt},    {"08", std::nullopt},
        {"4294967296", std::nullopt},  {"1.2.3.4x", std::nullopt}, {" 1.2.3.4", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ipedit::InetAddr(c.text), c.expected) << c.text;
}

QStringList FieldTexts(const TIPEdit& edit)
{
    QStringList texts;
    for (int i = 0; i < 4; ++i)
        texts << edit.Field(i)->text();
    return texts;
}

TEST(IPEdit, AddressRoundTrips)
{
    TIPEdit edit;
    EXPECT_EQ(edit.Address(), QStringLiteral("0.0.0.0"));
    const struct {
        const char* written;
        QStringList shown;
        const char* read;
    } cases[] = {
        {"192.168.1.20", {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"), QStringLiteral("20")}, "192.168.1.20"},
        {"not an address", {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255")}, "255.255.255.255"},
        {"127.1", {QStringLiteral("127"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("1")}, "127.0.0.1"},
        {"", {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255")}, "255.255.255.255"},
    };
    for (const auto& c : cases) {
        edit.SetAddress(QString::fromLatin1(c.written));
        EXPECT_EQ(FieldTexts(edit), c.shown) << c.written;
        EXPECT_EQ(edit.Address(), QString::fromLatin1(c.read)) << c.written;
    }
}

TEST(IPEdit, ReadingAnEmptyFieldRaisesTheRangeError)
{
    TIPEdit edit;
    edit.SetAddress(QStringLiteral("10.0.0.1"));
    edit.Field(2)->setText(QString());
    try {
        edit.Address();
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("0 から 255 の間の値でなければなりません"));
    }
    edit.SetEnableException(false);
    EXPECT_EQ(edit.Address(), QStringLiteral("10.0.0.1"));
}

TEST(IPEdit, LaysOutFourFieldsBetweenThreeSeparators)
{
    TIPEdit edit;
    EXPECT_EQ(edit.size(), QSize(153, 17));
    EXPECT_EQ(edit.focusPolicy(), Qt::NoFocus);
    edit.show(); // a hidden widget gets its resize events when shown
    for (int width : {153, 200, 97}) {
        edit.resize(width, 21);
        ASSERT_TRUE(test::WaitUntil([&] { return edit.Field(3)->height() == 21; }));
        const int sep = edit.Separator(0)->width();
        const int fw = (width - 3 * sep) / 4;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(edit.Field(i)->geometry(), QRect(i * (fw + sep), 0, fw, 21)) << width << ' ' << i;
            EXPECT_EQ(edit.Field(i)->Max(), 255u);
            EXPECT_EQ(edit.Field(i)->property("tag").toInt(), i);
        }
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(edit.Separator(i)->x(), i * (fw + sep) + fw);
    }
    EXPECT_EQ(edit.Separator(1)->text(), QStringLiteral(" . "));
}

TEST(IPEdit, PassesSettingsToTheFields)
{
    TIPEdit edit;
    edit.SetEditAlignment(taLeftJustify);
    edit.SetEnableException(false);
    edit.SetEditColor(QColor(Qt::yellow));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(edit.Field(i)->Alignment(), taLeftJustify);
        EXPECT_FALSE(edit.Field(i)->EnableException());
        EXPECT_EQ(edit.Field(i)->palette().color(QPalette::Base), QColor(Qt::yellow));
    }
}

struct IPWindow {
    QWidget window;
    QLineEdit* before = new QLineEdit;
    TIPEdit* ip = new TIPEdit;
    QLineEdit* after = new QLineEdit;
    IPWindow()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(ip);
        layout->addWidget(after);
        ip->setMinimumSize(200, 24);
    }
};

TEST(IPEdit, FocusMovesBetweenFields)
{
    IPWindow w;
    ASSERT_TRUE(test::ShowActive(w.window));
    TNumEdit* f0 = w.ip->Field(0);
    TNumEdit* f1 = w.ip->Field(1);
    ASSERT_TRUE(test::FocusOn(f0));
    f0->selectAll();
    QTest::keyClicks(f0, QStringLiteral("192"));
    EXPECT_TRUE(f1->hasFocus()) << "a full field moves on";
    EXPECT_EQ(f0->text(), QStringLiteral("192"));

    // Left at the start of a field goes back; elsewhere it moves the caret.
    f1->deselect();
    f1->setText(QStringLiteral("16"));
    f1->setCursorPosition(1);
    QTest::keyClick(f1, Qt::Key_Left);
    EXPECT_TRUE(f1->hasFocus());
    EXPECT_EQ(f1->cursorPosition(), 0);
    QTest::keyClick(f1, Qt::Key_Left);
    EXPECT_TRUE(f0->hasFocus());

    // Right at the end goes on; with Shift it only extends the selection.
    f0->deselect();
    f0->setCursorPosition(3);
    QTest::keyClick(f0, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(f0, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(f0->hasFocus());
    f0->setCursorPosition(3);
    QTest::keyClick(f0, Qt::Key_Right);
    EXPECT_TRUE(f1->hasFocus());

    // The last field leaves the box for the next control.
    TNumEdit* f3 = w.ip->Field(3);
    ASSERT_TRUE(test::FocusOn(f3));
    f3->selectAll();
    QTest::keyClicks(f3, QStringLiteral("100"));
    EXPECT_TRUE(w.after->hasFocus());
    EXPECT_EQ(w.ip->Address(), QStringLiteral("192.16.0.100"));
}

TEST(IPEdit, SwitchesTurnTheMovesOff)
{
    IPWindow w;
    w.ip->SetAutoTab(false);
    w.ip->SetTabArrow(false);
    ASSERT_TRUE(test::ShowActive(w.window));
    TNumEdit* f1 = w.ip->Field(1);
    ASSERT_TRUE(test::FocusOn(f1));
    f1->selectAll();
    QTest::keyClicks(f1, QStringLiteral("123"));
    EXPECT_TRUE(f1->hasFocus());
    QTest::keyClick(f1, Qt::Key_Right);
    EXPECT_TRUE(f1->hasFocus());
    f1->setCursorPosition(0);
    QTest::keyClick(f1, Qt::Key_Left);
    EXPECT_TRUE(f1->hasFocus());
}

TEST(IPEdit, WritingTheAddressDoesNotMoveTheFocus)
{
    IPWindow w;
    ASSERT_TRUE(test::ShowActive(w.window));
    ASSERT_TRUE(test::FocusOn(w.ip->Field(0)));
    w.ip->SetAddress(QStringLiteral("192.168.100.200"));
    EXPECT_TRUE(w.ip->Field(0)->hasFocus());
}

TEST(IPEdit, OutOfRangeFieldKeepsTheFocusOnAutoTab)
{
    IPWindow w;
    QStringList errors;
    w.ip->SetOnError([&](const EInvalidOperation& e) { errors << e.Message(); });
    ASSERT_TRUE(test::ShowActive(w.window));
    TNumEdit* f0 = w.ip->Field(0);
    ASSERT_TRUE(test::FocusOn(f0));
    f0->selectAll();
    QTest::keyClicks(f0, QStringLiteral("300"));
    EXPECT_TRUE(f0->hasFocus());
    EXPECT_EQ(f0->selectedText(), QStringLiteral("300"));
    EXPECT_EQ(errors, QStringList{QStringLiteral("0 から 255 の間の値でなければなりません")});
}

} // namespace
} // namespace vpx
