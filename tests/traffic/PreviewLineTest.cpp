#include "traffic/SendTestRig.h"

#include "library/CommandPropDlg.h"
#include "library/PayloadPreview.h"
#include "library/PreviewLine.h"
#include "library/RadioGroup.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>

namespace vpx::test {
namespace {

QString Shown(const QLabel& label)
{
    // The label is rich text; what the user reads is its plain form.
    QString s = label.text();
    s.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    return s.replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""));
}

TEST(PayloadPreview, DescribesBytesTextAndFaults)
{
    struct Case {
        bool textMode;
        std::uint8_t order;
        std::string text;
        PayloadPreview::State kind;
        QString shown;
        int errorIndex = -1;
        int errorLength = 0;
    };
    const std::string longMixed = [] {
        std::string s;
        for (int i = 0; i < 70; ++i)
            s += (i ? ", " : "") + std::to_string(i);
        return s;
    }();
    const QString first64 = [] {
        QString s;
        for (int i = 0; i < 64; ++i)
            s += (i ? QStringLiteral(" ") : QString()) + QStringLiteral("%1").arg(i, 2, 16, QLatin1Char('0')).toUpper();
        return s;
    }();
    const Case cases[] = {
        {false, 0, "", PayloadPreview::State::Empty, QString()},
        // What compiles but is left out is said beside the bytes, or alone when no byte remains.
        {false, 0, "%LENS, %XORS", PayloadPreview::State::Empty,
         QStringLiteral("警告: 1 文字目で始まる範囲は終わりがなく、何も加えません / "
                        "8 文字目で始まる範囲は終わりがなく、何も加えません")},
        {false, 0, "1, \"HELLO", PayloadPreview::State::Bytes,
         QStringLiteral("01（警告: 4 文字目の引用符が閉じていないため、そこから後は送りません）")},
        {false, 0, "\"\x82\xA0\", %LENE", PayloadPreview::State::Bytes,
         QStringLiteral("82 A0（警告: 6 文字目の範囲の終わりには始まりがなく、何も加えません）")},
        {true, 0, "1, \"HELLO", PayloadPreview::State::Bytes, QStringLiteral("1, \"HELLO")},
        {false, 0, "S1, \"A\"", PayloadPreview::State::Bytes, QStringLiteral("01 00 41")},
        {false, 1, "S1, \"A\"", PayloadPreview::State::Bytes, QStringLiteral("00 01 41")},
        {false, 0, "%CRCS, \"123456789\", %BCRCE(CRC-16/MODBUS)", PayloadPreview::State::Bytes,
         QStringLiteral("31 32 33 34 35 36 37 38 39 4B 37")},
        {false, 0, longMixed, PayloadPreview::State::Bytes, first64 + QStringLiteral(" … (70 ﾊﾞｲﾄ)")},
        {true, 0, "01, zz", PayloadPreview::State::Bytes, QStringLiteral("01, zz")},
        // Text mode cuts on a character, never inside a double-byte one.
        {true, 0, std::string(63, 'a') + "\x82\xA0" + "b", PayloadPreview::State::Bytes,
         QString(63, QLatin1Char('a')) + QStringLiteral(" … (66 ﾊﾞｲﾄ)")},
        {false, 0, "01, %FOO, 02", PayloadPreview::State::Error,
         QStringLiteral("5 文字目: 知らないｷｰﾜｰﾄﾞです"), 4, 4},
        // Positions count characters: the double-byte character is one.
        {false, 0, "\"\x82\xA0\", zz", PayloadPreview::State::Error,
         QStringLiteral("6 文字目: 数値として読めないか、範囲を超えています"), 5, 2},
        {false, 0, "1,,2", PayloadPreview::State::Error, QStringLiteral("3 文字目: ｶﾝﾏの間が空です"), 2, 0},
        {false, 0, "%CRCS, 1, %CRCE(CRC-7)", PayloadPreview::State::Error,
         QStringLiteral("11 文字目: 知らないCRCｱﾙｺﾞﾘｽﾞﾑ名です"), 10, 12},
        {false, 0, "1, ?", PayloadPreview::State::Error,
         QStringLiteral("4 文字目: ﾜｲﾙﾄﾞｶｰﾄﾞは比較ﾃﾞｰﾀにだけ書けます"), 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const PayloadPreview p = DescribePayload(c.textMode, c.order, c.text);
        EXPECT_EQ(p.Kind, c.kind);
        EXPECT_EQ(p.Text, c.shown);
        EXPECT_EQ(p.ErrorIndex, c.errorIndex);
        EXPECT_EQ(p.ErrorLength, c.errorLength);
    }
}

TEST(PreviewLine, CommandBoxShowsTheTyposPositionAndAFixClearsIt)
{
    SendRig rig;
    QLineEdit* edit = rig.cboCommand.lineEdit();
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("01, %LENS, 02, %LEME"));
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("16 文字目: 知らないｷｰﾜｰﾄﾞです"));

    // A click on the position selects the faulty token.
    QTest::keyClick(edit, Qt::Key_End);
    ASSERT_TRUE(rig.send->Preview()->ShowError());
    EXPECT_EQ(edit->selectedText(), QStringLiteral("%LEME"));

    // Typing over the selection fixes it; the line follows each key.
    QTest::keyClicks(edit, QStringLiteral("%LENE"));
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("01 02 01"));
    EXPECT_FALSE(rig.send->Preview()->ShowError());

    // The mode and the default byte order are part of what goes out.
    rig.cboCommand.setEditText(QStringLiteral("1, \"A"));
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("01（警告: 4 文字目の引用符が閉じていないため、そこから後は送りません）"));
    rig.cboCommand.setEditText(QStringLiteral("S1"));
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("01 00"));
    rig.ActionBigEndian.trigger();
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("00 01"));
    rig.ActionText.trigger();
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("S1"));
    rig.ActionMix.trigger();
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("00 01"));
    // A text that is markup is shown as it is, not interpreted.
    rig.ActionText.trigger();
    rig.cboCommand.setEditText(QStringLiteral("<b>&"));
    EXPECT_EQ(Shown(rig.lblPreview), QStringLiteral("<b>&"));
}

