// Tests of the setup commands: loading, saving, the save question, against a stand-in window.
#include "exercises/setup/SetupFile.h"
#include "exercises/setup/SetupOperations.h"
#include "music/files/Unprivileged.h"
#include "music/strings/UIStrings.h"
#include "support/ByteBuilder.h"
#include "support/ScriptedPrompts.h"
#include "support/TempDir.h"

#include <cerrno>
#include <cstring>
#include <deque>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

using pv::test::ScriptedPrompts;
using pv::test::TempDir;

class FakeSetupHost final : public ISetupHost
{
public:
    explicit FakeSetupHost(SetupState& state) : m_state(state) {}

    bool tutorActive = false;
    bool setupView = false;
    std::optional<ExerciseKind> currentKind = ExerciseKind::ChordIdentification;
    QString setupFolder;
    /// Files under it came with the program.
    QString shippedFolder;
    std::vector<ExerciseKind> kindsWithResults;
    /// What the open page holds; stored into the current setup's kind-1 lowest note.
    std::optional<std::uint8_t> pageLowestNote;
    QStringList calls;
    QString caption = QStringLiteral("(none)");

    bool TutorActive() const override { return tutorActive; }
    bool SetupViewShown() const override { return setupView; }
    std::optional<ExerciseKind> CurrentKind() const override { return currentKind; }
    QString SetupFolder() const override { return setupFolder; }
    bool IsShippedFile(const QString& path) const override
    {
        return !shippedFolder.isEmpty() && path.startsWith(shippedFolder);
    }
    void LoadSetupPage(ExerciseKind kind) override
    {
        calls << QStringLiteral("load page %1").arg(KindNumber(kind));
    }
    void StoreSetupPage(ExerciseKind kind) override
    {
        calls << QStringLiteral("store page %1").arg(KindNumber(kind));
        if (pageLowestNote)
            m_state.CurrentSetup.ChordIdentification.LowestNote = *pageLowestNote;
    }
    void SetChildCaptions(const QString& text) override { caption = text; }
    void ApplySetupToExercise(ExerciseKind kind, bool reset) override
    {
        calls << QStringLiteral("apply %1 %2")
                     .arg(KindNumber(kind))
                     .arg(reset ? QStringLiteral("reset") : QStringLiteral("keep"));
    }
    void SetTempoSlider() override { calls << QStringLiteral("tempo"); }
    std::vector<ExerciseKind> KindsWithResults(int minimumAnswers) override
    {
        calls << QStringLiteral("results? %1").arg(minimumAnswers);
        return kindsWithResults;
    }
    void StoreResults(const std::vector<ExerciseKind>& kinds) override
    {
        calls << QStringLiteral("store results %1").arg(kinds.size());
    }
    void ResetExerciseClock(std::optional<ExerciseKind> kind) override
    {
        calls << QStringLiteral("reset clock %1").arg(kind ? KindNumber(*kind) : 0);
    }

private:
    SetupState& m_state;
};

class SetupOperationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetUIStringById(texts, 5005, QStringLiteral("Error"));
        SetUIStringById(texts, 5007, QStringLiteral("Pellivark"));
        SetUIStringById(texts, 5010, QStringLiteral("File does not exist:"));
        SetUIStringById(texts, 5015, QStringLiteral("Not a setup file."));
        SetUIStringById(texts, 5019, QStringLiteral("Save the changed setup?"));
        SetUIStringById(texts, 98, QStringLiteral("Store the results?"));
        SetUIStringById(texts, 5008, QStringLiteral("Results"));
        ASSERT_TRUE(dir.IsValid());
        host.setupFolder = dir.Path();
        // A setup that differs from the default, so installing the default would show.
        state.CurrentSetup.ChordIdentification.HighestNote = 90;
        state.SavedSetup = state.CurrentSetup;
        state.SetupFileName = QStringLiteral("earlier.qib");
    }

    std::vector<std::uint8_t> SetupFileBytes(std::uint8_t lowest)
    {
        ExerciseSetup s = DefaultExerciseSetup();
        s.Scales.LowestNote = lowest;
        return EncodeExerciseSetup(s);
    }

    QStringList PushCalls() const
    {
        QStringList calls;
        for (int kind : {1, 2, 3, 5, 7, 8, 4, 6, 9, 10})
            calls << QStringLiteral("apply %1 reset").arg(kind);
        calls << QStringLiteral("tempo");
        return calls;
    }

    TempDir dir;
    UIStringTable texts;
    SetupState state;
    FakeSetupHost host{state};
    ScriptedPrompts prompts;
    SetupOperations ops{state, host, prompts, texts};
};

