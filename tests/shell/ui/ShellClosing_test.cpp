// The whole program at closing and at the next start: what the user made is kept, a failed
// store is said and asked about, and the first run is told from the later ones.
#include "ShellProgramRun.h"
#include "exercises/items/ItemTables.h"
#include "exercises/ui/TChordOps.h"
#include "support/DataFolderCopy.h"
#include "support/FileSizeLimit.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

/// The user record and the settings record of user 1 as the files hold them now.
struct StoredData
{
    std::optional<TUserRec> user;
    std::optional<TSettingsRec> settings;
};

StoredData ReadStored(const Installation& installation)
{
    test::DataFolderCopy files(installation.ProgramFolders(),
                               installation.program.File(QStringLiteral("Language/")));
    StoredData stored;
    stored.user = files.User(1);
    if (QFileInfo::exists(files.data.SettingsFilePath()) && files.LoadUserSettings(1))
        stored.settings = files.settings;
    return stored;
}

ItemDefinition Notes(std::initializer_list<std::uint8_t> pitches)
{
    ItemDefinition item;
    std::size_t i = 0;
    for (const std::uint8_t pitch : pitches)
        item.Notes[i++] = ItemNote{pitch, kShiftNatural, 0, 0};
    return item;
}

TEST(ShellClosing, TheUsersOwnItemsAreKeptAtClosingAndOnlyWhenChanged)
{
    Installation installation;
    ASSERT_TRUE(installation.AddChordTutor());
    const QString chordFile = installation.DataFile(QStringLiteral("Chord.dat"));
    constexpr std::size_t kNewSlot = 39;     // item 40: beyond the built-in chords
    constexpr std::size_t kBuiltInSlot = 27; // item 28: built in, and the user's to change
    const ItemDefinition minorSixth = Notes({60, 63, 67, 69});
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        ASSERT_TRUE(run.Close());
        EXPECT_FALSE(QFileInfo::exists(chordFile)) << "nothing of the user's to keep";
    }
    {
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        ItemTable& chords = run.program.Items().ChordIdentification;
        ASSERT_EQ(chords.Counts[kNewSlot], 0);
        ASSERT_NE(chords.Counts[kBuiltInSlot], 0);
        chords.Counts[kNewSlot] = 4;
        chords.Items[kNewSlot] = minorSixth;
        chords.Names[kNewSlot] = QStringLiteral("Minor sixth");
        chords.Counts[kBuiltInSlot] = 0;
        // Closed while a tutor runs: the items are the user's all the same.
        run.dialogs = test::AcceptTutorDialog;
        run.program.App().Users.CurrentUser->Record.TutorFileName = Installation::kChordTutor;
        run.Window().Button(MainControl::SpeedButton10)->click();
        ASSERT_TRUE(run.program.State().TutorActive);
        ASSERT_NE(run.program.Items().ChordIdentification.Counts[kBuiltInSlot], 0)
            << "the tutor's tables are in force";
        ASSERT_TRUE(run.Close());
        EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
        EXPECT_TRUE(QFileInfo::exists(chordFile));
    }
    const QDateTime written = QFileInfo(chordFile).lastModified();
    const std::vector<std::uint8_t> bytes =
        installation.data.Read(QStringLiteral("Data/Chord.dat"));
    {
        ScriptedPrompts prompts;
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        const ItemTable& chords = run.program.Items().ChordIdentification;
        EXPECT_EQ(chords.Counts[kNewSlot], 4);
        EXPECT_EQ(chords.Items[kNewSlot], minorSixth);
        EXPECT_EQ(chords.Names[kNewSlot], QStringLiteral("Minor sixth"));
        EXPECT_EQ(chords.Counts[kBuiltInSlot], 0) << "an emptied built-in item stays empty";
        ASSERT_TRUE(run.Close());
    }
    // Unchanged since the last start: the file is not written again.
    EXPECT_EQ(installation.data.Read(QStringLiteral("Data/Chord.dat")), bytes);
    EXPECT_EQ(QFileInfo(chordFile).lastModified(), written);
}

TEST(ShellClosing, AFailedResultStoreAsksAndClosingGoesOnWithTheSetupUserAndSettings)
{
    Installation installation;
    const QString mine = installation.data.File(QStringLiteral("Mine.qib"));
    ASSERT_TRUE(WriteSetupFile(mine, DefaultExerciseSetup()));
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts, mine);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.program.Setup().SetupFileName, mine);
    const std::optional<TUserRec> before = ReadStored(installation).user;
    ASSERT_TRUE(before.has_value());
    ASSERT_FALSE(before->LastSetupFile.endsWith(QStringLiteral("Mine.qib")));

    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.ChordWindow();
    ASSERT_NE(exercise, nullptr);
    test::AnswerQuestions(*exercise, 5);
    ASSERT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 5U);
    // A folder where the result file goes: no result can be stored.
    ASSERT_TRUE(QDir().mkpath(ResultFileName(run.program.Data(), 1)));
    // The setup changed, as its page would leave it.
    run.program.Setup().SetupModified = true;
    run.Window().resize(1000, 700);

    // Store: it fails, and No keeps the program open with the answers.
    prompts.buttons = {PromptButton::Yes, PromptButton::No};
    EXPECT_FALSE(run.Close());
    EXPECT_GE(prompts.Count(QStringLiteral("error")), 1);
    EXPECT_EQ(prompts.Count(QStringLiteral("yesno")), 1);
    EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 5U);
    EXPECT_FALSE(ReadStored(installation).settings.has_value()) << "nothing was stored yet";

    // Again, and Yes closes without them: the setup question, the user and the settings
    // follow as on any close.
    prompts.asked.clear();
    prompts.buttons = {PromptButton::Yes, PromptButton::Yes, PromptButton::No};
    EXPECT_TRUE(run.Close());
    ASSERT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 2);
    EXPECT_EQ(prompts.asked.back().text, run.program.Strings().StrSaveSetupQuery);
    const StoredData stored = ReadStored(installation);
    ASSERT_TRUE(stored.user.has_value());
    EXPECT_TRUE(stored.user->LastSetupFile.endsWith(QStringLiteral("Mine.qib")))
        << stored.user->LastSetupFile.toStdString();
    ASSERT_TRUE(stored.settings.has_value());
    EXPECT_EQ(stored.settings->MainWidth, 1000);
}

