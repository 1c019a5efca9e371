// Test main for widget code: offscreen unless told otherwise, with a QApplication.
#include <cstdlib>

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
