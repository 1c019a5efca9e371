// The first-run value in a settings file of the test's own, never the user's.
#include "shell/settings/FirstRunStore.h"
#include "support/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace pv::test {
namespace {

/// The value as another reader of the file sees it; empty when it is missing.
std::optional<QString> StoredValue(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    const QVariant value = settings.value(QStringLiteral("4.0/Firsttime"));
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

TEST(FirstRunStore, DecidesFromTheStoredTextAndMarksOnlyAFirstRun)
{
    struct Case
    {
        const char* name;
        std::optional<QString> before;
        bool firstRun;
        std::optional<QString> after;
    };
    const Case cases[] = {
        {"missing", std::nullopt, true, QStringLiteral("FALSE")},
        {"exactly TRUE", QStringLiteral("TRUE"), true, QStringLiteral("FALSE")},
        {"FALSE", QStringLiteral("FALSE"), false, QStringLiteral("FALSE")},
        {"lower-case true", QStringLiteral("true"), false, QStringLiteral("true")},
        {"TRUE with a blank", QStringLiteral("TRUE "), false, QStringLiteral("TRUE ")},
        {"empty", QString(), false, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const QString path = dir.File(QStringLiteral("Pellivark.ini"));
        if (c.before) {
            QSettings seed(path, QSettings::IniFormat);
            seed.setValue(QStringLiteral("4.0/Firsttime"), *c.before);
        }

        EXPECT_EQ(FirstRunStore(path).DecideFirstRun(), c.firstRun);
        EXPECT_EQ(StoredValue(path), c.after);
    }
}

TEST(FirstRunStore, OnlyTheFirstOfTwoRunsIsTheFirst)
{
    TempDir dir;
    const QString path = dir.File(QStringLiteral("Pellivark.ini"));
    EXPECT_TRUE(FirstRunStore(path).DecideFirstRun());
    EXPECT_FALSE(FirstRunStore(path).DecideFirstRun());
}

TEST(FirstRunStore, StoreThatCannotBeUsedMeansAFirstRunAndIsNotWritten)
{
    TempDir dir;
    // A plain file where the store's folder should be: no one, not even root, can write there.
    ASSERT_TRUE(dir.Write(QStringLiteral("blocked"), {'x'}));
    const QString path = dir.File(QStringLiteral("blocked/Pellivark.ini"));

    EXPECT_TRUE(FirstRunStore(path).DecideFirstRun());
    EXPECT_TRUE(FirstRunStore(path).DecideFirstRun());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(dir.Read(QStringLiteral("blocked")), std::vector<std::uint8_t>{'x'});
}

TEST(FirstRunStore, DamagedStoreMeansAFirstRunAndIsLeftAsItIs)
{
    TempDir dir;
    // The section header lacks its bracket; the value below it still reads as "FALSE".
    const std::string text = "[4.0\nFirsttime=FALSE\n";
    const std::vector<std::uint8_t> damaged(text.begin(), text.end());
    ASSERT_TRUE(dir.Write(QStringLiteral("Pellivark.ini"), damaged));

    EXPECT_TRUE(FirstRunStore(dir.File(QStringLiteral("Pellivark.ini"))).DecideFirstRun());
    EXPECT_EQ(dir.Read(QStringLiteral("Pellivark.ini")), damaged);
}

} // namespace
} // namespace pv::test