TEST_F(SetupOperationsTest, ACurrentFileLoadsUnderItsNameAndReachesEveryExercise)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("My.level.qib"), SetupFileBytes(40)));
    host.kindsWithResults = {ExerciseKind::ChordIdentification, ExerciseKind::RhythmImitation};
    prompts.buttons = {PromptButton::Yes};
    state.SetupModified = false;

    EXPECT_TRUE(ops.LoadExerciseSetup(dir.File(QStringLiteral("My.level.qib")), false));
    EXPECT_EQ(state.CurrentSetup.Scales.LowestNote, 40);
    EXPECT_EQ(state.SavedSetup, state.CurrentSetup);
    EXPECT_EQ(state.SetupFileName, dir.File(QStringLiteral("My.level.qib")));
    EXPECT_EQ(host.caption, QStringLiteral("My"));
    EXPECT_TRUE(state.SetupLoaded);
    EXPECT_FALSE(state.SetupModified);
    QStringList expected = {QStringLiteral("results? 5"), QStringLiteral("store results 2"),
                            QStringLiteral("reset clock 0")};
    expected << PushCalls();
    EXPECT_EQ(host.calls, expected);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("Store the results?"));
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Results"));
}

TEST_F(SetupOperationsTest, AMissingFileInstallsTheDefaultWithoutAName)
{
    const QString missing = dir.File(QStringLiteral("gone.qib"));
    const Status<SetupFileError> load = ops.LoadExerciseSetup(missing, false);
    ASSERT_FALSE(load.Ok());
    EXPECT_EQ(load.Code(), SetupFileError::CannotOpen);
    EXPECT_EQ(state.CurrentSetup, DefaultExerciseSetup());
    EXPECT_EQ(state.SavedSetup, DefaultExerciseSetup());
    EXPECT_TRUE(state.SetupFileName.isEmpty());
    EXPECT_EQ(host.caption, QStringLiteral(" "));
    EXPECT_TRUE(state.SetupLoaded);
    EXPECT_EQ(host.calls, PushCalls());
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(prompts.asked[0].text, QStringLiteral("File does not exist:\n\n") + missing);
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Error"));

    ScriptedPrompts quietPrompts;
    SetupOperations quiet{state, host, quietPrompts, texts};
    EXPECT_FALSE(quiet.LoadExerciseSetup(missing, true));
    EXPECT_TRUE(quietPrompts.asked.empty());
}

