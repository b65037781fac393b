#include "library/CommandTreeView.h"
#include "platform/CodePage.h"
#include "shell/IPEdit.h"
#include "shell/Main.h"
#include "shell/MainActions.h"
#include "shell/NumEdit.h"
#include "shell/ShellTestUtil.h"
#include "support/FakePrompts.h"
#include "traffic/AutoReplyCommands.h"
#include "traffic/SendCommands.h"
#include "traffic/TrafficActions.h"
#include "traffic/RepeatCommands.h"
#include "traffic/TrafficExport.h"
#include "traffic/TrafficExportCommands.h"
#include "traffic/TrafficLogView.h"
#include "transport/TransportTestUtil.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace vpx::test {
namespace {

// The window as the user drives it: the peer's address and port typed into the
// tool bar, commands typed into the command box, a peer socket on 127.0.0.1.
class WindowTraffic : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    }

    TfrmSimMain& Start(const QStringList& arguments = {})
    {
        m_window = std::make_unique<TfrmSimMain>(arguments, &prompts);
        TypePeer();
        return *m_window;
    }

    void TypePeer()
    {
        TypeLoopbackPeer(*m_window, peer.Port());
    }

    void TypeCommand(const QString& text)
    {
        QLineEdit* edit = m_window->cboCommand->lineEdit();
        edit->clear();
        for (const QChar c : text) {
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, c.toLatin1());
            else // beyond ASCII a key event carries its text
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
        QTest::keyClick(edit, Qt::Key_Return);
    }

    const TTrafficLog& Log() const { return m_window->LogView->Model().Log(); }

    static std::string Payload(const TTrafficRecord& r)
    {
        return std::string(reinterpret_cast<const char*>(r.Data.data()), PayloadSize(r));
    }

    QString WriteFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    FakePrompts prompts;
    Peer peer;
    QTemporaryDir m_dir;
    std::unique_ptr<TfrmSimMain> m_window;
};

