// Test main for widget code: offscreen unless told otherwise, with a QApplication.
#include <cstdlib>

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // The whole program keeps values in the user's settings store (the first-run value): a
    // test must never write into the settings of whoever runs it.
    QTemporaryDir config;
    if (config.isValid())
        setenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()).constData(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