TEST_F(SetupOperationsTest, AFileThatIsThereButCannotBeReadIsNamedWithItsReason)
{
    const QString forbidden = dir.File(QStringLiteral("forbidden.qib"));
    ASSERT_TRUE(dir.Write(QStringLiteral("forbidden.qib"), SetupFileBytes(40)));
    ASSERT_EQ(chmod(QFile::encodeName(forbidden).constData(), 0), 0);
    const QString folder = dir.File(QStringLiteral("folder.qib"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString pipe = dir.File(QStringLiteral("pipe.qib"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    struct Case
    {
        QString file;
        QString reason;
    };
    const Case cases[] = {
        {forbidden, QString::fromLocal8Bit(std::strerror(EACCES))},
        {folder, QStringLiteral("a folder, not a regular file")},
        {pipe, QStringLiteral("a pipe, not a regular file")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        prompts.asked.clear();
        Status<SetupFileError> load = Fail(SetupFileError::Cancelled);
        {
            test::ActAsUnprivileged unprivileged(dir.Path());
            ASSERT_TRUE(unprivileged.Binding());
            load = ops.LoadExerciseSetup(c.file, false);
        }
        ASSERT_FALSE(load);
        EXPECT_EQ(load.Code(), SetupFileError::CannotOpen);
        EXPECT_EQ(load.Detail(), c.reason);
        ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
        const QString& text = prompts.asked[0].text;
        EXPECT_FALSE(text.startsWith(QStringLiteral("File does not exist"))) << text.toStdString();
        EXPECT_TRUE(text.contains(c.file)) << text.toStdString();
        EXPECT_TRUE(text.endsWith(c.reason)) << text.toStdString();
        // As for a missing file: the default is in force, under no name.
        EXPECT_EQ(state.CurrentSetup, DefaultExerciseSetup());
        EXPECT_TRUE(state.SetupFileName.isEmpty());
    }
}

TEST_F(SetupOperationsTest, DamagedFilesAreRefusedWithTheMessageAndChangeNothing)
{
    auto good = SetupFileBytes(40);
    auto wrongHeader = good;
    wrongHeader[1] = 'Q';
    auto overLongWrong = wrongHeader;
    overLongWrong.resize(900, 0x55);
    struct Case
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"short current record", std::vector<std::uint8_t>(good.begin(), good.begin() + 100)},
        {"one byte short", std::vector<std::uint8_t>(good.begin(), good.end() - 1)},
        {"wrong header", wrongHeader},
        {"over-long with wrong header", overLongWrong},
        {"old size with current header",
         std::vector<std::uint8_t>(good.begin(), good.begin() + 386)},
        {"old padded size, no header", std::vector<std::uint8_t>(388, 0)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(dir.Write(QStringLiteral("bad.qib"), c.bytes));
        const ExerciseSetup before = state.CurrentSetup;
        prompts.asked.clear();
        host.calls.clear();
        state.SetupModified = false;
        const Status<SetupFileError> load =
            ops.LoadExerciseSetup(dir.File(QStringLiteral("bad.qib")), false);
        ASSERT_FALSE(load.Ok());
        EXPECT_EQ(load.Code(), SetupFileError::NotASetup);
        EXPECT_EQ(state.CurrentSetup, before);
        EXPECT_EQ(state.SavedSetup, before);
        EXPECT_EQ(state.SetupFileName, QStringLiteral("earlier.qib"));
        EXPECT_EQ(host.caption, QStringLiteral("(none)"));
        EXPECT_TRUE(host.calls.isEmpty()) << host.calls.join(u',').toStdString();
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("info"));
        EXPECT_EQ(prompts.asked[0].text, QStringLiteral("Not a setup file."));
        EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Pellivark"));
    }
}

TEST_F(SetupOperationsTest, AnOverLongCurrentFileLoadsItsFirstRecord)
{
    auto bytes = SetupFileBytes(41);
    bytes.resize(700, 0xAA);
    ASSERT_TRUE(dir.Write(QStringLiteral("long.qib"), bytes));
    EXPECT_TRUE(ops.LoadExerciseSetup(dir.File(QStringLiteral("long.qib")), false));
    EXPECT_EQ(state.CurrentSetup.Scales.LowestNote, 41);
}

TEST_F(SetupOperationsTest, TheSaveQuestionDecidesWhetherTheLoadGoesOn)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("next.qib"), SetupFileBytes(42)));
    const QString next = dir.File(QStringLiteral("next.qib"));
    struct Case
    {
        const char* name;
        PromptButton answer;
        std::optional<QString> saveAs;
        bool loads;
        bool savedFileWritten;
    };
    const Case cases[] = {
        {"cancel stops", PromptButton::Cancel, std::nullopt, false, false},
        {"no loads without saving", PromptButton::No, std::nullopt, true, false},
        {"yes then save dialog cancelled stops", PromptButton::Yes, std::nullopt, false, false},
        {"yes then saved loads", PromptButton::Yes, dir.File(QStringLiteral("kept.qib")), true,
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(dir.File(QStringLiteral("kept.qib")));
        state.CurrentSetup = DefaultExerciseSetup();
        state.CurrentSetup.ChordIdentification.HighestNote = 90;
        state.SavedSetup = DefaultExerciseSetup();
        state.SetupModified = true;
        prompts.buttons = {c.answer};
        prompts.texts = {c.saveAs};
        prompts.asked.clear();

        EXPECT_EQ(ops.LoadExerciseSetup(next, false).Ok(), c.loads);
        EXPECT_EQ(prompts.asked.at(0).kind, QStringLiteral("yesnocancel"));
        EXPECT_EQ(prompts.asked.at(0).text, QStringLiteral("Save the changed setup?"));
        EXPECT_EQ(state.CurrentSetup.Scales.LowestNote, c.loads ? 42 : 53);
        EXPECT_EQ(state.CurrentSetup.ChordIdentification.HighestNote, c.loads ? 72 : 90);
        EXPECT_EQ(QFile::exists(dir.File(QStringLiteral("kept.qib"))), c.savedFileWritten);
        if (c.savedFileWritten) {
            const auto saved = ReadSetupFile(dir.File(QStringLiteral("kept.qib")));
            EXPECT_EQ(saved.Setup.ChordIdentification.HighestNote, 90);
        }
    }
}

TEST_F(SetupOperationsTest, InTheSetupViewThePageIsTakenBackBeforeComparing)
{
    host.setupView = true;
    host.currentKind = ExerciseKind::ChordIdentification;
    state.SetupModified = false;
    host.pageLowestNote = 50; // the user changed the page
    prompts.buttons = {PromptButton::Cancel};
    EXPECT_FALSE(ops.AskSaveChangedSetup());
    EXPECT_TRUE(state.SetupModified);
    EXPECT_EQ(host.calls, QStringList{QStringLiteral("store page 1")});

    // The view is entered again (a new snapshot): the change kept by Cancel is still asked
    // about, and once a save has cleared it nothing is asked.
    host.pageLowestNote = std::nullopt;
    state.SavedSetup = state.CurrentSetup;
    prompts.asked.clear();
    prompts.buttons = {PromptButton::Cancel};
    EXPECT_FALSE(ops.AskSaveChangedSetup());
    EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
    state.SetupModified = false;
    prompts.asked.clear();
    EXPECT_TRUE(ops.AskSaveChangedSetup());
    EXPECT_FALSE(state.SetupModified);
    EXPECT_TRUE(prompts.asked.empty());
}

TEST_F(SetupOperationsTest, LoadingInTheSetupViewRefreshesTheShownPage)
{
    host.setupView = true;
    host.currentKind = ExerciseKind::Scales;
    ASSERT_TRUE(dir.Write(QStringLiteral("v.qib"), SetupFileBytes(39)));
    EXPECT_TRUE(ops.LoadExerciseSetup(dir.File(QStringLiteral("v.qib")), false));
    ASSERT_GE(host.calls.size(), 2);
    EXPECT_EQ(host.calls.front(), QStringLiteral("store page 8"));
    // The page shown is the loaded setup's, and the setup as the page gives it back is the
    // saved one.
    EXPECT_EQ(host.calls.mid(host.calls.size() - 2),
              (QStringList{QStringLiteral("load page 8"), QStringLiteral("store page 8")}));
    EXPECT_EQ(state.SavedSetup, state.CurrentSetup);
}

TEST_F(SetupOperationsTest, WithTheTutorActiveLoadingNeverAsks)
{
    host.tutorActive = true;
    state.SetupModified = true;
    ASSERT_TRUE(dir.Write(QStringLiteral("t.qib"), SetupFileBytes(43)));
    EXPECT_TRUE(ops.LoadExerciseSetup(dir.File(QStringLiteral("t.qib")), false));
    EXPECT_TRUE(prompts.asked.empty());
    EXPECT_FALSE(ops.LoadExerciseSetup(QString(), false));
}

TEST_F(SetupOperationsTest, SavingKeepsHeaderBytesAndNamesTheFile)
{
    auto bytes = SetupFileBytes(44);
    bytes[14] = 0x12;
    bytes[15] = 0x34;
    bytes[669] = 0x56;
    ASSERT_TRUE(dir.Write(QStringLiteral("in.qib"), bytes));
    ASSERT_TRUE(ops.LoadExerciseSetup(dir.File(QStringLiteral("in.qib")), false));
    // A name longer than any stored capacity is used whole.
    const QString longName = dir.File(QString(200, u'n') + QStringLiteral(".qib"));
    EXPECT_TRUE(ops.SaveExerciseSetup(longName));
    EXPECT_EQ(dir.Read(QString(200, u'n') + QStringLiteral(".qib")), bytes);
    EXPECT_EQ(state.SetupFileName, longName);
    EXPECT_EQ(host.caption, QString(200, u'n'));
}

TEST_F(SetupOperationsTest, SaveAsProposesTheFileInTheSetupFolderAndSyncsTheSavedSetup)
{
    state.SetupFileName = QStringLiteral("/elsewhere/Mine.qib");
    state.CurrentSetup.Scales.LowestNote = 45;
    prompts.texts = {dir.File(QStringLiteral("Chosen"))};
    EXPECT_TRUE(ops.SaveSetupAs());
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].kind, QStringLiteral("save"));
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Save Exercise Setup"));
    EXPECT_EQ(prompts.asked[0].text, dir.File(QStringLiteral("Mine.qib|")) + SetupFileFilter());
    EXPECT_EQ(state.SetupFileName, dir.File(QStringLiteral("Chosen.qib")));
    EXPECT_EQ(state.SavedSetup, state.CurrentSetup);
    EXPECT_EQ(ReadSetupFile(state.SetupFileName).Setup.Scales.LowestNote, 45);

    // Cancelling changes nothing.
    const ExerciseSetup saved = state.SavedSetup;
    state.CurrentSetup.Scales.LowestNote = 46;
    prompts.texts.clear();
    EXPECT_FALSE(ops.SaveSetupAs());
    EXPECT_EQ(state.SavedSetup, saved);
}

