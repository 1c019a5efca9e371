// The help through the whole program: Ctrl+F1 and the help button in every view of every
// exercise open the page the context rule names, F1 the contents; the dialogs' Help buttons
// and F1 open their pages; a page missing from the help file opens the contents, and a help
// file that is missing opens no window.
#include "ShellProgramRun.h"
#include "exercises/ui/TChordEdit.h"
#include "exercises/ui/TChordOps.h"
#include "exercises/ui/TLevels.h"
#include "shell/help/HelpContexts.h"
#include "shell/help/HelpFile.h"
#include "shell/help/ui/THelpViewer.h"
#include "shell/results/ui/TDeleteDialog.h"
#include "shell/settings/ui/TProgramSettings.h"
#include "shell/transfer/ui/TExportImport.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace pv {
namespace {

using test::Installation;
using test::ProgramRun;
using test::ScriptedPrompts;

THelpViewer* Viewer(TPellivarkMain& window)
{
    return window.findChild<THelpViewer*>(QStringLiteral("HelpForm"));
}

/// The page the help window shows after ask, or empty when no help window shows. The help
/// window from before is closed first and the main window made the active one again, where
/// its keys work.
QString PageAfter(TPellivarkMain& window, const std::function<void()>& ask)
{
    if (THelpViewer* viewer = Viewer(window))
        viewer->close();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
    ask();
    QApplication::processEvents();
    THelpViewer* viewer = Viewer(window);
    return viewer != nullptr && viewer->isVisible() ? viewer->CurrentKey() : QString();
}

/// A key as the keyboard gives it: to the control with the focus, which may keep it, and
/// then to the menus' shortcuts; true when a shortcut took it.
bool PressKeys(TPellivarkMain& window, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* focus = QApplication::focusWidget();
    return qt_sendShortcutOverrideEvent(focus != nullptr ? focus : &window, 0, key, modifiers);
}

/// Ctrl+F1, as the user presses it in the main window.
std::function<void()> ContextHelpKey(TPellivarkMain& window)
{
    return [&window] { EXPECT_TRUE(PressKeys(window, Qt::Key_F1, Qt::ControlModifier)); };
}

void Strike(QWidget* target, int key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

struct KindPages
{
    ExerciseKind kind;
    const char* exercise;
    const char* setup;
};

// The pages of the shipped English help, named here apart from the rule that finds them.
constexpr KindPages kKindPages[] = {
    {ExerciseKind::ChordIdentification, "chord-identification", "chord-setup"},
    {ExerciseKind::IntervalIdentification, "interval-identification", "chord-setup"},
    {ExerciseKind::IntervalComparison, "interval-comparison", "chord-setup"},
    {ExerciseKind::RhythmImitation, "rhythm-imitation", "rhythm-setup"},
    {ExerciseKind::RhythmReading, "rhythm-reading", "rhythm-setup"},
    {ExerciseKind::RhythmErrorDetection, "rhythm-error-detection", "rhythm-setup"},
    {ExerciseKind::ChordInversions, "chord-inversions", "chord-setup"},
    {ExerciseKind::Scales, "scales", "chord-setup"},
    {ExerciseKind::MelodyDictation, "melody-dictation", "melody-setup"},
    {ExerciseKind::ChordProgressions, "chord-progressions", "chord-setup"},
};

TEST(HelpEndToEnd, ContextHelpInEveryViewOfEveryExerciseOpensItsPage)
{
    Installation installation;
    ASSERT_TRUE(installation.AddChordTutor());
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();

    EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("start-menu"));
    for (const KindPages& k : kKindPages) {
        SCOPED_TRACE(KindNumber(k.kind));
        window.Button(kExerciseButtons[KindNumber(k.kind)])->click();
        window.Button(MainControl::SpeedButton1)->click();
        ASSERT_EQ(run.program.State().CurrentView, MainView::Exercise);
        EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QString::fromLatin1(k.exercise));
        window.Button(MainControl::RunKonfig)->click();
        ASSERT_EQ(run.program.State().CurrentView, MainView::ExerciseSetup);
        EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QString::fromLatin1(k.setup));
        window.Button(MainControl::SpeedButton5)->click();
        ASSERT_EQ(run.program.State().CurrentView, MainView::Results);
        EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("results"));
        // The user overview has no button for this user; Shift+4 reaches it.
        Strike(&window, Qt::Key_4, Qt::ShiftModifier);
        ASSERT_EQ(run.program.State().CurrentView, MainView::UserOverview);
        EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("user-overview"));
    }

    // The help button of the tool bar is Ctrl+F1; F1 opens the contents.
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::SpeedButton1)->click();
    auto* mainBar = window.findChild<QToolBar*>(QStringLiteral("ToolWindow0"));
    ASSERT_NE(mainBar, nullptr);
    auto* helpButton = mainBar->findChild<QToolButton*>(QStringLiteral("SpeedButton4"));
    ASSERT_NE(helpButton, nullptr);
    EXPECT_EQ(helpButton->toolTip(), QStringLiteral("Help")) << "the language file's hint";
    EXPECT_EQ(PageAfter(window, [helpButton] { helpButton->click(); }),
              QStringLiteral("chord-identification"));
    EXPECT_EQ(PageAfter(window, [&window] { EXPECT_TRUE(PressKeys(window, Qt::Key_F1, {})); }),
              QStringLiteral("contents"));
    test::SavePicture(*Viewer(window), QStringLiteral("endtoend-help-contents.png"));

    // While the tutor runs, the exercise view's help is the tutor's.
    run.dialogs = test::AcceptTutorDialog;
    run.program.App().Users.CurrentUser->Record.TutorFileName = Installation::kChordTutor;
    window.Button(MainControl::SpeedButton10)->click();
    ASSERT_TRUE(run.program.State().TutorActive);
    EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("tutor"));
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
}

