#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widget tests run without a display; the offscreen platform is forced before the
// application object exists so that test discovery works on a bare machine too.
int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("VORPEX_LOCAL_ADDRESS", "127.0.0.1", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