// A save dialog runs the event loop, and the port goes on receiving: a full log
// drops its oldest record for every datagram. What is saved is what the log (or
// the selection) held when the user asked, none of it freed under the save.
TEST_F(WindowTraffic, SavingTheLogWhileDatagramsPourInWritesWhatWasAskedFor)
{
    TfrmSimMain& w = Start();
    const std::uint16_t windowPort = BoundPort(w.UDPControl.Socket());
    int sent = 0;
    const auto sendNext = [&] {
        const std::uint32_t n = static_cast<std::uint32_t>(sent++);
        return peer.SendTo(windowPort, std::string(reinterpret_cast<const char*>(&n), sizeof n) + "0123456789AB");
    };
    while (sent < MaxLogRecords + 5)
        ASSERT_GT(sendNext(), 0);
    const auto newest = [&] {
        std::uint32_t n = 0;
        const std::string bytes = Payload(*Log().Record(Log().Count() - 1));
        std::memcpy(&n, bytes.data(), sizeof n);
        return static_cast<int>(n);
    };
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() == MaxLogRecords && newest() == sent - 1; }));
    const auto copiesOf = [](const std::vector<const TTrafficRecord*>& records) {
        std::vector<TTrafficRecord> copies;
        for (const TTrafficRecord* r : records)
            copies.push_back(*r);
        return copies;
    };
    prompts.whileFileDialogOpen = [&] {
        const std::uint64_t first = Log().FirstSerial();
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000 && Log().FirstSerial() < first + 300) {
            sendNext();
            QApplication::processEvents(QEventLoop::AllEvents, 2);
        }
        ASSERT_GE(Log().FirstSerial(), first + 300) << "the log should have moved on while the dialog was open";
    };
    const struct {
        QAction* action;
        const char* name;
    } cases[] = {{w.LogExport()->ActionLogSave(), "all.csv"}, {w.LogExport()->ActionLogSaveSelected(), "rows.csv"}};
    for (const auto& c : cases) {
        w.LogView->ShowNewest();
        w.LogView->lstLog()->selectionModel()->select(
            QItemSelection(w.LogView->Model().index(10), w.LogView->Model().index(20)),
            QItemSelectionModel::ClearAndSelect);
        const bool all = c.action == w.LogExport()->ActionLogSave();
        const std::vector<TTrafficRecord> asked = copiesOf(all ? w.LogView->AllRecords() : w.LogView->SelectedRecords());
        ASSERT_EQ(asked.size(), all ? std::size_t{MaxLogRecords} : 11u);
        std::vector<const TTrafficRecord*> pointers;
        for (const TTrafficRecord& r : asked)
            pointers.push_back(&r);
        const QString path = m_dir.filePath(QString::fromLatin1(c.name));
        prompts.fileAnswers.push_back(path);
        c.action->trigger();
        EXPECT_EQ(ReadAll(path), ExportCsv(pointers, TTrafficExportCommands::TextNames())) << c.name;
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(WindowTraffic, DirectInputArrivesByteForByteInBothModesAndByteOrders)
{
    TfrmSimMain& w = Start();
    const struct {
        QAction* mode;
        QAction* order;
        QString typed;
        std::string wire;
    } cases[] = {
        {w.Actions()->ActionMix, w.Actions()->ActionLittleEndian, QStringLiteral("S0x1234, \"A\""),
         std::string("\x34\x12" "A", 3)},
        {w.Actions()->ActionMix, w.Actions()->ActionBigEndian, QStringLiteral("S0x1234, \"A\""),
         std::string("\x12\x34" "A", 3)},
        // Text mode sends the typed characters as code page 932 bytes, untouched.
        {w.Actions()->ActionText, w.Actions()->ActionBigEndian, QStringLiteral("S0x12,表"),
         std::string("S0x12,\x95\x5C", 8)},
        {w.Actions()->ActionText, w.Actions()->ActionLittleEndian, QStringLiteral("\"x\""), "\"x\""},
    };
    int logged = 0;
    for (const auto& c : cases) {
        c.mode->trigger();
        c.order->trigger();
        TypeCommand(c.typed);
        std::string got;
        std::uint16_t from = 0;
        ASSERT_TRUE(peer.Receive(got, from)) << c.typed.toStdString();
        EXPECT_EQ(got, c.wire) << c.typed.toStdString();
        ASSERT_EQ(Log().Count(), ++logged);
        const TTrafficRecord& r = *Log().Record(logged - 1);
        EXPECT_EQ(r.Kind, tkSent);
        EXPECT_EQ(Payload(r), c.wire);
        EXPECT_EQ(r.PeerAddress, "127.0.0.1");
        EXPECT_EQ(r.PeerPort, peer.Port());
        EXPECT_TRUE(r.Comment.empty());
    }
}

TEST_F(WindowTraffic, ACommandWithItsOwnByteOrderIgnoresTheDefault)
{
    const QString file = WriteFile(QStringLiteral("cmds.vpx"), QByteArray("0 Dev\r\n1 Big=3:S0x0102\r\n1 Def=0:S0x0102\r\n"));
    TfrmSimMain& w = Start({QStringLiteral("/c"), file});
    ASSERT_TRUE(prompts.messages.empty());
    w.Actions()->ActionLittleEndian->trigger();
    CommandNode* group = w.Document.Tree().Root(0);
    ASSERT_NE(group, nullptr);
    const struct {
        int child;
        std::string wire;
    } cases[] = {{0, "\x01\x02"}, {1, "\x02\x01"}};
    for (const auto& c : cases) {
        w.tvCommand->Select(group->Child(c.child));
        ASSERT_TRUE(w.Actions()->ActionSendSelected->isEnabled());
        w.Actions()->ActionSendSelected->trigger();
        std::string got;
        std::uint16_t from = 0;
        ASSERT_TRUE(peer.Receive(got, from));
        EXPECT_EQ(got, c.wire);
        EXPECT_EQ(Log().Record(Log().Count() - 1)->Comment, group->Child(c.child)->Name());
    }
}

TEST_F(WindowTraffic, TheCommandBoxSendsTheSelectedCommandsOwnBytes)
{
    // 0x80 has no character, ED 40 shows what FA 5C shows, a lead byte at the end starts none.
    const std::string bytes = "A\x80" "B\xED\x40\x81";
    TfrmSimMain& w = Start();
    w.Actions()->ActionText->trigger();
    CommandNode* node = w.Document.Tree().AddCommand(nullptr, "Odd", {bytes, 1, -1});
    CommandNode* other = w.Document.Tree().AddCommand(nullptr, "Other", {"other", 1, -1});
    const auto wire = [this] {
        std::string got;
        std::uint16_t from = 0;
        EXPECT_TRUE(peer.Receive(got, from));
        return got;
    };

    w.tvCommand->Select(node);
    ASSERT_EQ(w.cboCommand->currentText(), FromAnsi(bytes));
    w.Actions()->ActionSendSelected->trigger();
    EXPECT_EQ(wire(), bytes);
    ASSERT_TRUE(w.Actions()->ActionSend->isEnabled());
    w.Actions()->ActionSend->trigger(); // the send button
    EXPECT_EQ(wire(), bytes);
    QTest::keyClick(w.cboCommand->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(wire(), bytes);
    ASSERT_EQ(w.Send().History().Entries(), std::vector<AnsiString>{bytes});

    // Back from the history: another command fills the box, then the arrow key
    // brings the entry back, and the entry's own bytes go out again.
    TypeCommand(QStringLiteral("x"));
    EXPECT_EQ(wire(), "x");
    w.tvCommand->Select(other);
    ASSERT_EQ(w.cboCommand->currentText(), QStringLiteral("other"));
    QTest::keyClick(w.cboCommand, Qt::Key_Down);
    ASSERT_EQ(w.cboCommand->currentText(), FromAnsi(bytes));
    w.Actions()->ActionSend->trigger();
    EXPECT_EQ(wire(), bytes);

    // Pasted over another command's text, the same characters are written as
    // Windows writes them.
    w.tvCommand->Select(node);
    w.tvCommand->Select(other);
    ASSERT_EQ(w.cboCommand->currentText(), QStringLiteral("other"));
    QLineEdit* edit = w.cboCommand->lineEdit();
    edit->clear();
    edit->insert(FromAnsi(bytes));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(wire(), "A\x80" "B\xFA\x5C\x81");
}

TEST_F(WindowTraffic, TextThatDoesNotCompileSendsAndLogsNothingButEntersTheHistory)
{
    TfrmSimMain& w = Start();
    w.Actions()->ActionMix->trigger();
    TypeCommand(QStringLiteral("01, FF"));
    TypeCommand(QStringLiteral("7"));
    std::string got;
    std::uint16_t from = 0;
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "\x07"); // the first datagram to arrive is the valid one
    EXPECT_EQ(Log().Count(), 1);
    ASSERT_EQ(w.Send().History().Entries().size(), 2u);
    EXPECT_EQ(w.Send().History().Entries()[1], "01, FF");
}

TEST_F(WindowTraffic, SendingWhileClosedLogsNothingAndTheStatusBarSaysWhy)
{
    std::string got;
    std::uint16_t from = 0;
    TfrmSimMain& w = Start();
    w.Actions()->ActionConnect->trigger();
    ASSERT_FALSE(w.UDPControl.Active());
    w.Actions()->ActionMix->trigger();
    TypeCommand(QStringLiteral("1, 2"));
    EXPECT_EQ(Log().Count(), 0);
    EXPECT_EQ(w.StatusPanel[2]->text(), QStringLiteral("ﾎﾟｰﾄが閉じているため送信しませんでした"));
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(peer.Receive(got, from, 150));

    // Connected again, the next send goes out and the notice goes with it.
    w.Actions()->ActionConnect->trigger();
    TypeCommand(QStringLiteral("3"));
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "\x03");
    EXPECT_EQ(Log().Count(), 1);
    EXPECT_TRUE(w.StatusPanel[2]->text().isEmpty());
}

