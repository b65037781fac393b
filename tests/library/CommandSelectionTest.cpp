#include "library/CommandSelection.h"

#include <gtest/gtest.h>

namespace vpx::test {
namespace {

TEST(Selection, TableRowByRow)
{
    CommandTree tree;
    CommandNode* group = tree.AddGroup(nullptr, "G");
    CommandNode* empty = tree.AddCommand(group, "E", {});
    CommandNode* full = tree.AddCommand(group, "F", {"0x01", 0, -1});

    struct Case {
        const char* name;
        const CommandNode* node;
        bool boxEmpty;
        bool findDone;
        SelectionActions expected;
    };
    auto row = [](bool send, bool sendSel, bool prop, bool addG, bool addC, bool del, bool go, bool prev,
                  bool next, bool search, std::optional<AnsiString> box = {}) {
        return SelectionActions{send, sendSel, prop, addG, addC, del, go, prev, next, search, std::move(box)};
    };
    const Case cases[] = {
        {"none, empty box", nullptr, true, true, row(false, false, false, false, false, false, false, false, false, false)},
        {"none, typed line", nullptr, false, true, row(true, false, false, false, false, false, false, false, false, false)},
        {"group", group, true, false, row(false, false, true, true, true, true, true, false, false, true)},
        {"group, typed line, searched", group, false, true, row(true, false, true, true, true, true, true, true, true, true)},
        {"empty command", empty, true, false, row(false, false, true, false, false, true, true, false, false, true)},
        {"empty command, typed line", empty, false, true, row(true, false, true, false, false, true, true, true, true, true)},
        {"command with a string", full, true, false, row(true, true, true, false, false, true, true, false, false, true, "0x01")},
        {"command with a string, searched", full, false, true, row(true, true, true, false, false, true, true, true, true, true, "0x01")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ActionsForSelection(c.node, c.boxEmpty, c.findDone), c.expected);
    }
}

TEST(Selection, PanelTexts)
{
    CommandTree tree;
    CommandNode* device = tree.AddGroup(nullptr, "Device");
    CommandNode* status = tree.AddGroup(device, "Status");
    CommandNode* read = tree.AddCommand(status, "Read", {"0x01", 0, -1});
    CommandNode* japanese = tree.AddGroup(status, ToAnsi(QStringLiteral("表示")));
    EXPECT_EQ(SelectionText(nullptr), QStringLiteral("選択されていません"));
    EXPECT_EQ(SelectionText(device), QStringLiteral("選択されているｸﾞﾙｰﾌﾟ：Device"));
    EXPECT_EQ(SelectionText(status), QStringLiteral("選択されているｸﾞﾙｰﾌﾟ：Device\\Status"));
    EXPECT_EQ(SelectionText(japanese), QStringLiteral("選択されているｸﾞﾙｰﾌﾟ：Device\\Status\\表示"));
    EXPECT_EQ(SelectionText(read), QStringLiteral("選択されているｺﾏﾝﾄﾞ：Read(0x01)"));
    // During a rename the panel shows the typed name.
    EXPECT_EQ(SelectionText(read, "ReadAll"), QStringLiteral("選択されているｺﾏﾝﾄﾞ：ReadAll(0x01)"));
    EXPECT_EQ(SelectionText(status, "New"), QStringLiteral("選択されているｸﾞﾙｰﾌﾟ：Device\\New"));
}

} // namespace
} // namespace vpx::test
