// A command of the main window as data: what it is called, what it says, its key, when it is
// enabled and what it does. The main window makes one action of each row, shared by its menu
// entry and its tool button, so the two never disagree.
#pragma once

#include <functional>

#include <QString>

namespace pv {

struct CommandRow
{
    /// The command's id, which is the object name of its action (and of its menu entry).
    QString Id;
    /// The language key whose text becomes the action's text ("MainForm.Gemopstning1");
    /// empty: no language text names it.
    QString TextId;
    /// The built-in text, with its accelerator mark.
    QString Text;
    /// The shortcut: a Qt key code with its modifiers or'ed in; 0 for none.
    int Key = 0;
    /// The enabling rule, read again after every command and whenever a menu opens. Empty: the
    /// main window's decisions enable and disable the command.
    std::function<bool()> Enabled;
    /// The handler. The registry runs it only while the command is enabled.
    std::function<void()> Run;

    /// The visibility rule, read as Enabled is. Empty: the main window's decisions show and
    /// hide the command.
    std::function<bool()> Visible;

    /// A command with a tick (a toggle); the action toggles before the handler runs.
    bool Checkable = false;
    /// The tick's rule, read as Enabled is; empty: the handler and the decisions set the tick.
    std::function<bool()> Checked;
    /// Commands of one group exclude each other's tick (the view and exercise buttons).
    QString Group;
    /// The view tag the command carries (a view, exercise or tutor switch), 0 for none.
    int Tag = 0;

    /// The object name of its tool button when a tool window shows it; empty: none.
    QString Button;
    /// The tool button's caption; empty: the text without its accelerator.
    QString ButtonText;
    /// The tool button's hint.
    QString Hint;

    /// A stand-in for a command still to come: the feature that brings the command registers
    /// its own row under the same id, which takes this one's place.
    bool Pending = false;
};

} // namespace pv
