// The main window's buttons, menu items, labels, timers and tool windows that its decisions
// touch, one name each, so the decisions can ask the window for them without knowing any
// widget.
#pragma once

#include <array>
#include <string_view>
#include <utility>

#include <QString>

namespace pv {

/// A control of the main window, spelled as the window names it. Never stored: the order
/// may grow.
enum class MainControl : int
{
    // Exercise buttons (index 0..10 of the exercise button table) and their menu items.
    Overview,
    Speed1,
    Speed2,
    Speed3,
    Speed4,
    Speed5,
    Speed6,
    SpeedButton6,
    SpeedButton7,
    SpeedButton8,
    Speed12,
    Overview1,
    AkkordID1,
    IntervalID1,
    Intervalsammenligning1,
    Rytmeimitation1,
    Rytmelsning1,
    Rytmekorrektion1,
    Chordinversions1,
    Scales1,
    Melody1,
    AkkordProgress1,

    // View buttons: Exercise, Exercise setup, Results, User overview, tutor, tutor setup.
    SpeedButton1,
    RunKonfig,
    SpeedButton5,
    SpeedButton11,
    SpeedButton10,
    SpeedButton9,

    // Tool buttons: metronome, visual metronome, microphone, load default setup.
    Metro,
    SpeedButton12,
    SpeedButton3,
    SpeedButton2,

    // Labels and frames of the tool windows.
    Label1, ///< view caption
    Label2, ///< tutor progress
    Label3, ///< exercise caption
    Label4, ///< score extra (rhythm kinds)
    Label6, ///< tutor progress
    Label7, ///< exercise time
    Label8, ///< tempo beside the slider
    Bevel1,
    TrackBar1, ///< tempo slider

    // Menu items.
    Restartexercise,
    ShowMetronome1,
    Playmetronome1,
    Autonewquest1,
    MIDIremote1,
    Showkeyname1,
    NoteIdentification1,
    Activatetutor1,
    Gemopstning1,
    Hentstandardopstning1,
    Tutoreditor2,
    Refresh1,
    Resultsumations1,
    Deleteresults1,
    N2,
    N13,
    Reports1,
    Classmaintenance1,
    ImportExport,
    Midi1,
    Userinfo1,
    MIDIin1,

