// The whole program's setup files and the File menu: saving goes to the user's folder and never
// over a shipped setup, the chooser offers both kinds of setup in the language's texts, and the
// tutor takes the setup entries away with their keys.
#include "ShellProgramRun.h"
#include "exercises/setup/OldSetupConverter.h"
#include "exercises/ui/TChordOps.h"
#include "exercises/ui/TLevels.h"
#include "music/files/DaysSince1899.h"
#include "shell/help/ui/THelpViewer.h"
#include "support/DataFolderCopy.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

std::vector<test::AskedPrompt> Asked(const ScriptedPrompts& prompts, const QString& kind)
{
    std::vector<test::AskedPrompt> found;
    for (const test::AskedPrompt& p : prompts.asked) {
        if (p.kind == kind)
            found.push_back(p);
    }
    return found;
}

/// A setup file of the previous data version: the chord block asks items 1 and 6 (old flags 1
/// and 5) in 60..67 with arpeggios and the answer by name; the rhythm and melody blocks hold
/// what the current defaults would have been in the old layout.
std::vector<std::uint8_t> OldSetupFile()
{
    std::vector<std::uint8_t> old(kOldSetupSize, 0);
    const std::string mark = "Pellivark 2.0";
    old[0] = static_cast<std::uint8_t>(mark.size());
    std::copy(mark.begin(), mark.end(), old.begin() + 1);
    std::uint8_t* chord = old.data() + kOldChordOptionsOffset;
    chord[0] = 1;
    chord[4] = 1;
    chord[29] = chord[30] = 1; // arpeggio up and down
    chord[31] = 1;             // key signature
    chord[34] = 1;             // answer input mode 1: by name
    chord[35] = 1;             // play the tone on a click
    chord[48] = 67;
    chord[49] = 60;
    const std::vector<std::uint8_t> current = EncodeExerciseSetup(DefaultExerciseSetup());
    for (std::size_t k = 0; k < 3; ++k) {
        const std::uint8_t* from = current.data() + kRhythmImitationOffset + 44 * k;
        std::uint8_t* to = old.data() + kOldRhythmOffset + kOldRhythmBlockSize * k;
        std::copy_n(from, 6, to);
        std::copy_n(from + 20, 6, to + 6);
        std::copy_n(from + 26, 18, to + 12);
    }
    std::uint8_t* melody = old.data() + kOldMelodyOffset;
    std::copy_n(current.data() + kMelodySetupOffset, 29, melody);
    melody[18] = static_cast<std::uint8_t>(melody[18] - 16); // no reference kind in old files
    return old;
}

TEST(ShellSetupFiles, SaveSetupAsStartsInTheUsersFolderAndRefusesTheShippedSetup)
{
    Installation installation;
    const std::vector<std::uint8_t> shipped =
        installation.program.Read(QStringLiteral("Default_level.qib"));
    const QString userFolder = installation.ProgramFolders().DataFolder;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    ASSERT_EQ(run.program.Setup().SetupFileName, installation.DefaultSetupPath());
    QAction* saveAs = run.Window().Action(MainControl::Gemopstning1);
    ASSERT_NE(saveAs, nullptr);
    ASSERT_TRUE(saveAs->isEnabled());

    // The shipped setup chosen as the target, by its name and by its name without the
    // extension: both refused, and the dialog comes back; then the user gives up.
    prompts.asked.clear();
    prompts.texts = {installation.DefaultSetupPath(),
                     installation.program.File(QStringLiteral("Default_level"))};
    saveAs->trigger();
    const std::vector<test::AskedPrompt> dialogs = Asked(prompts, QStringLiteral("save"));
    ASSERT_EQ(dialogs.size(), 3U);
    for (const test::AskedPrompt& dialog : dialogs) {
        EXPECT_TRUE(dialog.text.startsWith(userFolder + QLatin1Char('|')))
            << "the user's folder, no name chosen: " << dialog.text.toStdString();
    }
    const std::vector<test::AskedPrompt> errors = Asked(prompts, QStringLiteral("error"));
    ASSERT_EQ(errors.size(), 2U);
    EXPECT_TRUE(errors.front().text.contains(QStringLiteral("Default_level.qib")));
    EXPECT_EQ(installation.program.Read(QStringLiteral("Default_level.qib")), shipped);
    EXPECT_EQ(run.program.Setup().SetupFileName, installation.DefaultSetupPath());

    // A name of the user's own is saved in the user's folder, and the next save proposes it.
    prompts.asked.clear();
    prompts.texts = {userFolder + QStringLiteral("Mine")};
    saveAs->trigger();
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
    EXPECT_EQ(run.program.Setup().SetupFileName, userFolder + QStringLiteral("Mine.qib"));
    EXPECT_TRUE(QFileInfo::exists(userFolder + QStringLiteral("Mine.qib")));
    prompts.asked.clear();
    saveAs->trigger();
    ASSERT_EQ(prompts.Count(QStringLiteral("save")), 1);
    EXPECT_TRUE(prompts.asked.front().text.startsWith(userFolder + QStringLiteral("Mine.qib|")));
    EXPECT_TRUE(run.Close());
}