TEST_F(WindowTraffic, ATypoShowsUnderTheBoxAndTheRefusedSendSaysWhyInTheStatusBar)
{
    std::string got;
    std::uint16_t from = 0;
    TfrmSimMain& w = Start();
    w.Actions()->ActionMix->trigger();
    TypeCommand(QStringLiteral("1, %CRCS, 2, %CRCE(CRC-9)"));
    EXPECT_TRUE(w.lblPreview->text().contains(QStringLiteral("14 文字目")));
    EXPECT_EQ(w.StatusPanel[2]->text(), QStringLiteral("送信しませんでした（14 文字目: 知らないCRCｱﾙｺﾞﾘｽﾞﾑ名です）"));
    EXPECT_EQ(Log().Count(), 0);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_FALSE(peer.Receive(got, from, 150));

    TypeCommand(QStringLiteral("1, %CRCS, 2, %CRCE(CRC-8)"));
    EXPECT_EQ(w.lblPreview->text(), QStringLiteral("01 02 0E"));
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "\x01\x02\x0E");
    EXPECT_TRUE(w.StatusPanel[2]->text().isEmpty());
}

TEST_F(WindowTraffic, EscOrClosingThePortStopsARepeat)
{
    TfrmSimMain& w = Start();
    w.Actions()->ActionMix->trigger();
    w.cboCommand->setEditText(QStringLiteral("0x55"));
    w.Repeat().SetPeriodMs(20);
    w.Repeat().ActionRepeat()->trigger();
    ASSERT_TRUE(w.Repeat().Running());
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() >= 3; }));
    // Esc in the window, wherever the focus is inside it.
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(w.cboCommand->lineEdit(), Qt::Key_Escape);
    EXPECT_FALSE(w.Repeat().Running());
    EXPECT_TRUE(w.StatusPanel[2]->text().startsWith(QStringLiteral("停止しました")));

    w.Repeat().ActionRepeat()->trigger();
    ASSERT_TRUE(w.Repeat().Running());
    const int before = Log().Count();
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() >= before + 2; }));
    w.Actions()->ActionConnect->trigger();
    ASSERT_FALSE(w.UDPControl.Active());
    EXPECT_TRUE(WaitUntil([&] { return !w.Repeat().Running(); }, 150)); // one period and a busy machine's slack
    EXPECT_TRUE(w.StatusPanel[2]->text().startsWith(QStringLiteral("ﾎﾟｰﾄが閉じたため停止しました")));
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(WindowTraffic, APeerNotSetSendsNothingAndTheStatusBarSaysWhatToSet)
{
    m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts); // a first start: no peer typed
    TfrmSimMain& w = *m_window;
    ASSERT_TRUE(w.UDPControl.Active());
    EXPECT_EQ(w.ipedtAddress->Address(), QStringLiteral("0.0.0.0"));
    TypeCommand(QStringLiteral("hello"));
    EXPECT_EQ(Log().Count(), 0);
    EXPECT_TRUE(prompts.messages.empty()); // no "未定義のエラー(10022)" box
    EXPECT_EQ(w.StatusPanel[2]->text(), QStringLiteral("送信先のｱﾄﾞﾚｽとﾎﾟｰﾄを設定してください"));
    EXPECT_EQ(w.cboCommand->itemText(0), QStringLiteral("hello"));
}