// Every help context the program's windows and commands ask for has a page of its own in the
// shipped help; the rule's contexts of every view of every exercise among them.
TEST(HelpEndToEnd, EveryContextTheProgramOpensHasItsOwnPage)
{
    const auto book = ReadHelpFile(QStringLiteral(PELLIVARK_ENGLISH_HLP));
    ASSERT_TRUE(book.Ok()) << book.Detail().toStdString();
    std::vector<int> contexts = {kStartMenuHelp,
                                 kResultsViewHelp,
                                 kTutorHelp,
                                 kUserOverviewHelp,
                                 kProgramSettingsHelp,
                                 TLevels::kHelpContext,
                                 TDeleteDialog::kHelpContext,
                                 TChordEdit::kHelpContext,
                                 TExportImport::kImportUsersHelp,
                                 TExportImport::kImportFolderHelp,
                                 TExportImport::kExportUsersHelp,
                                 TExportImport::kExportFolderHelp};
    for (ExerciseKind kind : kExerciseKinds)
        for (MainView view : {MainView::Exercise, MainView::ExerciseSetup, MainView::UserOverview})
            contexts.push_back(ContextHelpFor(kind, view, false));
    // The Help menu's topics, by the tags of its entries.
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    for (const char* name :
         {"Keyboardshortcuts1", "Usingthemicrophone1", "Intervals1", "Chords1", "Scales2"}) {
        const QAction* entry =
            run.Window().menuBar()->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(entry, nullptr) << name;
        contexts.push_back(entry->property("tag").toInt());
    }
    for (const int context : contexts) {
        SCOPED_TRACE(context);
        EXPECT_NE(book.Value().ForContext(context), nullptr);
    }
}