TEST(ShellSetupFiles, TheChooserOffersShippedAndOwnSetupsInTheLanguagesTexts)
{
    Installation installation;
    ASSERT_TRUE(WriteSetupFile(installation.program.File(QStringLiteral("Intervals.qib")),
                               DefaultExerciseSetup()));
    const QString own = installation.DataFile(QStringLiteral("Mine.qib"));
    ASSERT_TRUE(QDir().mkpath(installation.ProgramFolders().DataFolder));
    ASSERT_TRUE(WriteSetupFile(own, DefaultExerciseSetup()));
    // The chooser's texts as another language file would give them.
    QFile language(installation.program.File(QStringLiteral("Language/English.LAN")));
    ASSERT_TRUE(language.open(QIODevice::Append));
    language.write("5105=Pick a setup\r\n5100=All setups:\r\n5102=mine\r\n80=Assistance\r\n"
                   "10=&Fetch a setup\r\n");
    language.close();

    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    QStringList listed;
    QString title;
    QString heading;
    QString legend;
    QString help;
    QString helpPage;
    QString helpText;
    int shown = 0;
    run.dialogs = [&](QDialog& dialog) {
        auto* chooser = qobject_cast<TLevels*>(&dialog);
        if (chooser == nullptr)
            return static_cast<int>(QDialog::Rejected);
        ++shown;
        chooser->show();
        QCoreApplication::processEvents();
        title = chooser->windowTitle();
        heading = chooser->Label2->text();
        legend = chooser->Label1->isVisible() ? chooser->Label1->text() : QString();
        help = chooser->BitBtn4->text();
        listed.clear();
        for (int i = 0; i < chooser->ListBox2->count(); ++i)
            listed << chooser->ListBox2->item(i)->text();
        test::SavePicture(*chooser, QStringLiteral("shell-setup-chooser.png"));
        // Help opens the help window on the chooser's page; Other... asks with the language's
        // title and is given up, which leaves the chooser open; then the user's own setup is
        // picked.
        chooser->BitBtn4->click();
        if (auto* viewer = run.Window().findChild<THelpViewer*>(QStringLiteral("HelpForm"));
            viewer != nullptr && viewer->isVisible()) {
            helpPage = viewer->CurrentKey();
            helpText = viewer->PageView->toPlainText();
            viewer->close();
        }
        prompts.texts = {std::nullopt};
        chooser->BitBtn2->click();
        EXPECT_TRUE(chooser->isVisible());
        chooser->ListBox2->setCurrentRow(
            static_cast<int>(listed.indexOf(QStringLiteral("* Mine"))));
        chooser->ListBox2Click();
        chooser->BitBtn1->click();
        return chooser->result();
    };
    QAction* open = run.Window().Action(MainControl::Hentstandardopstning1);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("&Fetch a setup..."));
    prompts.asked.clear();
    open->trigger();

    ASSERT_EQ(shown, 1);
    EXPECT_EQ(title, QStringLiteral("Pick a setup"));
    EXPECT_EQ(heading, QStringLiteral("All setups:"));
    EXPECT_EQ(legend, QStringLiteral("* = mine"));
    EXPECT_EQ(help, QStringLiteral("Assistance"));
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Default_level"), QStringLiteral("Intervals"),
                                   QStringLiteral("* Mine")}));
    EXPECT_EQ(helpPage, QStringLiteral("setup-chooser"));
    EXPECT_TRUE(helpText.contains(QStringLiteral("Choose an exercise setup")))
        << helpText.toStdString();
    ASSERT_EQ(prompts.asked.size(), 1u) << "no box beside the help window";
    ASSERT_EQ(prompts.Count(QStringLiteral("open")), 1);
    EXPECT_EQ(prompts.asked[0].caption, QStringLiteral("Fetch a setup"));
    EXPECT_EQ(run.program.Setup().SetupFileName, own);
    EXPECT_TRUE(run.Close());
}