TEST_F(WindowTraffic, ThePeerTypedIntoTheToolBarComesBackAtTheNextStart)
{
    TfrmSimMain& w = Start();
    w.close();
    m_window.reset();
    {
        QSettings ini(m_dir.filePath(QStringLiteral("config/Norveth/VPX.ini")), QSettings::IniFormat);
        EXPECT_EQ(ini.value(QStringLiteral("Option/PeerAddress")).toString(), QStringLiteral("127.0.0.1"));
        EXPECT_EQ(ini.value(QStringLiteral("Option/PeerPort")).toString(), QString::number(peer.Port()));
    }
    m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    EXPECT_EQ(m_window->ipedtAddress->Address(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(m_window->nedtPort->text(), QString::number(peer.Port()));
    TypeCommand(QStringLiteral("again"));
    std::string got;
    std::uint16_t from = 0;
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, "again");
}

TEST_F(WindowTraffic, AStoredPeerIsTakenOnlyWhenItIsAnAddressAndAPort)
{
    const struct {
        const char* address; // nullptr: not stored
        const char* port;
        QString shownAddress;
        QString shownPort;
    } cases[] = {
        {nullptr, nullptr, QStringLiteral("0.0.0.0"), QStringLiteral("0")},
        {"10.1.2.3", "47350", QStringLiteral("10.1.2.3"), QStringLiteral("47350")},
        {" 10.01.2.3 ", "65535", QStringLiteral("10.1.2.3"), QStringLiteral("65535")},
        {"300.1.1.1", "65536", QStringLiteral("0.0.0.0"), QStringLiteral("0")},
        {"10.1", "-1", QStringLiteral("0.0.0.0"), QStringLiteral("0")},
        {"a.b.c.d", "port", QStringLiteral("0.0.0.0"), QStringLiteral("0")},
        {"1.2.3.4.5", "", QStringLiteral("0.0.0.0"), QStringLiteral("0")},
    };
    const QString file = m_dir.filePath(QStringLiteral("config/Norveth/VPX.ini"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address ? c.address : "(none)");
        QFile::remove(file);
        {
            QSettings ini(file, QSettings::IniFormat);
            if (c.address)
                ini.setValue(QStringLiteral("Option/PeerAddress"), QString::fromLatin1(c.address));
            if (c.port)
                ini.setValue(QStringLiteral("Option/PeerPort"), QString::fromLatin1(c.port));
        }
        m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
        EXPECT_EQ(m_window->ipedtAddress->Address(), c.shownAddress);
        EXPECT_EQ(m_window->nedtPort->text(), c.shownPort);
        m_window.reset();
    }
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(WindowTraffic, ABoxOutOfRangeAtExitKeepsThePeerStoredBefore)
{
    TfrmSimMain& w = Start();
    w.close();
    m_window.reset();
    m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
    m_window->ipedtAddress->Field(0)->setText(QStringLiteral("999"));
    m_window->nedtPort->setText(QStringLiteral("70000"));
    m_window->close();
    m_window.reset();
    EXPECT_TRUE(prompts.messages.empty()); // leaving asks nothing about the boxes
    QSettings ini(m_dir.filePath(QStringLiteral("config/Norveth/VPX.ini")), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Option/PeerAddress")).toString(), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(ini.value(QStringLiteral("Option/PeerPort")).toString(), QString::number(peer.Port()));
}

TEST_F(WindowTraffic, AutoReplyFromTheCommandLineAnswersThePeer)
{
    const QString file = WriteFile(QStringLiteral("rules.vpa"),
                                   QByteArray("1\t0x01, *\treq\tans\t0x81, 0x00\r\n0\t*\t\tnothing\r\n"));
    TfrmSimMain& w = Start({QStringLiteral("/a"), file});
    ASSERT_TRUE(prompts.messages.empty());
    EXPECT_EQ(w.pnlAutoReturnTitle->text(), QStringLiteral("自動返信ﾃﾞｰﾀ - rules.vpa"));
    ASSERT_TRUE(w.Actions()->ActionAutoReturn->isEnabled());
    w.Actions()->ActionAutoReturn->trigger();
    ASSERT_TRUE(w.AutoReply().IsAutoReplyOn());

    // The peer needs the window's port: ask the socket where it is bound.
    const std::uint16_t windowPort = BoundPort(w.UDPControl.Socket());
    ASSERT_GT(peer.SendTo(windowPort, std::string("\x01\x02", 2)), 0);
    std::string got;
    std::uint16_t from = 0;
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() >= 2; }));
    ASSERT_TRUE(peer.Receive(got, from));
    EXPECT_EQ(got, std::string("\x81\x00", 2));
    EXPECT_EQ(Log().Record(0)->Kind, tkReceivedMatched);
    EXPECT_EQ(Log().Record(0)->Comment, "req");
    EXPECT_EQ(Log().Record(1)->Kind, tkAutoReplySent);
    EXPECT_EQ(Log().Record(1)->Comment, "ans");

    // Off: the next datagram is only logged.
    w.Actions()->ActionAutoReturn->trigger();
    ASSERT_GT(peer.SendTo(windowPort, "\x05"), 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() == 3; }));
    EXPECT_EQ(Log().Record(2)->Kind, tkReceived);
}

