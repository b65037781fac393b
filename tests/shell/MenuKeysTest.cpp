// The menus of the real main window driven from the keyboard alone: keys go to
// whatever has the focus or to the open menu, as they would from a keyboard, and
// a command that opens a dialog shows up in the scripted prompts.

#include "library/CommandTreeView.h"
#include "shell/Main.h"
#include "shell/MenuBarKeys.h"
#include "shell/ShellTestUtil.h"
#include "shell/XPToolBarMenu.h"
#include "support/FakePrompts.h"

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace vpx::test {
namespace {

struct Key {
    int key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// Presses keys one after another from the event loop, each to the open menu if
// there is one, else to the focused control. The next key is due before this one
// is pressed, since a key may open a menu whose loop runs until it closes. Before
// each key it notes which menu was open and what had the focus.
class KeyDriver : public QObject {
public:
    KeyDriver(QWidget& window, std::vector<Key> keys) : m_window(window), m_keys(keys.begin(), keys.end())
    {
        QTimer::singleShot(50, this, [this] { Next(); });
    }
    bool Done() const { return m_keys.empty() && !m_pressing; }
    QStringList seen; // per key: the open menu's name, or "focus:" and the focused control's class

private:
    void Next()
    {
        if (m_keys.empty()) {
            // A menu left open would hold the test in its loop for good: close it,
            // and let the test see that it had to.
            QTimer::singleShot(3000, this, [this] {
                while (QWidget* popup = QApplication::activePopupWidget()) {
                    seen << QStringLiteral("left open:") + popup->objectName();
                    popup->close();
                }
            });
            return;
        }
        const Key k = m_keys.front();
        m_keys.pop_front();
        QTimer::singleShot(60, this, [this] { Next(); });
        QWidget* popup = QApplication::activePopupWidget();
        QWidget* focus = QApplication::focusWidget();
        seen << (popup ? popup->objectName()
                       : QStringLiteral("focus:") + (focus ? QString::fromLatin1(focus->metaObject()->className())
                                                           : QStringLiteral("none")));
        QWidget* target = popup ? popup : focus ? focus : &m_window;
        m_pressing = true;
        QTest::keyClick(target, Qt::Key(k.key), k.modifiers);
        m_pressing = false;
    }

    QWidget& m_window;
    std::deque<Key> m_keys;
    bool m_pressing = false;
};

// Tells an open dialog from a save dialog.
class DialogPrompts : public FakePrompts {
public:
    QStringList asked;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override
    {
        asked << QStringLiteral("open:") + request.title;
        return FakePrompts::OpenFileName(request);
    }
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override
    {
        asked << QStringLiteral("save:") + request.filters.join(QLatin1Char(';'));
        return FakePrompts::SaveFileName(request);
    }
};

class MenuKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_config.isValid());
        qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
        m_window = std::make_unique<TfrmSimMain>(QStringList{}, &prompts);
        ASSERT_TRUE(ShowActive(*m_window));
        ASSERT_TRUE(FocusOn(m_window->tvCommand));
    }
    void TearDown() override
    {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }

    // Runs the keys and waits until the last one is done and every menu closed.
    QStringList Press(std::vector<Key> keys)
    {
        KeyDriver driver(*m_window, std::move(keys));
        const bool done = WaitUntil([&] { return driver.Done() && !QApplication::activePopupWidget(); });
        EXPECT_TRUE(done) << driver.seen.join(QLatin1Char(' ')).toStdString();
        return driver.seen;
    }

    QToolButton* Caption(int index) { return m_window->toolMenu->Keys().Captions().value(index); }

    DialogPrompts prompts;
    QTemporaryDir m_config;
    std::unique_ptr<TfrmSimMain> m_window;
};

TEST_F(MenuKeysTest, AltFThenAOpensSaveAs)
{
    const QStringList seen = Press({{Qt::Key_F, Qt::AltModifier}, {Qt::Key_A}});
    EXPECT_EQ(seen, QStringList({QStringLiteral("focus:vpx::TCommandTreeView"), QStringLiteral("mnuFile")}));
    EXPECT_EQ(prompts.asked, QStringList{QStringLiteral("save:ｺﾏﾝﾄﾞﾌｧｲﾙ(*.vpx)")});
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
    EXPECT_FALSE(m_window->toolMenu->Keys().ShowsMnemonics()); // Alt is up again
}

TEST_F(MenuKeysTest, F10RightDownReturnReachesACommand)
{
    const QStringList seen = Press({{Qt::Key_F10}, {Qt::Key_Right}, {Qt::Key_Down}, {Qt::Key_Return}});
    EXPECT_EQ(seen, QStringList({QStringLiteral("focus:vpx::TCommandTreeView"), QStringLiteral("focus:QToolButton"),
                                 QStringLiteral("focus:QToolButton"), QStringLiteral("mnuAutoReturn")}));
    // The first item of 自動返信(&A): 開く(&O)...
    EXPECT_EQ(prompts.asked, QStringList{QStringLiteral("open:自動返信ファイルの選択")});
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
}