TEST(ShellSetupFiles, TheFileMenuHoldsItsEntriesAndTheTutorTakesTheSetupOnesAway)
{
    Installation installation;
    ASSERT_TRUE(installation.AddChordTutor());
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();

    // Each entry says what it does; none of the program's own opens the chooser around them.
    QMenu* file = window.menuBar()->findChild<QMenu*>(QStringLiteral("Filer1Menu"));
    ASSERT_NE(file, nullptr);
    std::vector<std::pair<QString, QString>> entries;
    for (QAction* action : file->actions()) {
        if (action->isVisible() && !action->isSeparator())
            entries.emplace_back(action->objectName(), action->text());
    }
    const std::vector<std::pair<QString, QString>> expected = {
        {QStringLiteral("Hentstandardopstning1"), QStringLiteral("&Open a setup...")},
        {QStringLiteral("Gemopstning1"), QStringLiteral("&Save setup as...")},
        {QStringLiteral("Restartexercise"), QStringLiteral("&Restart the exercise...")},
        {QStringLiteral("Reports1"), QStringLiteral("&Reports...")},
        {QStringLiteral("ImportExport"), QStringLiteral("&Export and import...")},
        {QStringLiteral("Userinfo1"), QStringLiteral("&User information...")},
        {QStringLiteral("Exit2"), QStringLiteral("E&xit")},
    };
    EXPECT_EQ(entries, expected);
    EXPECT_EQ(window.findChild<QAction*>(QStringLiteral("Opensetup1")), nullptr);

    int choosers = 0;
    run.dialogs = [&](QDialog& dialog) {
        if (qobject_cast<TLevels*>(&dialog) != nullptr) {
            ++choosers;
            return static_cast<int>(QDialog::Rejected);
        }
        return test::AcceptTutorDialog(dialog);
    };
    const struct
    {
        const char* name;
        bool tutor;
    } phases[] = {
        {"without the tutor", false}, {"while the tutor runs", true}, {"the tutor ended", false}};
    for (const auto& phase : phases) {
        SCOPED_TRACE(phase.name);
        if (phase.tutor != run.program.State().TutorActive) {
            run.program.App().Users.CurrentUser->Record.TutorFileName = Installation::kChordTutor;
            window.Button(MainControl::SpeedButton10)->click();
            ASSERT_EQ(run.program.State().TutorActive, phase.tutor);
            QApplication::setActiveWindow(&window);
            QCoreApplication::processEvents();
        }
        for (MainControl entry : {MainControl::Hentstandardopstning1, MainControl::Gemopstning1}) {
            EXPECT_EQ(window.Action(entry)->isEnabled(), !phase.tutor);
        }
        EXPECT_EQ(window.Button(MainControl::SpeedButton2)->isEnabled(), !phase.tutor);
        if (phase.tutor) {
            EXPECT_FALSE(window.Action(MainControl::Restartexercise)->isEnabled());
        }
        const int before = choosers;
        prompts.asked.clear();
        EXPECT_EQ(test::PressShortcut(window, Qt::Key_F2), !phase.tutor);
        EXPECT_EQ(choosers, before + (phase.tutor ? 0 : 1));
        EXPECT_EQ(test::PressShortcut(window, Qt::Key_F3), !phase.tutor);
        EXPECT_EQ(prompts.Count(QStringLiteral("save")), phase.tutor ? 0 : 1);
    }
    EXPECT_TRUE(run.Close());
}