// The Modbus-RTU read the command line answers, answered by the window: its
// log rows show the captures and why a frame with a bad CRC was not answered,
// and a held answer leaves the window answering the next request at once.
TEST_F(WindowTraffic, AutoReplyAnswersAModbusReadAndTheLogShowsItsCaptures)
{
    // "状態要求" in code page 932, as the window's own files hold it.
    const QString file = WriteFile(
        QStringLiteral("modbus.vpa"),
        QByteArray("1\t%CRCS, 0x01, 0x03, BUS{reg}, BUS{count}, %LCRCE(CRC-16/MODBUS)\t\x8F\xF3\x91\xD4\x97\x76\x8B\x81"
                   "\tread\t%CRCS, 0x01, 0x03, 2, BUS{#}, %LCRCE(CRC-16/MODBUS)\r\n"
                   "1\t0x20\tslow\t\t%DELAY(200), 0xA0\r\n1\t0x21\tfast\t\t0xB1\r\n"));
    TfrmSimMain& w = Start({QStringLiteral("/a"), file});
    ASSERT_TRUE(prompts.messages.empty());
    w.Actions()->ActionAutoReturn->trigger();
    ASSERT_TRUE(w.AutoReply().IsAutoReplyOn());
    const std::uint16_t windowPort = BoundPort(w.UDPControl.Socket());
    const TTrafficLogModel& model = w.LogView->Model();
    const auto rowText = [&](int row) { return model.data(model.index(row, 0), Qt::DisplayRole).toString(); };
    const std::string read("\x01\x03\x00\x07\x00\x01\x35\xCB", 8);
    std::string got;
    std::uint16_t from = 0;
    // The window answers from its event loop, which runs while the peer waits.
    const auto receive = [&](int ms = 3000) { return WaitUntil([&] { return peer.Receive(got, from, 0); }, ms); };
    for (const char* answer : {"\x01\x03\x02\x00\x00\xB8\x44", "\x01\x03\x02\x00\x01\x79\x84"}) {
        ASSERT_GT(peer.SendTo(windowPort, read), 0);
        ASSERT_TRUE(receive());
        EXPECT_EQ(got, std::string(answer, 7));
    }
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() == 4; }));
    EXPECT_TRUE(rowText(0).endsWith(QStringLiteral("\t状態要求 reg=7 count=1"))) << rowText(0).toStdString();
    EXPECT_EQ(Log().Record(0)->Fields, (std::vector<std::pair<std::string, std::string>>{{"reg", "7"}, {"count", "1"}}));
    EXPECT_TRUE(rowText(1).endsWith(QStringLiteral("\tread")));

    std::string corrupt = read;
    corrupt[7] = '\xCC';
    ASSERT_GT(peer.SendTo(windowPort, corrupt), 0);
    ASSERT_TRUE(WaitUntil([&] { return Log().Count() == 5; }));
    EXPECT_EQ(Log().Record(4)->Kind, tkReceived);
    EXPECT_TRUE(rowText(4).endsWith(QStringLiteral("\tCRC-16/MODBUS: 35 CC received, 35 CB expected")))
        << rowText(4).toStdString();
    EXPECT_FALSE(receive(150));

    // The held answer comes after the one asked for later, and about on time.
    QElapsedTimer timer;
    timer.start();
    ASSERT_GT(peer.SendTo(windowPort, "\x20"), 0);
    ASSERT_GT(peer.SendTo(windowPort, "\x21"), 0);
    ASSERT_TRUE(receive());
    EXPECT_EQ(got, "\xB1");
    EXPECT_LT(timer.elapsed(), 150);
    ASSERT_TRUE(receive());
    EXPECT_EQ(got, "\xA0");
    EXPECT_GE(timer.elapsed(), 180);
    EXPECT_LE(timer.elapsed(), 400);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(WindowTraffic, StartUpOpeningIsNeverTracedThoughTheSavedLogIsOn)
{
    {
        QSettings ini(m_dir.filePath(QStringLiteral("config/Norveth/VPX.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("Option/WriteLog"), QStringLiteral("1"));
    }
    const QString log = TfrmSimMain::ProgramFolder() + QStringLiteral("Command.log");
    QFile::remove(log);
    TfrmSimMain& w = Start();
    EXPECT_TRUE(w.UDPControl.Active());
    EXPECT_TRUE(w.UDPControl.WriteLog());
    EXPECT_TRUE(w.TrafficActions()->ActionLog()->isChecked());
    EXPECT_FALSE(QFile::exists(log)); // the port was opened before the setting was applied
    const QByteArray port = QByteArray::number(w.UDPControl.BoundPort());
    w.Actions()->ActionConnect->trigger();
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().endsWith("Port(" + port + ") Disconnected\r\n")) << "the port in use, not 0";
    file.close();
    m_window.reset();
    QFile::remove(log);
}

TEST_F(WindowTraffic, FirstStartRunsOnDefaultsAndExitSavesThem)
{
    TfrmSimMain& w = Start();
    EXPECT_TRUE(w.Actions()->ActionText->isChecked());
    EXPECT_TRUE(w.Actions()->ActionLittleEndian->isChecked());
    EXPECT_EQ(w.LogView->GetViewType(), 0);
    EXPECT_TRUE(w.TrafficActions()->ActionHexLog()->isChecked());
    EXPECT_TRUE(w.Send().History().Entries().empty());
    EXPECT_EQ(w.UDPControl.Port(), 0);
    EXPECT_EQ(w.UDPControl.Priority(), tpNormal);
    EXPECT_FALSE(w.UDPControl.WriteLog());

    w.Actions()->ActionBigEndian->trigger();
    w.TrafficActions()->ActionAscii()->trigger();
    TypeCommand(QStringLiteral("hello"));
    w.close();
    m_window.reset();

    QSettings ini(m_dir.filePath(QStringLiteral("config/Norveth/VPX.ini")), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("ByteOrder")).toString(), QStringLiteral("1"));
    EXPECT_EQ(ini.value(QStringLiteral("ViewType")).toString(), QStringLiteral("2"));
    EXPECT_EQ(ini.value(QStringLiteral("history/Command0")).toString(), QStringLiteral("hello"));
    EXPECT_EQ(ini.value(QStringLiteral("Option/Priority")).toString(), QStringLiteral("3"));
    EXPECT_TRUE(ini.contains(QStringLiteral("Window/Width")));
    EXPECT_TRUE(ini.contains(QStringLiteral("Check/Version")));

    // And the next start comes back as it was left.
    TfrmSimMain& again = Start();
    EXPECT_TRUE(again.Actions()->ActionBigEndian->isChecked());
    EXPECT_EQ(again.LogView->GetViewType(), 2);
    EXPECT_EQ(again.cboCommand->itemText(0), QStringLiteral("hello"));
}

} // namespace
} // namespace vpx::test
