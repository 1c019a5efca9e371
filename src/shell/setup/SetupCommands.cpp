// The setup commands as rows.
#include "shell/setup/SetupCommands.h"

#include "exercises/setup/SetupOperations.h"
#include "shell/results/ResultBookkeeping.h"

namespace pv {

std::vector<CommandRow> SetupCommandRows(const SetupCommandServices& s)
{
    CommandRow open;
    open.Id = QStringLiteral("Hentstandardopstning1");
    open.TextId = QStringLiteral("MainForm.Hentstandardopstning1");
    open.Text = QStringLiteral("&Open a setup...");
    // The entry carries its key itself: when the tutor disables the entry the key goes with it.
    open.Key = Qt::Key_F2;
    open.Run = [chooser = s.ShowSetupChooser] {
        if (chooser)
            chooser();
    };
    open.Button = QStringLiteral("SpeedButton2");
    open.ButtonText = QStringLiteral("Load");
    open.Hint = QStringLiteral("Load an exercise setup");

    CommandRow save;
    save.Id = QStringLiteral("Gemopstning1");
    save.TextId = QStringLiteral("MainForm.Gemopstning1");
    save.Text = QStringLiteral("&Save setup as...");
    save.Key = Qt::Key_F3;
    // A failure has been shown to the user by the save itself; nothing is left to do here.
    save.Run = [&setup = s.Setup] {
        IgnoreResult(setup.SaveSetupAs(),
                     "the save shows why it failed, and a name not given is no failure");
    };

    CommandRow restart;
    restart.Id = QStringLiteral("Restartexercise");
    restart.TextId = QStringLiteral("MainForm.Restartexercise");
    restart.Text = QStringLiteral("&Restart the exercise...");
    // As the save: the bookkeeping reports its own failure.
    restart.Run = [&results = s.Results] {
        IgnoreResult(results.RestartexerciseClick(),
                     "a failed store was shown, and its answers stay for another try");
    };

    return {open, save, restart};
}

bool RegisterSetupCommands(CommandRegistry& registry, const SetupCommandServices& services)
{
    return registry.Register(QStringLiteral("setup"), SetupCommandRows(services));
}

} // namespace pv
