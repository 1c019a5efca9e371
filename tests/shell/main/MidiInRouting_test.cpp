// Where MIDI input messages go: pedal, remote-control notes, the window, the other targets.
#include "shell/main/MidiInRouting.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

constexpr std::uint32_t Msg(std::uint32_t status, std::uint32_t d1, std::uint32_t d2)
{
    return status | (d1 << 8) | (d2 << 16);
}

MidiInRoutingState RemoteOn()
{
    MidiInRoutingState state;
    state.WindowExists = true;
    state.SustainAsEnter = true;
    state.MidiRemoteControl = true;
    state.RemoteNotes = {21, 22, 23, 24, 60};
    for (std::uint8_t note : state.RemoteNotes)
        state.ControlNotes.set(note);
    state.FocusIndex = 2;
    state.CurrentKind = ExerciseKind::ChordIdentification;
    return state;
}

struct Case
{
    const char* name;
    std::uint32_t message;
    int target;
    MidiInRoutingState state;
    MidiInAction expected;
};

MidiInRoutingState With(MidiInRoutingState state, auto change)
{
    change(state);
    return state;
}

TEST(MidiInRouting, EachMessageGoesWhereItBelongs)
{
    using K = MidiInActionKind;
    const MidiInRoutingState on = RemoteOn();
    const Case cases[] = {
        {"active sensing is dropped", 0xFE, 1, on, {K::Drop}},
        {"pedal fully down presses the focused button",
         Msg(0xB3, 64, 127),
         1,
         on,
         {K::PressFocusedAndRelease, 2}},
        {"pedal half down does nothing", Msg(0xB0, 64, 64), 1, on, {K::Drop}},
        {"pedal up does nothing", Msg(0xB0, 64, 0), 1, on, {K::Drop}},
        {"pedal without a focused button",
         Msg(0xB0, 64, 127),
         1,
         With(on, [](auto& s) { s.FocusIndex = -1; }),
         {K::Drop}},
        {"pedal not as Enter in the settings",
         Msg(0xB0, 64, 127),
         1,
         With(on, [](auto& s) { s.SustainAsEnter = false; }),
         {K::Drop}},
        {"another controller reaches the window", Msg(0xB0, 7, 100), 1, on, {K::PassToWindow}},
        {"a remote note presses its button", Msg(0x90, 23, 90), 1, on, {K::PressControl, 2}},
        {"the first remote note of the five counts",
         Msg(0x95, 21, 1),
         1,
         With(on,
              [](auto& s) {
                  s.RemoteNotes = {30, 21, 21, 24, 60};
                  s.ControlNotes.set(30);
              }),
         {K::PressControl, 1}},
        {"remote note off releases", Msg(0x80, 23, 0), 1, on, {K::ReleaseControl}},
        {"remote note-on with velocity 0 releases", Msg(0x90, 23, 0), 1, on, {K::ReleaseControl}},
        {"a remote note never reaches the exercise, even in its range",
         Msg(0x90, 60, 80),
         1,
         on,
         {K::PressControl, 4}},
        {"remote off: the note reaches the window",
         Msg(0x90, 60, 80),
         1,
         With(on, [](auto& s) { s.MidiRemoteControl = false; }),
         {K::PassToWindow}},
        {"an ordinary note reaches the window", Msg(0x90, 64, 80), 1, on, {K::PassToWindow}},
        {"the fifth note with stop disabled in scales deletes the last note",
         Msg(0x90, 60, 80),
         8,
         With(on,
              [](auto& s) {
                  s.Button4Enabled = false;
                  s.CurrentKind = ExerciseKind::Scales;
              }),
         {K::PressControl, 4, true}},
        {"... but not in chord identification",
         Msg(0x90, 60, 80),
         1,
         With(on, [](auto& s) { s.Button4Enabled = false; }),
         {K::PressControl, 4}},
        {"... nor with stop enabled",
         Msg(0x90, 60, 80),
         9,
         With(on, [](auto& s) { s.CurrentKind = ExerciseKind::MelodyDictation; }),
         {K::PressControl, 4}},
        {"a window that does not exist gets nothing",
         Msg(0x90, 64, 80),
         3,
         With(on, [](auto& s) { s.WindowExists = false; }),
         {K::Drop}},
        {"target 0 gets nothing", Msg(0x90, 64, 80), 0, on, {K::Drop}},
        {"an unknown target gets nothing", Msg(0x90, 64, 80), 12, on, {K::Drop}},
        {"settings dialog closed", Msg(0x90, 64, 80), 15, on, {K::Drop}},
        {"settings dialog open",
         Msg(0x90, 64, 80),
         15,
         With(on, [](auto& s) { s.SettingsDialogOpen = true; }),
         {K::SettingsDialog}},
        {"item editor closed", Msg(0x90, 64, 80), 16, on, {K::Drop}},
        {"item editor open",
         Msg(0x90, 64, 80),
         16,
         With(on, [](auto& s) { s.ItemEditorOpen = true; }),
         {K::ItemEditor}},
        {"a box is open: the pedal presses nothing",
         Msg(0xB0, 64, 127),
         1,
         With(on, [](auto& s) { s.ModalOpen = true; }),
         {K::Drop}},
        {"a box is open: a remote note presses nothing",
         Msg(0x90, 23, 90),
         1,
         With(on, [](auto& s) { s.ModalOpen = true; }),
         {K::Drop}},
        {"a box is open: a remote note's release releases nothing",
         Msg(0x80, 23, 0),
         1,
         With(on, [](auto& s) { s.ModalOpen = true; }),
         {K::Drop}},
        {"a box is open: a note does not reach the window",
         Msg(0x90, 64, 80),
         1,
         With(on, [](auto& s) { s.ModalOpen = true; }),
         {K::Drop}},
        {"the item editor is itself a dialog: it keeps its notes",
         Msg(0x90, 64, 80),
         16,
         With(on,
              [](auto& s) {
                  s.ItemEditorOpen = true;
                  s.ModalOpen = true;
              }),
         {K::ItemEditor}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecideMidiIn(c.message, c.target, c.state), c.expected);
    }
}

} // namespace
} // namespace pv
