#include "shell/VisualLabel.h"
#include "shell/XPToolBarMenu.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cstdlib>

namespace vpx {
namespace {

const QColor kFrame(Qt::red), kFont(Qt::black), kShadow(Qt::darkGray), kLight(Qt::white), kGray(Qt::gray);

std::vector<TextPass> Passes(TFrameType type, bool enabled = true)
{
    return FramePasses(type, enabled, kFrame, kFont, kShadow, kLight, kGray);
}

TEST(VisualLabel, FramePassesInOrder)
{
    using P = std::vector<TextPass>;
    EXPECT_EQ(Passes(ftNone), (P{{0, 0, kFont}}));
    EXPECT_EQ(Passes(ftShadow), (P{{1, 1, kFrame}, {0, 0, kFont}}));
    EXPECT_EQ(Passes(ftFlash), (P{{-1, -1, kFrame}, {0, 0, kFont}}));
    EXPECT_EQ(Passes(ftFrame), (P{{-1, -1, kFrame}, {0, -1, kFrame}, {1, -1, kFrame}, {-1, 0, kFrame},
                                  {1, 0, kFrame}, {-1, 1, kFrame}, {0, 1, kFrame}, {1, 1, kFrame}, {0, 0, kFont}}));
    EXPECT_EQ(Passes(ftLowered), (P{{-1, -1, kShadow}, {0, -1, kShadow}, {1, -1, kShadow}, {-1, 0, kShadow},
                                    {-1, 1, kShadow}, {1, 0, kLight}, {0, 1, kLight}, {1, 1, kLight}, {0, 0, kFont}}));
    EXPECT_EQ(Passes(ftRaised), (P{{-1, -1, kLight}, {0, -1, kLight}, {1, -1, kLight}, {-1, 0, kLight},
                                   {-1, 1, kLight}, {1, 0, kShadow}, {0, 1, kShadow}, {1, 1, kShadow}, {0, 0, kFont}}));
    for (const TextPass& p : Passes(ftFrame, false))
        EXPECT_EQ(p.color, kGray);
}

// Pixels close to `colour` (text is antialiased, so exact matches are few).
int CountColour(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - qRed(colour)) + std::abs(qGreen(p) - qGreen(colour)) +
                     std::abs(qBlue(p) - qBlue(colour)) < 90;
        }
    }
    return n;
}

TEST(VisualLabel, PaintsTheFrameBeforeTheText)
{
    TVisualLabel label(QStringLiteral("Vorpex"));
    EXPECT_EQ(label.FrameType(), ftFrame);
    EXPECT_EQ(label.FrameColor(), QColor(Qt::black));
    QPalette p = label.palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::blue);
    label.setPalette(p);
    QFont f = label.font();
    f.setPixelSize(20);
    label.setFont(f);
    label.resize(label.sizeHint());
    label.SetFrameColor(Qt::red);

    const auto grab = [&] { return label.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    label.SetFrameType(ftShadow);
    const QImage shadow = grab();
    EXPECT_GT(CountColour(shadow, qRgb(255, 0, 0)), 10);
    EXPECT_GT(CountColour(shadow, qRgb(0, 0, 255)), 10);
    label.SetFrameType(ftNone);
    EXPECT_EQ(CountColour(grab(), qRgb(255, 0, 0)), 0);

    // An empty label keeps a line's height.
    TVisualLabel empty;
    empty.setFont(f);
    EXPECT_GE(empty.sizeHint().height(), QFontMetrics(f).height());
}

TEST(XPToolBarMenu, DrawsPressedMenuTitlesHighlighted)
{
    TXPToolBarMenu bar;
    QMenu menu;
    menu.addAction(QStringLiteral("開く"));
    QAction* file = bar.addAction(QStringLiteral("ファイル(&F)"));
    file->setMenu(&menu);
    QAction* plain = bar.addAction(QStringLiteral("送信"));
    QAction* check = bar.addAction(QStringLiteral("ログ"));
    check->setCheckable(true);
    check->setMenu(&menu);
    bar.resize(300, 30);
    bar.show();

    auto* fileButton = qobject_cast<QToolButton*>(bar.widgetForAction(file));
    auto* plainButton = qobject_cast<QToolButton*>(bar.widgetForAction(plain));
    auto* checkButton = qobject_cast<QToolButton*>(bar.widgetForAction(check));
    ASSERT_TRUE(fileButton && plainButton && checkButton);
    EXPECT_EQ(fileButton->popupMode(), QToolButton::InstantPopup);
    EXPECT_FALSE(bar.DrawsButton(fileButton)); // neither hot nor pressed
    fileButton->setDown(true);
    plainButton->setDown(true);
    checkButton->setDown(true);
    EXPECT_TRUE(bar.DrawsButton(fileButton));
    EXPECT_FALSE(bar.DrawsButton(plainButton));
    EXPECT_FALSE(bar.DrawsButton(checkButton));

    const QImage image = fileButton->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb highlight = fileButton->palette().color(QPalette::Active, QPalette::Highlight).rgb();
    EXPECT_EQ(image.pixel(1, 1), highlight);
    EXPECT_GT(CountColour(image, fileButton->palette().color(QPalette::Active, QPalette::HighlightedText).rgb()), 5);

    bar.setToolButtonStyle(Qt::ToolButtonIconOnly);
    EXPECT_FALSE(bar.DrawsButton(fileButton));
}

} // namespace
} // namespace vpx
