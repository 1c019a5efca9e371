// Where MIDI input messages go: pedal, remote-control notes, the window, the other targets.
#include "shell/main/MidiInRouting.h"

#include <string>
#include <vector>

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

/// The windows as a journal of what reached them.
class RecordingTargets final : public IMidiInTargets
{
public:
    bool WindowExists(ExerciseKind kind) const override { return kind != ExerciseKind::Scales; }
    int FocusIndex(ExerciseKind) const override { return focus; }
    bool ControlButtonEnabled(ExerciseKind, int button) const override { return button != 4; }
    bool SettingsDialogOpen() const override { return settingsOpen; }
    bool ItemEditorOpen() const override { return editorOpen; }
    void PressControl(ExerciseKind kind, int button) override
    {
        done.push_back("press " + std::to_string(KindNumber(kind)) + ":" + std::to_string(button));
    }
    void ReleaseControl(ExerciseKind kind) override
    {
        done.push_back("release " + std::to_string(KindNumber(kind)));
    }
    void DeleteLastNote(ExerciseKind kind) override
    {
        done.push_back("delete " + std::to_string(KindNumber(kind)));
    }
    void PassToWindow(ExerciseKind kind, std::uint32_t message) override
    {
        done.push_back("window " + std::to_string(KindNumber(kind)) + ":" +
                       std::to_string(message & 0xFF));
    }
    void PassToItemEditor(std::uint32_t message) override
    {
        done.push_back("editor " + std::to_string(message & 0xFF));
    }
    void PassToSettingsDialog(std::uint32_t message) override
    {
        done.push_back("settings " + std::to_string(message & 0xFF));
    }
    int focus = 1;
    bool editorOpen = false;
    bool settingsOpen = false;
    std::vector<std::string> done;
};

struct RouterRig
{
    RouterRig()
    {
        settings.SustainAsEnter = true;
        settings.MidiRemoteControl = true;
        settings.RemoteNotes = {21, 22, 23, 24, 25};
        router.RebuildControlNotes();
        state.CurrentKind = ExerciseKind::ChordIdentification;
    }
    std::vector<std::string> Route(std::uint32_t message, int target)
    {
        targets.done.clear();
        (void)router.Route(message, target);
        return targets.done;
    }
    TSettingsRec settings;
    MainWindowState state;
    ModalGuard modal;
    RecordingTargets targets;
    MidiInRouter router{settings, state, modal, targets};
};

using Done = std::vector<std::string>;

TEST(MidiInRouter, TheDecisionReadsTheProgramAndIsCarriedOutOnTheWindows)
{
    RouterRig rig;
    const MidiInRoutingState state = rig.router.StateFor(1);
    EXPECT_TRUE(state.WindowExists);
    EXPECT_EQ(state.FocusIndex, 1);
    EXPECT_FALSE(state.Button4Enabled);
    EXPECT_TRUE(state.ControlNotes.test(23));
    EXPECT_EQ(state.CurrentKind, ExerciseKind::ChordIdentification);
    EXPECT_FALSE(rig.router.StateFor(8).WindowExists) << "no window of that kind";

    EXPECT_EQ(rig.Route(Msg(0xB0, 64, 127), 1), (Done{"press 1:1", "release 1"}))
        << "the pedal presses the focused button and lets it go";
    EXPECT_EQ(rig.Route(Msg(0x90, 22, 90), 1), (Done{"press 1:1"}));
    EXPECT_EQ(rig.Route(Msg(0x80, 22, 0), 1), (Done{"release 1"}));
    EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 1), (Done{"window 1:144"}));
    rig.state.CurrentKind = ExerciseKind::MelodyDictation;
    EXPECT_EQ(rig.Route(Msg(0x90, 25, 90), 9), (Done{"press 9:4", "delete 9"}))
        << "the fifth note in melody dictation with stop disabled";
    EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 16), Done{}) << "no editor open";
    rig.targets.editorOpen = true;
    EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 16), (Done{"editor 144"}));
    EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 15), Done{}) << "no settings dialog listens";
    rig.targets.settingsOpen = true;
    const ModalGuard::Scope open(rig.modal);
    EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 15), (Done{"settings 144"}))
        << "the settings dialog is modal itself and takes its test notes";
}

TEST(MidiInRouter, ChangedRemoteNotesCountOnceTheSetIsRebuilt)
{
    RouterRig rig;
    rig.settings.RemoteNotes = {30, 31, 32, 33, 34};
    EXPECT_EQ(rig.Route(Msg(0x90, 30, 90), 1), (Done{"window 1:144"}))
        << "until input starts again the old notes stand";
    rig.router.RebuildControlNotes();
    EXPECT_EQ(rig.Route(Msg(0x90, 30, 90), 1), (Done{"press 1:0"}));
    EXPECT_EQ(rig.Route(Msg(0x90, 21, 90), 1), (Done{"window 1:144"}));
}

TEST(MidiInRouter, NothingReachesAnExerciseWhileTheGuardIsUp)
{
    RouterRig rig;
    rig.targets.editorOpen = true;
    {
        const ModalGuard::Scope open(rig.modal);
        for (const std::uint32_t message :
             {Msg(0xB0, 64, 127), Msg(0x90, 22, 90), Msg(0x80, 22, 0), Msg(0x90, 64, 90)}) {
            SCOPED_TRACE(message);
            EXPECT_EQ(rig.Route(message, 1), Done{});
        }
        EXPECT_EQ(rig.Route(Msg(0x90, 64, 90), 16), (Done{"editor 144"}))
            << "the item editor is a dialog itself";
    }
    EXPECT_EQ(rig.Route(Msg(0x90, 22, 90), 1), (Done{"press 1:1"}));
}

} // namespace
} // namespace pv
