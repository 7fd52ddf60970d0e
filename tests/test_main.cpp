#include <QApplication>
#include <gtest/gtest.h>

// Widget tests need a QApplication; logic tests need at least an event loop.
// The offscreen platform is forced so that the tests run without a display.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