TEST_F(SetupOperationsTest, SaveAsAsksBeforeReplacingTheFileItsAddedExtensionNames)
{
    struct Case
    {
        const char* name;
        std::vector<const char*> typed; ///< the save dialog's answers, in order
        std::deque<PromptButton> buttons;
        QStringList askedKinds;
        bool saved;
        const char* writtenFile; ///< the file that holds the new setup, if any
    };
    const QString save = QStringLiteral("save");
    const QString yesNo = QStringLiteral("yesno");
    const Case cases[] = {
        {"yes replaces it", {"Mine"}, {PromptButton::Yes}, {save, yesNo}, true, "Mine.qib"},
        {"no keeps it and opens the dialog again, which is cancelled",
         {"Mine"},
         {PromptButton::No},
         {save, yesNo, save},
         false,
         nullptr},
        {"no, then another name",
         {"Mine", "Other"},
         {PromptButton::No},
         {save, yesNo, save},
         true,
         "Other.qib"},
        {"typed with its extension the dialog asked already",
         {"Mine.qib"},
         {},
         {save},
         true,
         "Mine.qib"},
        {"a new name needs no question", {"Fresh"}, {}, {save}, true, "Fresh.qib"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* name : {"Mine.qib", "Other.qib", "Fresh.qib"})
            QFile::remove(dir.File(QString::fromLatin1(name)));
        ASSERT_TRUE(dir.Write(QStringLiteral("Mine.qib"), SetupFileBytes(47)));
        state.SetupFileName = QStringLiteral("earlier.qib");
        state.CurrentSetup.Scales.LowestNote = 50;
        state.SavedSetup = DefaultExerciseSetup();
        state.SetupModified = true;
        prompts.asked.clear();
        prompts.buttons = c.buttons;
        prompts.texts.clear();
        for (const char* typed : c.typed)
            prompts.texts.push_back(dir.File(QString::fromLatin1(typed)));

        const Status<SetupFileError> result = ops.SaveSetupAs();
        EXPECT_EQ(result.Ok(), c.saved);
        if (!c.saved) {
            EXPECT_EQ(result.Code(), SetupFileError::Cancelled);
        }
        QStringList kinds;
        for (const auto& asked : prompts.asked)
            kinds << asked.kind;
        EXPECT_EQ(kinds, c.askedKinds);
        if (kinds.size() >= 2 && kinds[1] == yesNo) {
            EXPECT_TRUE(prompts.asked[1].text.contains(QStringLiteral("Mine.qib")));
            EXPECT_EQ(prompts.asked[1].caption, QStringLiteral("Save Exercise Setup"));
        }
        if (kinds.size() == 3) {
            EXPECT_TRUE(prompts.asked[2].text.startsWith(dir.File(QStringLiteral("Mine.qib|"))))
                << "the dialog opens again on the name the user declined";
        }
        const bool mineReplaced = c.writtenFile && QByteArray(c.writtenFile) == "Mine.qib";
        EXPECT_EQ(ReadSetupFile(dir.File(QStringLiteral("Mine.qib"))).Setup.Scales.LowestNote,
                  mineReplaced ? 50 : 47);
        if (c.writtenFile) {
            const QString written = dir.File(QString::fromLatin1(c.writtenFile));
            EXPECT_EQ(ReadSetupFile(written).Setup.Scales.LowestNote, 50);
            EXPECT_EQ(state.SetupFileName, written);
            EXPECT_FALSE(state.SetupModified);
        } else {
            EXPECT_EQ(state.SetupFileName, QStringLiteral("earlier.qib"));
            EXPECT_TRUE(state.SetupModified);
            EXPECT_EQ(state.SavedSetup, DefaultExerciseSetup());
        }
    }
}

