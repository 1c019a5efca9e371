// The main window's own commands: the view, exercise and tutor switches, the user information,
// closing and the About box, and the stand-ins of the commands other features will bring.
#pragma once

#include "shell/commands/CommandRegistry.h"

#include <functional>

namespace pv {

class AppState;

struct DataFiles;
class IPrompts;
struct UIStringTable;

/// What the main window's commands do, each set by the program.
struct MainCommandServices
{
    /// The view switch with a view tag (`Speed1Click`).
    std::function<void(int tag)> ViewTag;
    /// The main window closes (and asks first).
    std::function<void()> Close;
    /// The About box.
    std::function<void()> About;
    /// The user information (the current user's full name).
    std::function<void()> UserInformation;
    /// Whether there is a current user to inform about.
    std::function<bool()> UserKnown;
    /// Whether an exercise kind is chosen (the tutor setup needs one).
    std::function<bool()> KindChosen;
    /// Says that a command is still to come.
    std::function<void(const QString& text)> NotAvailable;
};

/// The language key of a main window's menu entry.
QString MainFormKey(const QString& objectName);

/// The rows of the main window's own commands.
std::vector<CommandRow> MainCommandRows(const MainCommandServices& services);
/// Registers them: the main window's one registration.
bool RegisterMainCommands(CommandRegistry& registry, const MainCommandServices& services);

/// `Userinfo1Click`: the current user's full name is asked (prefilled) and, on OK, kept (at
/// most 31 characters) and written; nothing without a current user.
void AskUserInformation(AppState& app, DataFiles& data, IPrompts& prompts,
                        const UIStringTable& strings);

} // namespace pv
