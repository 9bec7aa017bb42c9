#include <gtest/gtest.h>
#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    // --scale=R runs the tests on a screen scaled by R, as a desktop's display scaling does.
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--scale=", 8) == 0) qputenv("QT_SCALE_FACTOR", argv[i] + 8);
    // Widget tests draw off screen unless the caller chose a platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
