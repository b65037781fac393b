#include "shell/Settings.h"
#include "support/TestSupport.h"

#include "platform/Registry.h"
#include "transport/UDPCtrl.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <string>

namespace vpx {
namespace {

const QString kKey = QStringLiteral("Software\\Norveth\\VPX");
const QRect kWorkArea(0, 0, 1920, 1040);

class SettingsTest : public test::TempConfigTest {
protected:
    // Writes raw values as another program (or a hand edit) might have left them.
    void Store(const std::map<QString, QVariant>& values)
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("Norveth")));
        QSettings s(IniFile(), QSettings::IniFormat);
        for (const auto& [k, v] : values)
            s.setValue(k, v);
    }
};

// The window's side of the options, as plain values with the design-time state of
// the window before anything was loaded.
struct FakeOptions {
    int viewType = -1;
    int sendMode = 0;  // ActionMix checked at design time
    int byteOrder = 0; // ActionLittleEndian checked at design time
    QStringList history;
    TUDPControl udp;
    QAction log{nullptr};
    QAction hexLog{nullptr};
    QAction asciiLog{nullptr};

    FakeOptions()
    {
        for (QAction* a : {&log, &hexLog, &asciiLog})
            a->setCheckable(true);
    }

    TSettingsTarget Target()
    {
        TSettingsTarget t;
        t.ViewType = [this] { return viewType; };
        t.SetViewType = [this](int v) {
            if (v >= 0 && v <= 2)
                viewType = v;
        };
        t.SendMode = [this] { return sendMode; };
        t.SetSendMode = [this](int v) {
            if (v == 0 || v == 1)
                sendMode = v;
        };
        t.DefaultByteOrder = [this] { return byteOrder; };
        t.SetDefaultByteOrder = [this](int v) { byteOrder = v == 1 ? 1 : 0; };
        t.History = [this] { return history; };
        t.AppendHistory = [this](const QString& s) { history << s; };
        t.UDPControl = &udp;
        t.ActionLog = &log;
        t.ActionHexLog = &hexLog;
        t.ActionAsciiLog = &asciiLog;
        return t;
    }
};

// The main window's placement, as a bare window with a header and two pane sizes.
struct FakeWindow {
    QWidget window;
    QStandardItemModel model{0, 4};
    QHeaderView header{Qt::Horizontal};
    int topPaneTop = 60;
    int topPane = 244;
    int leftPane = 128;
    bool minimised = false;
    int paneSets = 0;

    FakeWindow()
    {
        window.setGeometry(100, 100, 632, 453); // what the system chose on creation
        header.setModel(&model);
        header.resize(400, 20);
        for (int i = 0; i < 4; ++i)
            header.resizeSection(i, 70 + i);
    }

    TWindowPlacementTarget Target()
    {
        TWindowPlacementTarget t;
        t.Window = &window;
        t.Header = &header;
        t.WorkArea = [] { return kWorkArea; };
        t.TopPaneTop = [this] { return topPaneTop; };
        t.TopPaneHeight = [this] { return topPane; };
        t.SetTopPaneHeight = [this](int h) {
            topPane = h;
            ++paneSets;
        };
        t.LeftPaneWidth = [this] { return leftPane; };
        t.SetLeftPaneWidth = [this](int w) {
            leftPane = w;
            ++paneSets;
        };
        t.MinimizeApplication = [this] { minimised = true; };
        return t;
    }
};

