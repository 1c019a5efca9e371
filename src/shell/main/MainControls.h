// The main window's buttons, menu items, labels, timers and tool windows that its decisions
// touch, one name each, so the model can ask the window for them without knowing any widget.
#pragma once

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

} // namespace pv