    // Timers (enabled = running).
    Timer1,
    LightDisplaytime,
    AnswerbuttonBlink,
    MetronomeTimer,
};

/// The exercise button of index 0..10 (0: the overview, else the kind's number) and its menu
/// item, in the order of the exercise button table.
inline constexpr MainControl kExerciseButtons[11] = {
    MainControl::Overview,     MainControl::Speed1,       MainControl::Speed2,
    MainControl::Speed3,       MainControl::Speed4,       MainControl::Speed5,
    MainControl::Speed6,       MainControl::SpeedButton6, MainControl::SpeedButton7,
    MainControl::SpeedButton8, MainControl::Speed12};
inline constexpr MainControl kExerciseMenuItems[11] = {
    MainControl::Overview1,        MainControl::AkkordID1,
    MainControl::IntervalID1,      MainControl::Intervalsammenligning1,
    MainControl::Rytmeimitation1,  MainControl::Rytmelsning1,
    MainControl::Rytmekorrektion1, MainControl::Chordinversions1,
    MainControl::Scales1,          MainControl::Melody1,
    MainControl::AkkordProgress1};

/// Every control with its object name, in the order of the enum.
inline constexpr std::array<std::pair<MainControl, std::string_view>, 67> kControlNames = {{
    {MainControl::Overview, "Overview"},
    {MainControl::Speed1, "Speed1"},
    {MainControl::Speed2, "Speed2"},
    {MainControl::Speed3, "Speed3"},
    {MainControl::Speed4, "Speed4"},
    {MainControl::Speed5, "Speed5"},
    {MainControl::Speed6, "Speed6"},
    {MainControl::SpeedButton6, "SpeedButton6"},
    {MainControl::SpeedButton7, "SpeedButton7"},
    {MainControl::SpeedButton8, "SpeedButton8"},
    {MainControl::Speed12, "Speed12"},
    {MainControl::Overview1, "Overview1"},
    {MainControl::AkkordID1, "AkkordID1"},
    {MainControl::IntervalID1, "IntervalID1"},
    {MainControl::Intervalsammenligning1, "Intervalsammenligning1"},
    {MainControl::Rytmeimitation1, "Rytmeimitation1"},
    {MainControl::Rytmelsning1, "Rytmelsning1"},
    {MainControl::Rytmekorrektion1, "Rytmekorrektion1"},
    {MainControl::Chordinversions1, "Chordinversions1"},
    {MainControl::Scales1, "Scales1"},
    {MainControl::Melody1, "Melody1"},
    {MainControl::AkkordProgress1, "AkkordProgress1"},
    {MainControl::SpeedButton1, "SpeedButton1"},
    {MainControl::RunKonfig, "RunKonfig"},
    {MainControl::SpeedButton5, "SpeedButton5"},
    {MainControl::SpeedButton11, "SpeedButton11"},
    {MainControl::SpeedButton10, "SpeedButton10"},
    {MainControl::SpeedButton9, "SpeedButton9"},
    {MainControl::Metro, "Metro"},
    {MainControl::SpeedButton12, "SpeedButton12"},
    {MainControl::SpeedButton3, "SpeedButton3"},
    {MainControl::SpeedButton2, "SpeedButton2"},
    {MainControl::Label1, "Label1"},
    {MainControl::Label2, "Label2"},
    {MainControl::Label3, "Label3"},
    {MainControl::Label4, "Label4"},
    {MainControl::Label6, "Label6"},
    {MainControl::Label7, "Label7"},
    {MainControl::Label8, "Label8"},
    {MainControl::Bevel1, "Bevel1"},
    {MainControl::TrackBar1, "TrackBar1"},
    {MainControl::Restartexercise, "Restartexercise"},
    {MainControl::ShowMetronome1, "ShowMetronome1"},
    {MainControl::Playmetronome1, "Playmetronome1"},
    {MainControl::Autonewquest1, "Autonewquest1"},
    {MainControl::MIDIremote1, "MIDIremote1"},
    {MainControl::Showkeyname1, "Showkeyname1"},
    {MainControl::NoteIdentification1, "NoteIdentification1"},
    {MainControl::Activatetutor1, "Activatetutor1"},
    {MainControl::Gemopstning1, "Gemopstning1"},
    {MainControl::Hentstandardopstning1, "Hentstandardopstning1"},
    {MainControl::Tutoreditor2, "Tutoreditor2"},
    {MainControl::Refresh1, "Refresh1"},
    {MainControl::Resultsumations1, "Resultsumations1"},
    {MainControl::Deleteresults1, "Deleteresults1"},
    {MainControl::N2, "N2"},
    {MainControl::N13, "N13"},
    {MainControl::Reports1, "Reports1"},
    {MainControl::Classmaintenance1, "Classmaintenance1"},
    {MainControl::ImportExport, "ImportExport"},
    {MainControl::Midi1, "Midi1"},
    {MainControl::Userinfo1, "Userinfo1"},
    {MainControl::MIDIin1, "MIDIin1"},
    {MainControl::Timer1, "Timer1"},
    {MainControl::LightDisplaytime, "LightDisplaytime"},
    {MainControl::AnswerbuttonBlink, "AnswerbuttonBlink"},
    {MainControl::MetronomeTimer, "MetronomeTimer"},
}};

/// The object name of a control: its action's, button's, label's or timer's.
constexpr std::string_view ControlName(MainControl control)
{
    for (const auto& [c, name] : kControlNames) {
        if (c == control)
            return name;
    }
    return {};
}

/// The main window's controls as the decisions of its features (the views, the tutor, the
/// metronome, the microphone) touch them, by name; each feature sees only this much of the
/// window.
class IMainControls
{
public:
    virtual ~IMainControls() = default;

    virtual void SetEnabled(MainControl control, bool on) = 0;
    virtual bool IsEnabled(MainControl control) const = 0;
    virtual void SetVisible(MainControl control, bool on) = 0;
    /// A menu item's tick.
    virtual void SetChecked(MainControl control, bool on) = 0;
    /// A tool button held down (a grouped button releases the others of its group).
    virtual void SetDown(MainControl control, bool on) = 0;
    virtual bool IsDown(MainControl control) const = 0;
    virtual void SetText(MainControl control, const QString& text) = 0;
    virtual QString Text(MainControl control) const = 0;
    virtual void SetWidth(MainControl control, int width) = 0;
    virtual int Width(MainControl control) const = 0;
    /// Tool window n (0..5) is wanted shown or hidden; it shows only when the settings' visible
    /// flag of the window is set too, and changes only when it differs.
    virtual void SetToolWindowVisible(int n, bool visible) = 0;
};

} // namespace pv
