// The whole program's setup files and the File menu: saving goes to the user's folder and never
// over a shipped setup, the chooser offers both kinds of setup in the language's texts, and the
// tutor takes the setup entries away with their keys.
#include "ShellProgramRun.h"
#include "exercises/ui/TLevels.h"
#include "shell/help/ui/THelpViewer.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

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

} // namespace
} // namespace pv