TEST_F(SetupOperationsTest, ShippedSetupsAreNeverProposedNorWritten)
{
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("shipped"))));
    ASSERT_TRUE(QDir().mkpath(dir.File(QStringLiteral("own"))));
    host.shippedFolder = dir.File(QStringLiteral("shipped/"));
    host.setupFolder = dir.File(QStringLiteral("own/"));
    const QString shipped = dir.File(QStringLiteral("shipped/Default_level.qib"));
    const QString own = dir.File(QStringLiteral("own/Mine.qib"));
    struct Case
    {
        const char* name;
        std::vector<QString> typed; ///< the save dialog's answers, in order
        bool saved;
    };
    const Case cases[] = {
        {"the shipped file itself, then cancelled", {shipped}, false},
        {"its name without the extension, then cancelled",
         {dir.File(QStringLiteral("shipped/Default_level"))},
         false},
        {"the shipped file, then a name of the user's", {shipped, own}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(dir.Write(QStringLiteral("shipped/Default_level.qib"), SetupFileBytes(47)));
        QFile::remove(own);
        state.SetupFileName = shipped;
        state.CurrentSetup.Scales.LowestNote = 50;
        prompts.asked.clear();
        prompts.texts.assign(c.typed.begin(), c.typed.end());

        EXPECT_EQ(ops.SaveSetupAs().Ok(), c.saved);
        ASSERT_GE(prompts.asked.size(), 3U);
        // The dialog starts in the user's folder with no name, and comes back there after
        // the refusal, which names the file.
        EXPECT_EQ(prompts.asked[0].text, host.setupFolder + QLatin1Char('|') + SetupFileFilter());
        EXPECT_EQ(prompts.asked[1].kind, QStringLiteral("error"));
        EXPECT_TRUE(prompts.asked[1].text.contains(shipped)) << prompts.asked[1].text.toStdString();
        EXPECT_EQ(prompts.asked[2].text, host.setupFolder + QLatin1Char('|') + SetupFileFilter());
        EXPECT_EQ(dir.Read(QStringLiteral("shipped/Default_level.qib")), SetupFileBytes(47));
        EXPECT_EQ(state.SetupFileName, c.saved ? own : shipped);
    }

    // Written directly, a shipped file is refused all the same.
    prompts.asked.clear();
    const Status<SetupFileError> direct = ops.SaveExerciseSetup(shipped);
    EXPECT_EQ(direct.Code(), SetupFileError::CannotCreate);
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(dir.Read(QStringLiteral("shipped/Default_level.qib")), SetupFileBytes(47));
}

