// Where the main window's commands stand: its menus and tool windows as tables of command ids,
// with the separators between them and the slots the window fills itself (submenus that are
// lists, labels, the tempo slider, the visual metronome).
#pragma once

#include <vector>

#include <QString>

namespace pv {

struct LayoutEntry
{
    enum class Type : int
    {
        Command = 0,   ///< the command of id Name (its menu entry, or its tool button)
        Separator = 1, ///< a divider; a named one is a control of its own
        Slot = 2,      ///< what the window puts at Name (a submenu, a label, a slider)
    };
    Type What = Type::Command;
    QString Name;
};

struct MenuLayout
{
    QString Name; ///< the top menu's object name ("Filer1"); the menu is Name + "Menu"
    QString Text; ///< its built-in text
    std::vector<LayoutEntry> Entries;
};

struct ToolWindowLayout
{
    int Index = 0; ///< tool window 0..5
    std::vector<LayoutEntry> Entries;
};

/// The menu bar, left to right.
const std::vector<MenuLayout>& MainMenuLayout();
/// The tool windows' contents, 0..5.
const std::vector<ToolWindowLayout>& MainToolWindowLayout();

/// Every command id the layout places, menus first.
std::vector<QString> LayoutCommandIds();

} // namespace pv
