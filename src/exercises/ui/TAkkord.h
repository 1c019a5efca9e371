// The identification exercise window: one instance per mode (chords, inversions, intervals,
// scales, melodies, progressions) with its answer buttons, staff, instrument panels and score.
// Its rules live in its AkkordModel and its panel placement in AkkordLayout; the window mirrors
// them into its widgets.
#pragma once

#include "exercises/base/ExerciseHost.h"
#include "exercises/identification/AkkordExercise.h"
#include "exercises/identification/AkkordMicInput.h"
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace pv {

class IPrompts;
struct ExerciseSetup;
struct ItemTables;
struct UIStringTable;
class TPianoView;
class TGuitarView;
class TAkkordStaffBox;
struct InstrumentEntry;

class TAkkord : public TExerciseBaseClass
{
    Q_OBJECT

public:
    /// session is the mode's kind's and strings are the interface texts (the score's format);
    /// both must outlive the window.
    TAkkord(IdentificationMode mode, ExerciseSession& session, IExerciseHost* host,
            const UIStringTable& strings, QWidget* parent = nullptr);
    ~TAkkord() override;

    AkkordModel& Model() { return m_model; }
    const AkkordModel& Model() const { return m_model; }
    IdentificationMode Mode() const { return m_model.Mode; }

    /// Takes the setup in the routine of the window's mode; reset also clears the counters.
    void Setup(const ExerciseSetup& setup, const ItemTables& items, const AkkordSettings& settings,
               bool reset);

    /// The MIDI output the window plays through; without one it plays nothing. midiOut must
    /// outlive the window.
    void SetMidiOut(TMidiOut& midiOut);
    /// Where the melody mode says that no melody fits its range; it must outlive the window.
    void SetPrompts(IPrompts& prompts) { m_model.SetPrompts(prompts); }
    /// The accidental keys held on the computer keyboard, which the staff reads while a note
    /// is pressed or dragged; keys must outlive the window. Until then no key counts as held.
    void SetKeyState(const IKeyState& keys) { m_keys.Keys = &keys; }
    /// The note spacing the program's staves share; it must outlive the window. Until it is
    /// given, the window's staff spaces its notes on its own.
    void SetNoteSpacing(NoteSpacing& spacing);
    /// The metronome and count-in settings a melody playback reads when it starts.
    void SetPlaybackSettingsSource(std::function<AkkordPlaybackSettings()> source)
    {
        m_exercise.SetPlaybackSettingsSource(std::move(source));
    }
    AkkordPlayback* Playback() { return m_playback.get(); }
    /// The answer-button blink's timer (200 ms): the main window's when it has one.
    QTimer* BlinkTimer() const { return m_blinkTimer; }
    /// The piano adjusters' light and repeat timer (150 ms): the main window's when it has one.
    QTimer* LightTimer() const { return m_lightTimer; }

    /// Shows the answer panels of an answer-input bit set (1 names, 2 piano, 4 guitar, 8 staff).
    void SetAnswerInput(std::uint8_t bits);
    /// The tip buttons follow the tips mask of the settings (bit n - 1 for tip n).
    void ApplyTipsMask(std::uint32_t mask);
    /// The staff names the key (or stops naming it) and shows so at once.
    void ShowKeyNames(bool on);
    std::uint8_t AnswerInput() const { return m_model.AnswerInput; }

    /// Sets the instruments' voices, shows the answer panels the setup forces and puts the
    /// piano's lights out.
    void EnterExercise() override;
    /// A tick of the answer-button blink.
    void Timer1Timer() override;
    /// A tick of the piano adjusters' light and repeat.
    void MouseDownDelayTimer() override;
    void DeleteLastNote() override;

    /// Progressions: sets the chord on a root (type 15: from the chord at the cursor or the
    /// key's triad; root 0: a new type for the chord at the cursor) or removes the last chord
    /// on that root; quiet plays nothing.
    void SetProgressionChord(TPitch root, std::uint8_t chordType, int guitarString, bool remove,
                             bool quiet);
    /// Chord-quality button 0..18 of the alteration bar.
    void SpeedButton2Click(int button);
    /// The caption before the alteration buttons, shown while they have room for it.
    void SetAlterationCaption(const QString& text);

    /// A pitch the microphone heard (a MIDI note; below 36 silence or noise).
    void MicPitchInput(int pitch);
    /// The microphone stops listening: the sung note it holds is entered.
    void MicReleaseNote();
    const AkkordMicInput& Microphone() const { return m_mic; }

    /// One run-time answer button inside its own frame panel.
    struct AnswerButtonPair
    {
        QFrame* Panel = nullptr;
        QPushButton* Button = nullptr;
    };
    /// Every pair made so far; pairs beyond the model's ButtonCount are hidden, never freed.
    const std::vector<AnswerButtonPair>& AnswerButtons() const { return m_answerButtons; }
    int AnswerButtonsMade() const { return static_cast<int>(m_answerButtons.size()); }
    /// The frame panel of the item's answer button now, null when the item has none.
    QFrame* PanelOfItem(int item) const;

    TSheet& Sheet() { return *m_sheet; }
    /// The staff box (PaintBox1) with its mouse entry.
    TAkkordStaffBox& StaffBox() { return *m_staffBox; }
    /// The staff's keys: Z X C V B choose the held staff note's accidental, Insert enters the
    /// held note. False for every other key.
    bool StaffKeyDown(int key);
    /// A key went up: the same accidental key counts again at its next press.
    void StaffKeyUp();
    /// The piano in Panel52 and the guitar in Panel53.
    TPianoView& PianoView() { return *m_pianoView; }
    TGuitarView& GuitarView() { return *m_guitarView; }

    // The window's parts, by the names the rest of the exercise knows them by.
    QWidget* Panel60 = nullptr;                     ///< the control strip and the result line
    QLabel* Label2 = nullptr;                       ///< result label
    QLabel* Image13 = nullptr;                      ///< result picture
    QWidget* Panel3 = nullptr;                      ///< play-style bar
    std::array<QToolButton*, 3> PlayStyleButtons{}; ///< simultaneous, up, down
    QWidget* Panel55 = nullptr;                     ///< staff panel
    QWidget* PaintBox1 = nullptr;                   ///< the staff
    QWidget* Panel1 = nullptr;                      ///< note-entry tools
    QToolButton* SpeedButton3 = nullptr;            ///< add notes
    QToolButton* SpeedButton2 = nullptr;            ///< add notes, extra tool
    QToolButton* SpeedButton4 = nullptr;            ///< add notes, extra tool
    QToolButton* SpeedButton6 = nullptr;            ///< delete notes
    QToolButton* SpeedButton10 = nullptr;           ///< the staff's tip button
    QWidget* Panel2 = nullptr;                      ///< alteration bar of the progression mode
    std::vector<QToolButton*> AlterationButtons;
    QLabel* Label1 = nullptr;            ///< the alteration bar's caption
    QWidget* Panel51 = nullptr;          ///< answer buttons
    QToolButton* SpeedButton9 = nullptr; ///< the answer area's tip button
    QWidget* Panel52 = nullptr;          ///< piano
    QWidget* Panel53 = nullptr;          ///< guitar

signals:
    /// An answer button was pressed with a mouse button (1-based button number).
    void AnswerButtonMouseDown(int button, Qt::MouseButton mouseButton);
    /// A key went down on an answer button.
    void AnswerButtonKeyDown(int button, int key);
    /// The progression mode: the piano or guitar set (or removed) a chord on a root.
    void ProgressionChordEntry(const pv::InstrumentEntry& entry);
    /// An adjuster of the piano stepped its voice; the program keeps it in its settings.
    void PianoVoiceStepped(pv::PianoVoice voice);

protected:
    void Mirror(const ExerciseEffects& effects) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void AfterSetup(bool reset);
    void SetupExerciseWidgets();
    void MakeAlterationButtons();
    void ApplySheetFlags();
    void ShowEntryTool();
    void ConnectStaffBox();
    void FormResize();
    void Panel51Resize(int width);
    void Panel2Resize();
    void ShowTipOf(QToolButton* button);
    /// Brings the widgets up to the model's question and answer state.
    void MirrorQuestion();
    /// Melodies with note values: the half-bar and whole-bar tools as the bar allows them.
    void MirrorMelodyTools();
    void OnAnswerButton(int button, bool play);
    /// The main window's timer when the host has it, else one of the window's own that ticks
    /// into tick.
    QTimer* TimerOf(ExerciseHostTimer which, int interval, void (TAkkord::*tick)());
    /// The pitch range follows the instruments shown and their sizes.
    void UpdatePitchRange();
    /// Brings the chord-quality buttons up to the chord at the cursor.
    void ShowPressedChordType();
    /// Shows what an entry changed on the staff, the instruments and the control strip.
    void ShowEntered();

    /// The staff's view of the held keys: those of the keyboard once the program gives them.
    class HeldKeys final : public IKeyState
    {
    public:
        bool IsHeld(AccidentalKey key) const override
        {
            return Keys != nullptr && Keys->IsHeld(key);
        }
        const IKeyState* Keys = nullptr;
    };

    HeldKeys m_keys;
    NoteSpacing m_ownSpacing;
    std::unique_ptr<TSheet> m_sheet;
    AkkordModel m_model;
    AkkordMicInput m_mic;
    std::vector<AnswerButtonPair> m_answerButtons;
    QButtonGroup* m_toolGroup = nullptr;
    QButtonGroup* m_styleGroup = nullptr;
    QButtonGroup* m_alterationGroup = nullptr;
    int m_answerAreaHeight = 0;
    std::unique_ptr<AkkordPlayback> m_playback;
    AkkordExercise m_exercise;
    QTimer* m_blinkTimer = nullptr;
    QTimer* m_lightTimer = nullptr;
    TMidiOut* m_midiOut = nullptr;
    TPianoView* m_pianoView = nullptr;
    TGuitarView* m_guitarView = nullptr;
    TAkkordStaffBox* m_staffBox = nullptr;
};

} // namespace pv