TEST_F(SetupOperationsTest, AFailedWriteShowsWhyAndLeavesEverythingAsItWas)
{
    ASSERT_TRUE(dir.Write(QStringLiteral("old.qib"), SetupFileBytes(47)));
    state.SetupModified = true;
    state.CurrentSetup.Scales.LowestNote = 48;
    const ExerciseSetup saved = state.SavedSetup;
    prompts.texts = {dir.File(QStringLiteral("no/such/folder/x.qib"))};
    const Status<SetupFileError> result = ops.SaveSetupAs();
    ASSERT_FALSE(result.Ok());
    EXPECT_EQ(result.Code(), SetupFileError::CannotCreate);
    EXPECT_FALSE(result.Detail().isEmpty()) << "the system's reason";
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_TRUE(prompts.asked.back().text.startsWith(dir.File(QStringLiteral("no/such"))));
    EXPECT_EQ(state.SetupFileName, QStringLiteral("earlier.qib"));
    EXPECT_EQ(state.SavedSetup, saved);
    EXPECT_EQ(host.caption, QStringLiteral("(none)"));
    EXPECT_EQ(dir.Read(QStringLiteral("old.qib")), SetupFileBytes(47));
}

TEST_F(SetupOperationsTest, CaptionsAreTheNameBeforeItsFirstDot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/a/b/Level one.qib", "Level one"},
        {"C:\\setups\\x.y.qib", "x"},
        {"D:name.qib", "name"},
        {"/folder.with.dots/plain", ""},
        {"", ""},
    };
    for (const auto& [name, caption] : cases)
        EXPECT_EQ(SetupOperations::SetupCaption(QString::fromUtf8(name)),
                  QString::fromUtf8(caption))
            << name;
}

TEST_F(SetupOperationsTest, TheSetupPagesFollowTheCurrentKind)
{
    host.currentKind = ExerciseKind::MelodyDictation;
    state.CurrentSetup.Scales.LowestNote = 49;
    ops.ShowSetupDialog(ExerciseKind::MelodyDictation, true);
    EXPECT_EQ(state.SavedSetup, state.CurrentSetup);
    ops.TakeSetupFromDialog();
    host.currentKind = std::nullopt;
    ops.TakeSetupFromDialog();
    ops.ShowSetupDialog(static_cast<ExerciseKind>(11), false);
    // The snapshot is taken back once from the page, then stored by the take-back.
    EXPECT_EQ(host.calls,
              (QStringList{QStringLiteral("load page 9"), QStringLiteral("store page 9"),
                           QStringLiteral("store page 9")}));

    host.calls.clear();
    ops.InstallDefaultSetup();
    EXPECT_EQ(state.CurrentSetup, DefaultExerciseSetup());
    EXPECT_EQ(state.SavedSetup, DefaultExerciseSetup());
    EXPECT_EQ(host.caption, QStringLiteral(" "));
    EXPECT_EQ(host.calls, PushCalls());
}

} // namespace
} // namespace pv
