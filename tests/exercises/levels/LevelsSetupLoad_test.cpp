// The chooser loading through the real setup commands installs the very file the user picked.
#include "exercises/levels/LevelsModel.h"
#include "exercises/setup/SetupFile.h"
#include "exercises/setup/SetupOperations.h"
#include "music/strings/UIStrings.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

class QuietSetupHost final : public ISetupHost
{
public:
    bool TutorActive() const override { return false; }
    bool SetupViewShown() const override { return false; }
    std::optional<ExerciseKind> CurrentKind() const override { return std::nullopt; }
    QString SetupFolder() const override { return {}; }
    bool IsShippedFile(const QString&) const override { return false; }
    void LoadSetupPage(ExerciseKind) override {}
    void StoreSetupPage(ExerciseKind) override {}
    void SetChildCaptions(const QString& caption) override { captions = caption; }
    void ApplySetupToExercise(ExerciseKind, bool) override {}
    void SetTempoSlider() override {}
    std::vector<ExerciseKind> KindsWithResults(int) override { return {}; }
    void StoreResults(const std::vector<ExerciseKind>&) override {}
    void ResetExerciseClock(std::optional<ExerciseKind>) override {}

    QString captions;
};

ExerciseSetup SetupMarked(std::uint8_t pad)
{
    ExerciseSetup setup = DefaultExerciseSetup();
    setup.Pad = pad;
    return setup;
}

// The real setup commands behind the chooser, over a folder of the test's own.
class LevelsSetupLoad : public ::testing::Test
{
protected:
    test::TempDir dir;
    SetupState state;
    QuietSetupHost host;
    test::ScriptedPrompts prompts;
    UIStringTable texts;
    SetupOperations operations{state, host, prompts, texts};
    LevelsModel chooser{prompts, LoadThrough(operations)};
};

TEST_F(LevelsSetupLoad, PickedEntryInstallsItsOwnFileEvenWithADotOrCapitals)
{
    const struct
    {
        const char* file;
        std::uint8_t pad;
        const char* caption;
    } cases[] = {{"a.b.qib", 7, "a"}, {"X.QIB", 9, "X"}};
    for (const auto& c : cases)
        ASSERT_TRUE(WriteSetupFile(dir.File(QString::fromLatin1(c.file)), SetupMarked(c.pad)).Ok());
    chooser.Activate(dir.Path(), QString());
    ASSERT_EQ(chooser.Entries().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].file);
        EXPECT_EQ(chooser.LoadEntry(static_cast<int>(i)), LevelsResult::Loaded);
        EXPECT_EQ(state.CurrentSetup.Pad, cases[i].pad);
        EXPECT_EQ(state.SetupFileName, dir.File(QString::fromLatin1(cases[i].file)));
        EXPECT_EQ(host.captions, QString::fromLatin1(cases[i].caption));
    }
    EXPECT_TRUE(prompts.asked.empty()) << "no message for a good file";

    // A file that is no setup: the load's own message, then "not loaded"; nothing installed.
    ASSERT_TRUE(dir.Write(QStringLiteral("broken.qib"), {1, 2, 3}));
    chooser.Activate(dir.Path(), QString());
    ASSERT_EQ(chooser.Entries().front().DisplayName, QStringLiteral("a"));
    EXPECT_EQ(chooser.LoadEntry(1), LevelsResult::NotLoaded);
    EXPECT_EQ(state.CurrentSetup.Pad, 9);
    EXPECT_EQ(prompts.asked.size(), 1U);
}

TEST_F(LevelsSetupLoad, ANameThatIsNotUtf8LoadsItsOwnFile)
{
    // "Übung.qib" in Windows-1252; "?bung.qib" beside it must not be what loads.
    const QByteArray native = QFile::encodeName(dir.Path()) + "\xdc"
                                                              "bung.qib";
    const std::vector<std::uint8_t> bytes = EncodeExerciseSetup(SetupMarked(5));
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(::close(fd), 0);
    ASSERT_TRUE(WriteSetupFile(dir.File(QStringLiteral("?bung.qib")), SetupMarked(6)).Ok());

    chooser.Activate(dir.Path(), QString());
    ASSERT_EQ(chooser.Entries().size(), 2U);
    ASSERT_EQ(chooser.Entries()[1].DisplayName, QStringLiteral("\u00dcbung"));
    EXPECT_EQ(chooser.LoadEntry(1), LevelsResult::Loaded);
    EXPECT_EQ(state.CurrentSetup.Pad, 5);
    EXPECT_EQ(host.captions, QStringLiteral("\u00dcbung"));
    EXPECT_TRUE(prompts.asked.empty());
}

} // namespace
} // namespace pv
