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

TEST(LevelsSetupLoad, PickedEntryInstallsItsOwnFileEvenWithADotOrCapitals)
{
    test::TempDir dir;
    ASSERT_TRUE(WriteSetupFile(dir.File(QStringLiteral("a.b.qib")), SetupMarked(7)).Ok());
    ASSERT_TRUE(WriteSetupFile(dir.File(QStringLiteral("X.QIB")), SetupMarked(9)).Ok());

    SetupState state;
    QuietSetupHost host;
    test::ScriptedPrompts prompts;
    UIStringTable texts;
    SetupOperations operations(state, host, prompts, texts);
    LevelsModel chooser(prompts, LoadThrough(operations));
    chooser.Activate(dir.Path(), QString());
    ASSERT_EQ(chooser.Entries().size(), 2U);

    EXPECT_EQ(chooser.LoadEntry(0), LevelsResult::Loaded);
    EXPECT_EQ(state.CurrentSetup.Pad, 7);
    EXPECT_EQ(state.SetupFileName, dir.File(QStringLiteral("a.b.qib")));
    EXPECT_EQ(host.captions, QStringLiteral("a"));

    EXPECT_EQ(chooser.LoadEntry(1), LevelsResult::Loaded);
    EXPECT_EQ(state.CurrentSetup.Pad, 9);
    EXPECT_EQ(state.SetupFileName, dir.File(QStringLiteral("X.QIB")));
    EXPECT_TRUE(prompts.asked.empty()) << "no message for a good file";

    // A file that is no setup: the load's own message, then "not loaded"; nothing installed.
    ASSERT_TRUE(dir.Write(QStringLiteral("broken.qib"), {1, 2, 3}));
    chooser.Activate(dir.Path(), QString());
    ASSERT_EQ(chooser.Entries().front().DisplayName, QStringLiteral("a"));
    EXPECT_EQ(chooser.LoadEntry(1), LevelsResult::NotLoaded);
    EXPECT_EQ(state.CurrentSetup.Pad, 9);
    EXPECT_EQ(prompts.asked.size(), 1U);
}

TEST(LevelsSetupLoad, ANameThatIsNotUtf8LoadsItsOwnFile)
{
    test::TempDir dir;
    // "Übung.qib" in Windows-1252; "?bung.qib" beside it must not be what loads.
    const QByteArray native = QFile::encodeName(dir.Path()) + "\xdc"
                                                              "bung.qib";
    const std::vector<std::uint8_t> bytes = EncodeExerciseSetup(SetupMarked(5));
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ASSERT_EQ(::close(fd), 0);
    ASSERT_TRUE(WriteSetupFile(dir.File(QStringLiteral("?bung.qib")), SetupMarked(6)).Ok());

    SetupState state;
    QuietSetupHost host;
    test::ScriptedPrompts prompts;
    UIStringTable texts;
    SetupOperations operations(state, host, prompts, texts);
    LevelsModel chooser(prompts, LoadThrough(operations));
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
