#include <QApplication>

#include <gtest/gtest.h>

// The Qt suites run inside one application object, on the platform the test's environment
// names (offscreen under ctest).
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