TEST(ShellSetupFiles, AnOldSetupFromTheChooserIsConvertedAfterTheAnswersSoFarAreStored)
{
    Installation installation;
    const QString oldFile = installation.DataFile(QStringLiteral("Old.qib"));
    ASSERT_TRUE(QDir().mkpath(installation.ProgramFolders().DataFolder));
    {
        QFile file(oldFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const std::vector<std::uint8_t> bytes = OldSetupFile();
        ASSERT_EQ(file.write(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    run.Window().Button(MainControl::Speed1)->click();
    TAkkord* exercise = run.ChordWindow();
    ASSERT_NE(exercise, nullptr);
    ASSERT_NE(exercise->Model().ButtonOfItem(2), 0) << "the shipped setup asks item 2";
    // Each look at the clock is two seconds later, so every answer takes some time.
    constexpr double kStep = 2.0 / 86400.0;
    double now = NowInDaysSince1899();
    exercise->SetDateSource([&now] { return now += kStep; });
    test::AnswerQuestions(*exercise, 5);
    exercise->SetDateSource({});
    ASSERT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 5U);

    // The chooser's Other... picks the old file; the answers so far are to be stored.
    run.dialogs = [&](QDialog& dialog) {
        auto* chooser = qobject_cast<TLevels*>(&dialog);
        if (chooser == nullptr)
            return static_cast<int>(QDialog::Rejected);
        chooser->show();
        QCoreApplication::processEvents();
        prompts.texts = {oldFile};
        chooser->BitBtn2->click();
        return chooser->result();
    };
    prompts.asked.clear();
    prompts.buttons = {PromptButton::Yes};
    run.Window().Action(MainControl::Hentstandardopstning1)->trigger();

    const std::vector<test::AskedPrompt> questions = Asked(prompts, QStringLiteral("yesno"));
    ASSERT_EQ(questions.size(), 1U);
    EXPECT_EQ(questions[0].text, run.program.Strings().StrSaveResultsQuery);
    EXPECT_EQ(questions[0].caption, run.program.Strings().StrSaveResultsCaption);
    EXPECT_EQ(prompts.Count(QStringLiteral("info")), 0) << "the old header is accepted";
    test::DataFolderCopy files(installation.ProgramFolders());
    const std::vector<TResultRec> results = files.Results(1);
    ASSERT_EQ(results.size(), 1U);
    EXPECT_EQ(results[0].Kind, 1);
    EXPECT_EQ(results[0].Count, 5);
    EXPECT_EQ(results[0].Score, 5);
    EXPECT_GE(results[0].AnswerTimeSum, 5 * kStep * 0.999) << "the answer times are kept";
    EXPECT_LT(results[0].AnswerTimeSum, 1.0);
    EXPECT_EQ(run.program.Sessions().Of(ExerciseKind::ChordIdentification).QuestionCount, 0U)
        << "the new setup starts afresh";

    // The converted setup is in force under the old file's name, in the current layout.
    const SetupState& setup = run.program.Setup();
    EXPECT_EQ(setup.SetupFileName, oldFile);
    EXPECT_EQ(exercise->windowTitle(), QStringLiteral("Old"));
    const OptionBlock& chords = setup.CurrentSetup.ChordIdentification;
    for (std::size_t i = 0; i < chords.ItemFlags.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(chords.ItemFlags[i], i == 0 || i == 5 ? 1 : 0);
    }
    EXPECT_EQ(chords.HighestNote, 67);
    EXPECT_EQ(chords.LowestNote, 60);
    EXPECT_EQ(chords.AnswerInput, 0x01);
    EXPECT_EQ(chords.TonicReference, 16);
    EXPECT_EQ(setup.CurrentSetup.RhythmReading, DefaultExerciseSetup().RhythmReading);
    EXPECT_EQ(setup.CurrentSetup.Melody, DefaultExerciseSetup().Melody);
    EXPECT_FALSE(setup.SetupModified);
    EXPECT_EQ(setup.SavedSetup, setup.CurrentSetup);

    // The chord window asks exactly the two items now.
    EXPECT_NE(exercise->Model().ButtonOfItem(1), 0);
    EXPECT_NE(exercise->Model().ButtonOfItem(6), 0);
    EXPECT_EQ(exercise->Model().ButtonOfItem(2), 0);
    test::AnswerQuestions(*exercise, 1);
    EXPECT_TRUE(exercise->Model().QuestionItem == 1 || exercise->Model().QuestionItem == 6);
    test::SavePicture(run.Window(), QStringLiteral("shell-old-setup-loaded.png"));

    // Saving writes the current format, which the next load reads as it stands.
    prompts.texts = {installation.DataFile(QStringLiteral("Converted"))};
    run.Window().Action(MainControl::Gemopstning1)->trigger();
    const SetupFileRead again =
        ReadSetupFile(installation.DataFile(QStringLiteral("Converted.qib")));
    EXPECT_EQ(again.Status, SetupFileStatus::Loaded);
    EXPECT_EQ(again.Setup, setup.CurrentSetup);
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(run.Close());
}

TEST(ShellSetupFiles, AnEditOnTheSetupPageIsOfferedForSavingBeforeAnotherSetupLoads)
{
    Installation installation;
    const QString mine = installation.DataFile(QStringLiteral("Mine.qib"));
    const QString edited = installation.DataFile(QStringLiteral("Edited.qib"));
    ASSERT_TRUE(QDir().mkpath(installation.ProgramFolders().DataFolder));
    ExerciseSetup mineSetup = DefaultExerciseSetup();
    mineSetup.ChordIdentification.ItemFlags[2] = 1; // items 1, 2 and 3
    ASSERT_TRUE(WriteSetupFile(mine, mineSetup));
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    const QString shipped = installation.DefaultSetupPath();
    ASSERT_EQ(run.program.Setup().SetupFileName, shipped);
    // Only looking at the page changes nothing, although the page stores some bytes as fixed
    // values that the shipped setup holds otherwise.
    for (MainControl kind :
         {MainControl::Speed2, MainControl::Speed3, MainControl::Speed4, MainControl::Speed5,
          MainControl::Speed6, MainControl::SpeedButton6, MainControl::SpeedButton7,
          MainControl::SpeedButton8, MainControl::Speed12, MainControl::Speed1}) {
        SCOPED_TRACE(static_cast<int>(kind));
        run.Window().Button(kind)->click();
        run.Window().Button(MainControl::RunKonfig)->click();
        run.Window().Button(MainControl::SpeedButton1)->click();
        EXPECT_FALSE(run.program.Setup().SetupModified);
    }
    int chooserResult = -1;
    run.dialogs = [&](QDialog& dialog) {
        auto* chooser = qobject_cast<TLevels*>(&dialog);
        if (chooser == nullptr)
            return static_cast<int>(QDialog::Rejected);
        chooser->show();
        QCoreApplication::processEvents();
        chooser->BitBtn2->click();
        chooserResult = chooser->result();
        return chooserResult;
    };

    const struct
    {
        const char* name;
        PromptButton answer;
        bool loads;
    } rows[] = {
        {"Cancel keeps the edit and loads nothing", PromptButton::Cancel, false},
        {"No loads the other setup without saving", PromptButton::No, true},
        {"Yes saves the edit under a new name, then loads", PromptButton::Yes, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        // The chord exercise's setup page: every item selected, not saved.
        run.Window().Button(MainControl::Speed1)->click();
        run.Window().Button(MainControl::RunKonfig)->click();
        ASSERT_EQ(run.Window().ShownView(), run.program.ChordOps());
        run.program.ChordOps()->SpeedButton3->click();
        const QString before = run.program.Setup().SetupFileName;

        prompts.asked.clear();
        prompts.buttons = {row.answer};
        prompts.texts = {mine, edited};
        run.Window().Action(MainControl::Hentstandardopstning1)->trigger();
        ASSERT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
        EXPECT_EQ(Asked(prompts, QStringLiteral("yesnocancel"))[0].text,
                  run.program.Strings().StrSaveSetupQuery);
        EXPECT_EQ(prompts.Count(QStringLiteral("save")), row.answer == PromptButton::Yes ? 1 : 0);
        EXPECT_EQ(chooserResult, row.loads ? 1 : 2);
        EXPECT_EQ(run.program.Setup().SetupFileName, row.loads ? mine : before);
        if (row.answer == PromptButton::Yes) {
            const SetupFileRead saved = ReadSetupFile(edited);
            ASSERT_EQ(saved.Status, SetupFileStatus::Loaded);
            EXPECT_GT(std::count(saved.Setup.ChordIdentification.ItemFlags.begin(),
                                 saved.Setup.ChordIdentification.ItemFlags.end(), std::uint8_t{1}),
                      3)
                << "the edit is what was saved";
        }

        // Leaving the page takes it back: it shows the setup now in force.
        run.Window().Button(MainControl::SpeedButton1)->click();
        const ExerciseSetup& current = run.program.Setup().CurrentSetup;
        const int asked = static_cast<int>(std::count(current.ChordIdentification.ItemFlags.begin(),
                                                      current.ChordIdentification.ItemFlags.end(),
                                                      std::uint8_t{1}));
        if (row.loads)
            EXPECT_EQ(asked, 3);
        else
            EXPECT_GT(asked, 3) << "the edit stays";
        EXPECT_EQ(run.program.Setup().SetupModified, !row.loads);
    }

    // A change made on an earlier visit to the page is still asked about when the program
    // closes from the page.
    run.Window().Button(MainControl::RunKonfig)->click();
    run.program.ChordOps()->SpeedButton3->click();
    run.Window().Button(MainControl::SpeedButton1)->click();
    run.Window().Button(MainControl::RunKonfig)->click();
    prompts.asked.clear();
    prompts.buttons = {PromptButton::Cancel};
    EXPECT_FALSE(run.Close());
    EXPECT_EQ(prompts.Count(QStringLiteral("yesnocancel")), 1);
    prompts.buttons = {PromptButton::No};
    EXPECT_TRUE(run.Close());
}

} // namespace
} // namespace pv