TEST_F(SettingsTest, FirstStartRunsOnEveryDefault)
{
    FakeOptions o;
    o.udp.SetPriority(tpIdle);
    o.udp.SetSleepTime(9);
    o.udp.SetWriteLog(true);
    o.udp.SetLogType(ltAscii);
    o.log.setChecked(true);
    o.asciiLog.setChecked(true);
    o.udp.LoadFromRegistry(kKey, QStringLiteral("Option"));
    LoadSettings(o.Target(), kKey);

    EXPECT_EQ(o.viewType, 0);  // hexadecimal view
    EXPECT_EQ(o.sendMode, 1);  // text mode
    EXPECT_EQ(o.byteOrder, 0); // little-endian
    EXPECT_EQ(o.udp.LogType(), ltHexList);
    EXPECT_TRUE(o.hexLog.isChecked());
    EXPECT_FALSE(o.asciiLog.isChecked());
    EXPECT_TRUE(o.history.isEmpty());
    EXPECT_EQ(o.udp.Port(), 0);
    EXPECT_EQ(o.udp.Priority(), tpNormal);
    EXPECT_EQ(o.udp.SleepTime(), 0);
    EXPECT_FALSE(o.udp.WriteLog());
    EXPECT_FALSE(o.log.isChecked());

    FakeWindow w;
    RestoreWindowPlacement(w.Target(), kKey);
    EXPECT_EQ(w.window.geometry(), QRect(960 - 316, 520 - 226, 632, 453)); // centred in the work area
    EXPECT_EQ(w.paneSets, 0);
    EXPECT_EQ(w.header.sectionSize(0), 70);
    EXPECT_FALSE(w.minimised);
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("Norveth/VPX.ini")))); // reading writes nothing
}

