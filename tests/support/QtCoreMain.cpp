// The main function of test programs whose code needs a Qt event loop (local sockets, timers):
// a QCoreApplication lives for the whole run. Add this file to a test's sources.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
