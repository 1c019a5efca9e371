// What putting the program settings into force and taking them back needs of the main window
// and the windows it spreads fonts, colours and panels over.
#pragma once

#include "shell/results/ResultColumns.h"

#include <cstdint>
#include <optional>

#include <QString>

namespace pv {

/// The docks a tool window can sit in; the number is the settings record's dock code.
enum class ToolDock : std::uint8_t
{
    Floating = 0,
    Top = 1,    ///< `Topdock`
    Bottom = 3, ///< `Bottomdock`
};

/// Place of one tool window of the main window as the settings record keeps it.
struct ToolWindowPlace
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::int32_t DockRow = 0;
    std::int32_t DockPos = 0;
    /// Where the bar goes; none leaves it in the dock it is in.
    std::optional<ToolDock> Dock;
    bool operator==(const ToolWindowPlace&) const = default;
};

/// The main window's bounds in its normal (neither minimised nor maximised) state.
struct WindowBounds
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool operator==(const WindowBounds&) const = default;
};

/// The main window's state as the settings record stores it.
enum class WindowShowState : std::uint8_t
{
    Normal = 0,
    Minimized = 1,
    Maximized = 2,
};

/// A font as the settings record keeps it.
struct FontSpec
{
    QString Name;
    std::int32_t Size = 0;
    std::uint8_t Style = 0; ///< bits 0..3: bold, italic, underline, strikeout
    bool operator==(const FontSpec&) const = default;
};

/// The menu items whose ticks follow the settings.
enum class SettingsMenuItem : std::uint8_t
{
    Autonewquest1,
    Showkeyname1,
    MIDIin1,
};

inline constexpr int kToolWindowCount = 6;

class IProgramSettingsUi
{
public:
    virtual ~IProgramSettingsUi() = default;

    /// Bracket the placing of the tool windows in `Topdock` and `Bottomdock`; every begin is
    /// ended.
    virtual void BeginDockUpdate() = 0;
    virtual void EndDockUpdate() = 0;
    /// Tool window 0..5 (`ToolWindows[i]`): its row and position, its dock when one is given,
    /// its bounds; then it is laid out in its dock and kept on the work area.
    virtual void PlaceToolWindow(int index, const ToolWindowPlace& place) = 0;
    /// Tool window 0..5 where it is now; Dock is Floating unless it sits in one of the docks.
    virtual ToolWindowPlace ToolWindowPlaceOf(int index) const = 0;

    /// Results-view column 0..7; setting rebuilds the view's column toggles.
    virtual void SetResultColumn(int index, const ResultColumn& column) = 0;
    virtual ResultColumn ResultColumnOf(int index) const = 0;

    virtual void SetMainWindowFont(const FontSpec& font) = 0;
    /// Spreads the font over every open window; never called with an empty name.
    virtual void ApplyFontToForms(const FontSpec& font) = 0;
    /// Spreads the background colour (0x00BBGGRR) over every open window.
    virtual void ApplyColorToForms(std::uint32_t colour) = 0;

    /// `MetroClick` and `SpeedButton12Click` without a sender: the metronome's controls follow
    /// the settings and nothing is toggled.
    virtual void MetroClick() = 0;
    virtual void SpeedButton12Click() = 0;

    virtual void SetMenuTick(SettingsMenuItem item, bool ticked) = 0;
    virtual void SetAutoNewQuestTimerInterval(int milliseconds) = 0;
    /// The identification windows show the optional panels of the tips mask.
    virtual void ApplyShownControls(std::uint32_t tipsMask) = 0;
    /// The program's help file.
    virtual void SetHelpFile(const QString& path) = 0;

    virtual void SetMainWindowBounds(const WindowBounds& bounds) = 0;
    virtual WindowBounds MainWindowBounds() const = 0;
    virtual void SetMainWindowState(WindowShowState state) = 0;
    virtual WindowShowState MainWindowState() const = 0;

    /// The entries of `Resultsumations1` (the statistics periods).
    virtual int StatisticsPeriodCount() const = 0;
    /// The last ticked entry; none when none is.
    virtual std::optional<int> TickedStatisticsPeriod() const = 0;
    /// Chooses entry index as a click on it would (`N1week1Click`).
    virtual void ChooseStatisticsPeriod(int index) = 0;
};

} // namespace pv