TEST(HelpEndToEnd, TheDialogsHelpButtonsAndF1OpenTheirPages)
{
    Installation installation;
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    std::vector<std::pair<QString, QString>> seen; // dialog, page
    const auto page = [&window] {
        THelpViewer* viewer = Viewer(window);
        const QString key =
            viewer != nullptr && viewer->isVisible() ? viewer->CurrentKey() : QString();
        if (viewer != nullptr)
            viewer->close();
        return key;
    };
    run.dialogs = [&](QDialog& dialog) {
        dialog.show();
        QApplication::processEvents();
        const QString name = dialog.objectName();
        if (auto* chooser = qobject_cast<TLevels*>(&dialog)) {
            chooser->BitBtn4->click();
            seen.emplace_back(name, page());
            Strike(chooser->ListBox2, Qt::Key_F1, {});
            seen.emplace_back(name + QStringLiteral(" F1"), page());
        } else if (auto* remove = qobject_cast<TDeleteDialog*>(&dialog)) {
            remove->BitBtn3->click();
            seen.emplace_back(name, page());
        } else if (auto* settings = qobject_cast<TProgramSettings*>(&dialog)) {
            settings->BitBtn3->click();
            seen.emplace_back(name, page());
        } else if (auto* transfer = qobject_cast<TExportImport*>(&dialog)) {
            Strike(transfer->ComboBox1, Qt::Key_F1, {});
            seen.emplace_back(name + QStringLiteral(" F1"), page());
        } else if (auto* editor = qobject_cast<TChordEdit*>(&dialog)) {
            editor->BitBtn3->click();
            seen.emplace_back(name, page());
        } else {
            ADD_FAILURE() << "a dialog nobody expected: " << name.toStdString();
        }
        dialog.reject();
        return static_cast<int>(QDialog::Rejected);
    };
    EXPECT_TRUE(PressKeys(window, Qt::Key_F2, {})) << "the setup chooser";
    window.Button(MainControl::Speed1)->click();
    window.Button(MainControl::SpeedButton5)->click();
    window.Action(MainControl::Deleteresults1)->trigger();
    window.findChild<QAction*>(QStringLiteral("Programsettings1"))->trigger();
    window.Action(MainControl::ImportExport)->trigger();
    window.Button(MainControl::RunKonfig)->click();
    run.program.ChordOps()->SpeedButton4->click(); // the item editor, for a chord of one's own

    const std::vector<std::pair<QString, QString>> expected = {
        {QStringLiteral("LevelsForm"), QStringLiteral("setup-chooser")},
        {QStringLiteral("LevelsForm F1"), QStringLiteral("setup-chooser")},
        {QStringLiteral("DeleteDialog"), QStringLiteral("delete-results")},
        {QStringLiteral("ProgramSettingsForm"), QStringLiteral("settings")},
        {QStringLiteral("ExportImportForm F1"), QStringLiteral("export-import")},
        {QStringLiteral("ChordEditForm"), QStringLiteral("item-editor")},
    };
    EXPECT_EQ(seen, expected);
}

TEST(HelpEndToEnd, APageMissingFromTheHelpFileOpensTheContents)
{
    Installation installation;
    // The shipped help without the page of chord identification.
    auto shipped = ReadHelpFile(installation.HelpFile());
    ASSERT_TRUE(shipped.Ok());
    std::vector<HelpPage> pages;
    for (const HelpPage& p : shipped.Value().Pages())
        if (p.Key != QStringLiteral("chord-identification"))
            pages.push_back(p);
    auto fewer = HelpBook::Make(std::move(pages));
    ASSERT_TRUE(fewer.Ok());
    ASSERT_TRUE(QFile::remove(installation.HelpFile()));
    ASSERT_TRUE(WriteHelpFile(installation.HelpFile(), fewer.Value()).Ok());

    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    window.Button(MainControl::Speed1)->click();
    EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("contents"));
    window.Button(MainControl::Speed2)->click();
    EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QStringLiteral("interval-identification"));
    EXPECT_EQ(prompts.Count(QStringLiteral("error")), 0);
}

TEST(HelpEndToEnd, AMissingHelpFileIsSaidAndOpensNoWindow)
{
    Installation installation;
    ASSERT_TRUE(QFile::remove(installation.HelpFile()));
    ScriptedPrompts prompts;
    prompts.texts = {QStringLiteral("Ann")};
    ProgramRun run(installation, prompts);
    ASSERT_TRUE(run.started);
    TPellivarkMain& window = run.Window();
    EXPECT_EQ(PageAfter(window, ContextHelpKey(window)), QString());
    EXPECT_EQ(Viewer(window), nullptr);
    ASSERT_EQ(prompts.Count(QStringLiteral("error")), 1);
    const auto said = std::find_if(prompts.asked.begin(), prompts.asked.end(),
                                   [](const test::AskedPrompt& p) { return p.kind == "error"; });
    EXPECT_TRUE(said->text.endsWith(installation.HelpFile())) << said->text.toStdString();
    EXPECT_TRUE(said->text.startsWith(run.program.Strings().StrFileNotFound));
}

} // namespace
} // namespace pv
