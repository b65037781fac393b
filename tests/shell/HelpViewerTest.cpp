#include "shell/HelpViewer.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace vpx {
namespace {

TEST(HelpKeywords, ParsesTabSeparatedLinesAndSkipsTheRest)
{
    const auto k = ParseHelpKeywords(QStringLiteral("# comment\r\n自動返信\tautoreply\r\n\nbroken\n\tnoword\nx\t\n接続\tconnection"));
    ASSERT_EQ(k.size(), 2);
    EXPECT_EQ(k[0].keyword, QStringLiteral("自動返信"));
    EXPECT_EQ(k[0].anchor, QStringLiteral("autoreply"));
    EXPECT_EQ(k[1].anchor, QStringLiteral("connection"));
}

TEST(HelpViewer, TypingSelectsTheFirstKeywordThatBeginsWithIt)
{
    THelpViewer viewer;
    viewer.ShowKeywordSearch();
    ASSERT_GT(viewer.KeywordList()->count(), 10);
    EXPECT_FALSE(viewer.Browser()->toPlainText().isEmpty());
    QTest::keyClicks(viewer.KeywordEdit(), QStringLiteral("Command"));
    EXPECT_EQ(viewer.KeywordList()->currentItem()->text(), QStringLiteral("Command.log"));
    viewer.KeywordEdit()->setText(QString());
    // Typed text beyond ASCII arrives as key events that carry their text.
    for (const QChar c : QStringLiteral("自動返信フ"))
        QTest::sendKeyEvent(QTest::Click, viewer.KeywordEdit(), Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_EQ(viewer.KeywordList()->currentItem()->text(), QStringLiteral("自動返信ファイル"));
}

} // namespace
} // namespace vpx