TEST(ShellClosing, SettingsThatCannotBeStoredAtClosingAreReported)
{
    Installation installation;
    {
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        ASSERT_TRUE(run.Close());
    }
    const QString settingsFile = installation.DataFile(QStringLiteral("Setting.dat"));
    const qint64 userFileSize = QFileInfo(installation.DataFile(QStringLiteral("User.dat"))).size();
    ASSERT_GT(QFileInfo(settingsFile).size(), userFileSize);

    ScriptedPrompts prompts;
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 0);
    {
        // The user record still fits, the settings record no longer does.
        test::FileSizeLimit full(static_cast<rlim_t>(userFileSize));
        ASSERT_TRUE(full.Set());
        EXPECT_TRUE(run.Close()) << "a failed store keeps no one from closing";
    }
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    const test::AskedPrompt& error = prompts.asked.back();
    EXPECT_EQ(error.kind, QStringLiteral("error"));
    EXPECT_TRUE(error.text.contains(QStringLiteral("Setting.dat"))) << error.text.toStdString();
}

TEST(ShellClosing, TheFirstRunIsRecognisedOnceAndMarkedForTheNextRuns)
{
    Installation installation;
    const auto storedValue = [&] {
        return QSettings(installation.FirstRunStore(), QSettings::IniFormat)
            .value(QStringLiteral("4.0/Firsttime"))
            .toString();
    };
    const bool expected[] = {true, false, false};
    for (std::size_t n = 0; n < std::size(expected); ++n) {
        SCOPED_TRACE(n);
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        ProgramRun run(installation, prompts);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(run.program.Model().FirstRun, expected[n]);
        EXPECT_EQ(storedValue(), QStringLiteral("FALSE"));
        ASSERT_TRUE(run.Close());
    }
}

/// How often closing asked whether to save the changed setup.
int SetupQuestions(const ScriptedPrompts& prompts, const QString& question)
{
    int count = 0;
    for (const test::AskedPrompt& p : prompts.asked)
        count += p.text == question ? 1 : 0;
    return count;
}

TEST(ShellClosing, OnlyARealChangeInTheSetupViewIsOfferedForSavingAtClosing)
{
    // Every kind's page shown in turn, back and forth, and once more after the exercise view:
    // looking at the pages changes nothing.
    const auto browseEveryPage = [](ProgramRun& run) {
        TPellivarkMain& window = run.Window();
        window.Button(MainControl::Speed1)->click();
        window.Button(MainControl::RunKonfig)->click();
        ASSERT_EQ(run.program.State().CurrentView, MainView::ExerciseSetup);
        for (int kind = 1; kind <= 10; ++kind) {
            SCOPED_TRACE(kind);
            window.Button(kExerciseButtons[kind])->click();
            ASSERT_EQ(run.program.State().CurrentView, MainView::ExerciseSetup);
            ASSERT_EQ(KindNumber(*run.program.State().CurrentKind), kind);
        }
        for (int kind = 9; kind >= 1; --kind)
            window.Button(kExerciseButtons[kind])->click();
        window.Button(MainControl::SpeedButton1)->click();
        window.Button(MainControl::RunKonfig)->click();
        window.Button(kExerciseButtons[4])->click();
    };

    struct Case
    {
        const char* name;
        bool fromFile;  // the setup named on the command line, else the one found at start
        bool changeOne; // one box on the first kind's page is changed before browsing
    };
    for (const Case& c : {Case{"start-up setup", false, false}, Case{"own file", true, false},
                          Case{"own file, one change", true, true}}) {
        SCOPED_TRACE(c.name);
        Installation installation;
        const QString mine = installation.data.File(QStringLiteral("Mine.qib"));
        ASSERT_TRUE(WriteSetupFile(mine, DefaultExerciseSetup()));
        ScriptedPrompts prompts;
        prompts.texts = {QStringLiteral("Ann")};
        prompts.defaultButton = PromptButton::No;
        ProgramRun run(installation, prompts, c.fromFile ? mine : QString());
        ASSERT_TRUE(run.started);
        if (c.changeOne) {
            run.Window().Button(MainControl::Speed1)->click();
            run.Window().Button(MainControl::RunKonfig)->click();
            QCheckBox* downwards = run.program.ChordOps()->Akk_NedCheck;
            const bool was = downwards->isChecked();
            downwards->click();
            ASSERT_NE(downwards->isChecked(), was);
            run.Window().Button(MainControl::SpeedButton1)->click();
        }
        browseEveryPage(run);
        prompts.asked.clear();
        ASSERT_TRUE(run.Close());
        EXPECT_EQ(SetupQuestions(prompts, run.program.Strings().StrSaveSetupQuery),
                  c.changeOne ? 1 : 0);
    }
}

} // namespace
} // namespace pv