TEST_F(MenuKeysTest, LeftAndRightInAnOpenMenuMoveToTheNeighbouringEnabledMenu)
{
    // 検索(&S) starts disabled and is passed over; a submenu's Right opens it first.
    const QStringList seen = Press({{Qt::Key_F, Qt::AltModifier},
                                    {Qt::Key_Right},
                                    {Qt::Key_Right},
                                    {Qt::Key_Left},
                                    {Qt::Key_Left},
                                    {Qt::Key_Left},
                                    {Qt::Key_Escape}});
    EXPECT_EQ(seen, QStringList({QStringLiteral("focus:vpx::TCommandTreeView"), QStringLiteral("mnuFile"),
                                 QStringLiteral("mnuAutoReturn"), QStringLiteral("mnuCommand"),
                                 QStringLiteral("mnuAutoReturn"), QStringLiteral("mnuFile"),
                                 QStringLiteral("mnuHelp")}));
    EXPECT_TRUE(prompts.fileRequests.empty());
    EXPECT_TRUE(m_window->tvCommand->hasFocus());

    // On a submenu's item Right opens the submenu and Left closes it again; only
    // then does Left move on.
    const QStringList sub =
        Press({{Qt::Key_V, Qt::AltModifier}, {Qt::Key_Right}, {Qt::Key_Left}, {Qt::Key_Left}, {Qt::Key_Escape}});
    EXPECT_EQ(sub, QStringList({QStringLiteral("focus:vpx::TCommandTreeView"), QStringLiteral("mnuView"),
                                QString(), QStringLiteral("mnuView"), QStringLiteral("mnuCommand")}));
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
}

TEST_F(MenuKeysTest, EscReturnsTheFocusWhereItWas)
{
    const struct {
        const char* name;
        std::vector<Key> keys;
        QString lastSeen; // what the Esc went to
    } cases[] = {
        {"F10 then Esc", {{Qt::Key_F10}, {Qt::Key_Escape}}, QStringLiteral("focus:QToolButton")},
        {"a lone Alt then Esc", {{Qt::Key_Alt}, {Qt::Key_Escape}}, QStringLiteral("focus:QToolButton")},
        {"Alt+F then Esc", {{Qt::Key_F, Qt::AltModifier}, {Qt::Key_Escape}}, QStringLiteral("mnuFile")},
        {"F10, Down, Esc", {{Qt::Key_F10}, {Qt::Key_Down}, {Qt::Key_Escape}}, QStringLiteral("mnuFile")},
        {"Alt+O, Left, Esc", {{Qt::Key_O, Qt::AltModifier}, {Qt::Key_Left}, {Qt::Key_Escape}},
         QStringLiteral("mnuView")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(FocusOn(m_window->tvCommand));
        const QStringList seen = Press(c.keys);
        EXPECT_EQ(seen.value(seen.size() - 1), c.lastSeen) << seen.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(m_window->tvCommand->hasFocus());
        EXPECT_FALSE(m_window->toolMenu->Keys().Navigating());
        EXPECT_TRUE(prompts.fileRequests.empty());
        EXPECT_TRUE(prompts.messages.empty());
    }
}

TEST_F(MenuKeysTest, TheMnemonicIsUnderlinedOnlyWhileAltIsHeld)
{
    QToolButton* file = Caption(0);
    ASSERT_TRUE(file);
    const QImage plain = file->grab().toImage();
    QTest::keyPress(m_window->tvCommand, Qt::Key_Alt);
    EXPECT_TRUE(m_window->toolMenu->Keys().ShowsMnemonics());
    EXPECT_NE(file->grab().toImage(), plain);
    EXPECT_FALSE(m_window->toolMenu->DrawsButton(file)); // underlined, not highlighted
    // A lone press and release leaves the first caption focused, drawn as a menu title.
    QTest::keyRelease(m_window->tvCommand, Qt::Key_Alt);
    EXPECT_TRUE(file->hasFocus());
    EXPECT_TRUE(m_window->toolMenu->DrawsButton(file));
    QTest::keyClick(file, Qt::Key_Escape);
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
    EXPECT_FALSE(m_window->toolMenu->Keys().ShowsMnemonics());
    EXPECT_EQ(file->grab().toImage(), plain);
}

TEST_F(MenuKeysTest, AMenuOpenedByTheMouseStartsWithNoItemActive)
{
    QAction* active = reinterpret_cast<QAction*>(1);
    QTimer::singleShot(100, m_window.get(), [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            active = menu->activeAction();
            menu->close();
        }
    });
    QTest::mousePress(Caption(0), Qt::LeftButton); // runs until the menu closes
    QTest::mouseRelease(Caption(0), Qt::LeftButton);
    EXPECT_EQ(active, nullptr);
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
    EXPECT_FALSE(m_window->toolMenu->Keys().Navigating());

    // From there the arrows move on as in a menu opened by key.
    KeyDriver driver(*m_window, {{Qt::Key_Right}, {Qt::Key_Escape}});
    QTest::mousePress(Caption(0), Qt::LeftButton);
    QTest::mouseRelease(Caption(0), Qt::LeftButton);
    ASSERT_TRUE(WaitUntil([&] { return driver.Done() && !QApplication::activePopupWidget(); }));
    EXPECT_EQ(driver.seen, QStringList({QStringLiteral("mnuFile"), QStringLiteral("mnuAutoReturn")}));
    EXPECT_TRUE(m_window->tvCommand->hasFocus());
}

} // namespace
} // namespace vpx::test
