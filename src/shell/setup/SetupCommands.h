// The commands of the exercise setups: open a setup (the chooser), save the setup under a new
// name, and restart the exercise (its results offered for keeping, then cleared).
#pragma once

#include "shell/commands/CommandRegistry.h"

#include <functional>

namespace pv {

class ResultBookkeeping;
class SetupOperations;

struct SetupCommandServices
{
    SetupOperations& Setup;
    ResultBookkeeping& Results;
    /// The setup chooser, modal; it loads what the user picks itself.
    std::function<void()> ShowSetupChooser;
};

/// Open (F2, also the tool bar's load button), save as (F3), restart the exercise. The main
/// window's decisions enable and disable them (the tutor's setups are not the user's).
std::vector<CommandRow> SetupCommandRows(const SetupCommandServices& services);
bool RegisterSetupCommands(CommandRegistry& registry, const SetupCommandServices& services);

} // namespace pv