TEST(PreviewLine, ALongCommandIsDescribedWhenTypingPauses)
{
    SendRig rig;
    QLineEdit* edit = rig.cboCommand.lineEdit();
    edit->setMaxLength(40000);
    std::string big;
    while (big.size() < 30000)
        big += "0x41, ";
    big += "0x42";
    rig.cboCommand.setEditText(FromAnsi(big));
    // Each key only restarts the wait; the old line stays until the pause.
    ASSERT_TRUE(rig.send->Preview()->Pending());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, QStringLiteral(", zz"));
    EXPECT_TRUE(rig.send->Preview()->Pending());
    EXPECT_TRUE(rig.lblPreview.text().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.send->Preview()->Pending(); }, 2000));
    EXPECT_EQ(rig.send->Preview()->Current().ErrorIndex, static_cast<int>(big.size()) + 2);
    EXPECT_TRUE(Shown(rig.lblPreview).endsWith(QStringLiteral("数値として読めないか、範囲を超えています")));
}

TEST(PreviewLine, RefusedSendSaysWhyInTheNoticeAndASendClearsIt)
{
    SendRig rig;
    QStringList notices;
    rig.send->OnNotice = [&](const QString& text) { notices << text; };
    rig.TypeAndEnter(QStringLiteral("1, 2, %CRCE"));
    EXPECT_TRUE(rig.PeerQuiet());
    EXPECT_EQ(rig.Count(), 0);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices.back(), QStringLiteral("送信しませんでした（7 文字目: %CRCE の後には (ｱﾙｺﾞﾘｽﾞﾑ名) が要ります）"));
    EXPECT_TRUE(rig.prompts.messages.empty());
    rig.TypeAndEnter(QStringLiteral("1, 2"));
    EXPECT_EQ(rig.PeerReceive(), Bytes({1, 2}));
    ASSERT_EQ(notices.size(), 2);
    EXPECT_TRUE(notices.back().isEmpty());
}

TEST(PreviewLine, ASendThatLeavesPartOutSaysSoInTheNotice)
{
    SendRig rig;
    QStringList notices;
    rig.send->OnNotice = [&](const QString& text) { notices << text; };
    const QString quote = QStringLiteral("4 文字目の引用符が閉じていないため、そこから後は送りません");
    const struct {
        QString typed;
        std::string wire; // empty: nothing goes out
        QString notice;
    } steps[] = {
        {QStringLiteral("1, \"HELLO"), Bytes({1}), QStringLiteral("送信しました（警告: %1）").arg(quote)},
        {QStringLiteral("%LENE"), {},
         QStringLiteral("送信しませんでした（1 文字目の範囲の終わりには始まりがなく、何も加えません）")},
        {QStringLiteral("1, 2"), Bytes({1, 2}), QString()}, // the warning shown no longer holds
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.typed.toStdString());
        notices.clear();
        rig.TypeAndEnter(s.typed);
        if (s.wire.empty())
            EXPECT_TRUE(rig.PeerQuiet());
        else
            EXPECT_EQ(rig.PeerReceive(), s.wire);
        EXPECT_EQ(notices, QStringList{s.notice});
    }
}

TEST(PreviewLine, PropertiesDialogFollowsTextModeAndByteOrder)
{
    TfrmCommandProp dialog;
    dialog.SetDefaultByteOrder(1);
    dialog.rdgMode->SetItemIndex(0);
    dialog.rdgByteOrder->SetItemIndex(0);
    dialog.edtCommand->setText(QStringLiteral("%CRCS, \"123456789\", %CRCE(crc-32)"));
    const QString digits = QStringLiteral("31 32 33 34 35 36 37 38 39 ");
    EXPECT_EQ(Shown(*dialog.lblPreview), digits + QStringLiteral("CB F4 39 26"));
    dialog.rdgByteOrder->SetItemIndex(1);
    EXPECT_EQ(Shown(*dialog.lblPreview), digits + QStringLiteral("26 39 F4 CB"));
    dialog.rdgMode->SetItemIndex(1);
    EXPECT_EQ(Shown(*dialog.lblPreview), QStringLiteral("%CRCS, \"123456789\", %CRCE(crc-32)"));
    dialog.rdgMode->SetItemIndex(0);

    dialog.edtCommand->setText(QStringLiteral("%CRCS, ?, %CRCE(CRC-8)"));
    EXPECT_EQ(Shown(*dialog.lblPreview),
              QStringLiteral("8 文字目: ﾜｲﾙﾄﾞｶｰﾄﾞは比較ﾃﾞｰﾀにだけ書けます"));
    // The position is a link: following it selects the token.
    emit dialog.lblPreview->linkActivated(QStringLiteral("error"));
    EXPECT_EQ(dialog.edtCommand->selectedText(), QStringLiteral("?"));
    dialog.edtCommand->setText(QStringLiteral("%CRCS, 0x01, %CRCE(CRC-8)"));
    EXPECT_EQ(Shown(*dialog.lblPreview), QStringLiteral("01 07"));
}

} // namespace
} // namespace vpx::test
