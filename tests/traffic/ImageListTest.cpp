#include "traffic/ImageList.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace vpx {
namespace {

QImage ImageOf(int index)
{
    return ImageList::Shared().Pixmap(index).toImage().convertToFormat(QImage::Format_ARGB32);
}

int Count(const QImage& image, const std::function<bool(const QColor&)>& test)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixelColor(x, y));
    return n;
}

TEST(ImageList, HasEveryImageAtSixteenPixels)
{
    const ImageList& list = ImageList::Shared();
    for (int i = 0; i < ImageList::Count; ++i) {
        const QImage image = ImageOf(i);
        EXPECT_EQ(image.size(), QSize(16, 16)) << i;
        const int opaque = Count(image, [](const QColor& c) { return c.alpha() > 0; });
        if (i == imgUnused) {
            EXPECT_EQ(opaque, 0);
        } else {
            EXPECT_GT(opaque, 20) << i;
        }
        EXPECT_EQ(list.Pixmap(i, 2).size(), QSize(32, 32)) << i;
        EXPECT_FALSE(list.Icon(i).isNull()) << i;
    }
    EXPECT_TRUE(list.Pixmap(12).isNull());
    EXPECT_TRUE(list.Pixmap(-1).isNull());
    // No two images of the tree look alike.
    for (int a : {0, 1, 7, 8, 9, 10, 11})
        for (int b : {0, 1, 7, 8, 9, 10, 11})
            if (a < b) {
                EXPECT_NE(ImageOf(a), ImageOf(b)) << a << ' ' << b;
            }
}

TEST(ImageList, KindArrowsHaveTheirColoursAndDirections)
{
    const struct {
        int index;
        std::function<bool(const QColor&)> colour;
        bool right;
    } cases[] = {
        {imgReceived, [](const QColor& c) { return c.blue() > 200 && c.red() < 60 && c.green() < 120; }, true},
        {imgReceivedMatched, [](const QColor& c) { return c.blue() > 180 && c.green() > 180 && c.red() < 60; }, true},
        {imgSent, [](const QColor& c) { return c.red() > 200 && c.green() < 60 && c.blue() < 60; }, false},
        {imgAutoReplySent, [](const QColor& c) { return c.red() > 200 && c.green() > 180 && c.blue() < 60; }, false},
    };
    for (const auto& c : cases) {
        const QImage image = ImageOf(c.index);
        EXPECT_GT(Count(image, [&](const QColor& p) { return p.alpha() == 255 && c.colour(p); }), 30) << c.index;
        EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "transparent background " << c.index;
        // The head is the tall end: the column near it has ink at the top rows.
        const int headX = c.right ? 11 : 4;
        const int tailX = c.right ? 3 : 12;
        EXPECT_GT(image.pixelColor(headX, 4).alpha(), 0) << c.index;
        EXPECT_EQ(image.pixelColor(tailX, 3).alpha(), 0) << c.index;
    }
}

} // namespace
} // namespace vpx