TEST_F(SettingsTest, EveryValueRoundTrips)
{
    {
        FakeOptions o;
        o.viewType = 2;
        o.sendMode = 0;
        o.byteOrder = 1;
        o.history = {QStringLiteral("\"abc\" 01 02"), QStringLiteral("日本語, comma"), QStringLiteral("x=1;y")};
        o.udp.SetLogType(ltAscii);
        o.udp.SetPriority(tpHighest);
        o.udp.SetSleepTime(25);
        o.udp.SetWriteLog(true);
        o.udp.SetPort(40001);
        SaveSettings(o.Target(), kKey);
        o.udp.SaveToRegistry(kKey, QStringLiteral("Option"));

        FakeWindow w;
        w.window.setGeometry(10, 20, 700, 500);
        w.topPane = 200;
        w.leftPane = 150;
        w.header.resizeSection(0, 40);
        w.header.resizeSection(1, 50);
        w.header.resizeSection(2, 60);
        SaveWindowPlacement(w.Target(), kKey);
    }
    FakeOptions o;
    o.udp.LoadFromRegistry(kKey, QStringLiteral("Option"));
    LoadSettings(o.Target(), kKey);
    EXPECT_EQ(o.viewType, 2);
    EXPECT_EQ(o.sendMode, 0);
    EXPECT_EQ(o.byteOrder, 1);
    EXPECT_EQ(o.history, (QStringList{QStringLiteral("\"abc\" 01 02"), QStringLiteral("日本語, comma"),
                                      QStringLiteral("x=1;y")}));
    EXPECT_EQ(o.udp.LogType(), ltAscii);
    EXPECT_FALSE(o.hexLog.isChecked());
    EXPECT_TRUE(o.asciiLog.isChecked());
    EXPECT_EQ(o.udp.Priority(), tpHighest);
    EXPECT_EQ(o.udp.SleepTime(), 25);
    EXPECT_TRUE(o.udp.WriteLog());
    EXPECT_TRUE(o.log.isChecked());
    EXPECT_EQ(o.udp.Port(), 40001);

    FakeWindow w;
    RestoreWindowPlacement(w.Target(), kKey);
    EXPECT_EQ(w.window.geometry(), QRect(10, 20, 700, 500));
    EXPECT_EQ(w.topPane, 200);
    EXPECT_EQ(w.leftPane, 150);
    EXPECT_EQ(w.header.sectionSize(0), 40);
    EXPECT_EQ(w.header.sectionSize(1), 50);
    EXPECT_EQ(w.header.sectionSize(2), 60);
    EXPECT_EQ(w.header.sectionSize(3), 73); // only the first three are kept

    const TRegistryIniFile ini(kKey);
    EXPECT_EQ(ini.ReadString(QStringLiteral("Window"), QStringLiteral("State"), {}), QStringLiteral("0"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Option"), QStringLiteral("WriteLog"), {}), QStringLiteral("1"));
}

TEST_F(SettingsTest, HistoryStopsAtTheFirstEmptyEntry)
{
    Store({{QStringLiteral("history/Command0"), QStringLiteral("a")},
           {QStringLiteral("history/Command1"), QStringLiteral("b")},
           {QStringLiteral("history/Command2"), QString()},
           {QStringLiteral("history/Command3"), QStringLiteral("d")},
           {QStringLiteral("history/Command4"), QStringLiteral("e")}});
    FakeOptions o;
    LoadSettings(o.Target(), kKey);
    EXPECT_EQ(o.history, (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST_F(SettingsTest, HistoryStopsAtTheFirstMissingEntryAndReadsTwentyAtMost)
{
    std::map<QString, QVariant> values;
    for (int i = 0; i < 25; ++i) {
        if (i != 22)
            values[QStringLiteral("history/Command%1").arg(i)] = QStringLiteral("c%1").arg(i);
    }
    Store(values);
    FakeOptions o;
    LoadSettings(o.Target(), kKey);
    ASSERT_EQ(o.history.size(), 20);
    EXPECT_EQ(o.history.back(), QStringLiteral("c19"));
}

TEST_F(SettingsTest, ShortHistoryIsSavedAsAllTwentyValues)
{
    FakeOptions o;
    o.history = {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")};
    SaveSettings(o.Target(), kKey);
    const TRegistryIniFile ini(kKey);
    EXPECT_EQ(ini.ReadSection(QStringLiteral("history")).size(), 20);
    for (int i = 0; i < 20; ++i) {
        const QString name = QStringLiteral("Command%1").arg(i);
        ASSERT_TRUE(ini.ValueExists(QStringLiteral("history"), name)) << i;
        EXPECT_EQ(ini.ReadString(QStringLiteral("history"), name, QStringLiteral("?")),
                  i < 3 ? o.history.at(i) : QString())
            << i;
    }
}

TEST_F(SettingsTest, ValuesThatAreNotNumbersOrStringsGiveTheDefaults)
{
    struct Case {
        QString name;
        QVariant stored;
        std::function<bool(const FakeOptions&)> check;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("Option/WriteLog"), QStringLiteral("1"),
         [](const FakeOptions& o) { return o.udp.WriteLog() && o.log.isChecked(); }},
        {QStringLiteral("Option/WriteLog"), QStringLiteral("-3"), [](const FakeOptions& o) { return o.udp.WriteLog(); }},
        {QStringLiteral("Option/WriteLog"), QStringLiteral("yes"),
         [](const FakeOptions& o) { return !o.udp.WriteLog() && !o.log.isChecked(); }},
        {QStringLiteral("Option/Priority"), QStringLiteral("9"),
         [](const FakeOptions& o) { return o.udp.Priority() == tpNormal; }},
        {QStringLiteral("Option/Priority"), QStringLiteral("x1"),
         [](const FakeOptions& o) { return o.udp.Priority() == tpNormal; }},
        {QStringLiteral("Option/Priority"), QByteArray("5"), // stored as bytes, not a string
         [](const FakeOptions& o) { return o.udp.Priority() == tpNormal; }},
        {QStringLiteral("Option/Priority"), QStringLiteral("0"),
         [](const FakeOptions& o) { return o.udp.Priority() == tpIdle; }},
        {QStringLiteral("Option/SleepTime"), QStringLiteral("-5"),
         [](const FakeOptions& o) { return o.udp.SleepTime() == 0; }},
        {QStringLiteral("Option/SleepTime"), QStringLiteral("12"),
         [](const FakeOptions& o) { return o.udp.SleepTime() == 12; }},
        {QStringLiteral("TextMode"), QStringLiteral("text"), [](const FakeOptions& o) { return o.sendMode == 1; }},
        {QStringLiteral("TextMode"), QStringLiteral("7"), [](const FakeOptions& o) { return o.sendMode == 0; }},
        {QStringLiteral("ViewType"), QStringLiteral("1.5"), [](const FakeOptions& o) { return o.viewType == 0; }},
        {QStringLiteral("ViewType"), QRect(1, 2, 3, 4), [](const FakeOptions& o) { return o.viewType == 0; }},
        {QStringLiteral("ByteOrder"), QStringLiteral("1"), [](const FakeOptions& o) { return o.byteOrder == 1; }},
        {QStringLiteral("LogType"), QStringLiteral("1"),
         [](const FakeOptions& o) { return o.udp.LogType() == ltAscii && o.asciiLog.isChecked() && !o.hexLog.isChecked(); }},
        {QStringLiteral("LogType"), QStringLiteral("7"),
         [](const FakeOptions& o) { return o.udp.LogType() == ltHexList && o.hexLog.isChecked() && !o.asciiLog.isChecked(); }},
        {QStringLiteral("history/Command0"), QByteArray("bytes"), [](const FakeOptions& o) { return o.history.isEmpty(); }},
    };
    for (const Case& c : cases) {
        DeleteRegistryKey(kKey);
        Store({{c.name, c.stored}});
        FakeOptions o;
        LoadSettings(o.Target(), kKey);
        EXPECT_TRUE(c.check(o)) << c.name.toStdString() << " = " << c.stored.toString().toStdString();
    }
}

TEST_F(SettingsTest, WindowPlacementRules)
{
    struct Case {
        const char* what;
        std::map<QString, QVariant> stored;
        QRect workArea;
        QRect geometry;
        int topPane;
        int leftPane;
        int section0;
        bool minimised;
    };
    const QRect chosen(100, 100, 632, 453);
    const QRect offset(100, 50, 1820, 990);
    const auto w = [](const char* name, int v) { return std::pair{QStringLiteral("Window/") + QString::fromUtf8(name), QVariant(QString::number(v))}; };
    const std::vector<Case> cases = {
        {"State 5 keeps what the system chose", {w("State", 5), w("Width", 300), w("Left", 5), w("TopPane", 100), w("LogWidth", 10)}, kWorkArea, chosen, 244, 128, 70, false},
        {"State -1 likewise", {w("State", -1), w("Height", 300), w("LeftPane", 90)}, kWorkArea, chosen, 244, 128, 70, false},
        {"Width wider than the work area", {w("Width", 5000), w("Left", 0), w("Top", 0)}, kWorkArea, QRect(0, 0, 1920, 453), 244, 128, 70, false},
        {"Height taller than the work area", {w("Height", 5000), w("Left", 0), w("Top", 0)}, kWorkArea, QRect(0, 0, 632, 1040), 244, 128, 70, false},
        {"Width 0 is ignored", {w("Width", 0), w("Left", 10), w("Top", 10)}, kWorkArea, QRect(10, 10, 632, 453), 244, 128, 70, false},
        {"Left past the right edge", {w("Left", 1800), w("Top", 10)}, kWorkArea, QRect(1920 - 632, 10, 632, 453), 244, 128, 70, false},
        {"negative Left", {w("Left", -50), w("Top", 10)}, kWorkArea, QRect(0, 10, 632, 453), 244, 128, 70, false},
        {"negative Left, work area not at 0", {w("Left", -50), w("Top", -50)}, offset, QRect(100, 50, 632, 453), 244, 128, 70, false},
        {"Top past the bottom", {w("Left", 10), w("Top", 900)}, kWorkArea, QRect(10, 1040 - 453, 632, 453), 244, 128, 70, false},
        {"only Left: Top stays", {w("Left", 10)}, kWorkArea, QRect(10, 100, 632, 453), 244, 128, 70, false},
        {"no position: centred in the work area", {w("Width", 800), w("Height", 600)}, offset, QRect(100 + 910 - 400, 50 + 495 - 300, 800, 600), 244, 128, 70, false},
        {"TopPane too large", {w("Left", 0), w("Top", 0), w("TopPane", 1000)}, kWorkArea, QRect(0, 0, 632, 453), 453 - 60 - 34, 128, 70, false},
        {"TopPane below 30", {w("Left", 0), w("Top", 0), w("TopPane", 12)}, kWorkArea, QRect(0, 0, 632, 453), 30, 128, 70, false},
        {"TopPane 0 is ignored", {w("Left", 0), w("Top", 0), w("TopPane", 0)}, kWorkArea, QRect(0, 0, 632, 453), 244, 128, 70, false},
        {"LeftPane too large", {w("Left", 0), w("Top", 0), w("LeftPane", 5000)}, kWorkArea, QRect(0, 0, 632, 453), 244, 632 - 34, 70, false},
        {"LeftPane below 30", {w("Left", 0), w("Top", 0), w("LeftPane", 3)}, kWorkArea, QRect(0, 0, 632, 453), 244, 30, 70, false},
        {"LogWidth wider than the header", {w("Left", 0), w("Top", 0), w("LogWidth", 900)}, kWorkArea, QRect(0, 0, 632, 453), 244, 128, 400, false},
        {"negative LogWidth is ignored", {w("Left", 0), w("Top", 0), w("LogWidth", -1)}, kWorkArea, QRect(0, 0, 632, 453), 244, 128, 70, false},
        {"LogWidth 0 is kept", {w("Left", 0), w("Top", 0), w("LogWidth", 0)}, kWorkArea, QRect(0, 0, 632, 453), 244, 128, 0, false},
        {"not numbers are absent", {{QStringLiteral("Window/Left"), QStringLiteral("abc")}, {QStringLiteral("Window/Width"), QRect(0, 0, 9, 9)}}, kWorkArea, QRect(960 - 316, 520 - 226, 632, 453), 244, 128, 70, false},
        {"minimised: placed, not centred, then minimised", {w("State", 1), w("Width", 700), w("TopPane", 100)}, kWorkArea, QRect(100, 100, 700, 453), 100, 128, 70, true},
    };
    for (const Case& c : cases) {
        DeleteRegistryKey(kKey);
        Store(c.stored);
        FakeWindow fw;
        TWindowPlacementTarget t = fw.Target();
        const QRect area = c.workArea;
        t.WorkArea = [area] { return area; };
        RestoreWindowPlacement(t, kKey);
        EXPECT_EQ(fw.window.geometry(), c.geometry) << c.what;
        EXPECT_EQ(fw.topPane, c.topPane) << c.what;
        EXPECT_EQ(fw.leftPane, c.leftPane) << c.what;
        EXPECT_EQ(fw.header.sectionSize(0), c.section0) << c.what;
        EXPECT_EQ(fw.minimised, c.minimised) << c.what;
        EXPECT_FALSE(fw.window.isMaximized()) << c.what;
    }
}

TEST_F(SettingsTest, ExtremeStoredBoundsNeverLeaveTheWorkArea)
{
    // 632 x 453 centred in 1920 x 1040: what an impossible value falls back to.
    const QRect centred(960 - 316, 520 - 226, 632, 453);
    const std::string max = std::to_string(std::numeric_limits<int>::max());
    const std::string min = std::to_string(std::numeric_limits<int>::min());
    const struct {
        const char* what;
        std::map<std::string, std::string> stored;
        QRect geometry;
    } cases[] = {
        {"Left=INT_MAX", {{"Left", max}, {"Top", "10"}}, centred},
        {"Top=INT_MAX", {{"Left", "10"}, {"Top", max}}, centred},
        {"Left=INT_MIN", {{"Left", min}, {"Top", "10"}}, centred},
        {"Top=INT_MIN", {{"Left", "10"}, {"Top", min}}, centred},
        {"Width=INT_MAX", {{"Left", "10"}, {"Top", "10"}, {"Width", max}}, centred},
        {"Height=INT_MAX", {{"Left", "10"}, {"Top", "10"}, {"Height", max}}, centred},
        {"all four INT_MAX", {{"Left", max}, {"Top", max}, {"Width", max}, {"Height", max}}, centred},
        {"just past the limit", {{"Left", "16777216"}, {"Top", "0"}}, centred},
        {"just past the negative limit", {{"Left", "0"}, {"Top", "-16777216"}}, centred},
        {"at the limit: fitted", {{"Left", "16777215"}, {"Top", "-16777215"}}, QRect(1920 - 632, 0, 632, 453)},
        {"width at the limit: fitted", {{"Left", "5"}, {"Top", "5"}, {"Width", "16777215"}}, QRect(0, 5, 1920, 453)},
    };
    for (const auto& c : cases) {
        DeleteRegistryKey(kKey);
        std::map<QString, QVariant> values;
        for (const auto& [name, value] : c.stored)
            values[QStringLiteral("Window/") + QString::fromStdString(name)] = QString::fromStdString(value);
        Store(values);
        FakeWindow fw;
        RestoreWindowPlacement(fw.Target(), kKey);
        EXPECT_EQ(fw.window.geometry(), c.geometry) << c.what;
        EXPECT_TRUE(kWorkArea.contains(fw.window.frameGeometry())) << c.what;
    }
}

TEST(WindowPlacementRules, FittingUsesWideArithmetic)
{
    // Bounds that never came through the reader: the fit itself must not wrap.
    const QRect area(100, 50, 1820, 990);
    const WindowBounds current{0, 0, 632, 453};
    const int max = std::numeric_limits<int>::max();
    const int min = std::numeric_limits<int>::min();
    const struct {
        std::optional<int> left, top;
        WindowBounds expected;
    } cases[] = {
        {max, max, {1920 - 632, 1040 - 453, 632, 453}},
        {min, min, {100, 50, 632, 453}},
        {max, min, {1920 - 632, 50, 632, 453}},
    };
    for (const auto& c : cases) {
        StoredPlacement stored;
        stored.left = c.left;
        stored.top = c.top;
        EXPECT_EQ(FitWindowBounds(stored, current, area), c.expected) << *c.left << "," << *c.top;
    }
}

TEST_F(SettingsTest, MaximisedWindowGetsOnlyItsStateAndPanes)
{
    Store({{QStringLiteral("Window/State"), QStringLiteral("2")},
           {QStringLiteral("Window/Left"), QStringLiteral("5")},
           {QStringLiteral("Window/Width"), QStringLiteral("300")},
           {QStringLiteral("Window/TopPane"), QStringLiteral("700")},
           {QStringLiteral("Window/LeftPane"), QStringLiteral("5000")},
           {QStringLiteral("Window/LogWidth2"), QStringLiteral("55")}});
    FakeWindow fw;
    RestoreWindowPlacement(fw.Target(), kKey);
    EXPECT_TRUE(fw.window.isMaximized());
    EXPECT_EQ(fw.window.normalGeometry(), QRect(100, 100, 632, 453));
    // Measured against the maximised window, not the small one it was.
    EXPECT_EQ(fw.topPane, 700);
    EXPECT_EQ(fw.leftPane, 1920 - 34);
    EXPECT_EQ(fw.header.sectionSize(1), 55);
    EXPECT_FALSE(fw.minimised);
}

TEST_F(SettingsTest, PlacementIsWrittenInFull)
{
    FakeWindow fw;
    SaveWindowPlacement(fw.Target(), kKey);
    const TRegistryIniFile ini(kKey);
    const std::pair<const char*, int> expected[] = {
        {"State", 0},      {"Left", 100},     {"Top", 100},       {"Width", 632},     {"Height", 453},
        {"TopPane", 244},  {"LeftPane", 128}, {"LogWidth", 70},   {"LogWidth2", 71},  {"LogWidth3", 72},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(ini.ReadString(QStringLiteral("Window"), QString::fromUtf8(name), {}), QString::number(value)) << name;
    EXPECT_EQ(ini.ReadSection(QStringLiteral("Window")).size(), 10);
}

TEST_F(SettingsTest, ShownWindowComesBackWithoutGrowing)
{
    QRect first;
    for (int run = 0; run < 3; ++run) {
        FakeWindow fw;
        fw.window.show();
        if (run == 0)
            fw.window.setGeometry(50, 60, 640, 480);
        else
            RestoreWindowPlacement(fw.Target(), kKey);
        QCoreApplication::processEvents();
        if (run == 0)
            first = fw.window.geometry();
        EXPECT_EQ(fw.window.geometry(), first) << "run " << run;
        SaveWindowPlacement(fw.Target(), kKey);
    }
}

TEST_F(SettingsTest, HistoryBindsToTheCommandBox)
{
    QComboBox box;
    box.setEditable(true);
    TSettingsTarget t;
    t.BindHistory(box);
    t.AppendHistory(QStringLiteral("first"));
    t.AppendHistory(QStringLiteral("second"));
    EXPECT_EQ(t.History(), (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    SaveSettings(t, kKey); // no UDP component bound: the rest is still written
    QComboBox other;
    TSettingsTarget u;
    u.BindHistory(other);
    LoadSettings(u, kKey);
    EXPECT_EQ(other.count(), 2);
    EXPECT_EQ(other.itemText(1), QStringLiteral("second"));
}

} // namespace
} // namespace vpx
