// The identification exercise window: one instance per mode (chords, inversions, intervals,
// scales, melodies, progressions) with its answer buttons, staff, instrument panels and score.
// Its rules live in its AkkordModel and its panel placement in AkkordLayout; the window mirrors
// them into its widgets.
#pragma once

#include "exercises/identification/AkkordMicInput.h"
#include "exercises/identification/AkkordModel.h"
#include "exercises/identification/AkkordPlayback.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "music/staff/KeyState.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace pv {

struct ExerciseSetup;
struct ItemTables;
struct UIStringTable;
class TSheet;
class TPianoView;
class TGuitarView;
struct InstrumentEntry;

class TAkkord : public TExerciseBaseClass
{
    Q_OBJECT

public:
    /// strings are the interface texts (the score's format); they must outlive the window.
    TAkkord(IdentificationMode mode, IExerciseHost* host, const UIStringTable& strings,
            QWidget* parent = nullptr);
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
    AkkordPlayback* Playback() { return m_playback.get(); }
    /// The answer-button blink's timer (200 ms).
    QTimer* BlinkTimer() const { return m_blinkTimer; }

    /// Shows the answer panels of an answer-input bit set (1 names, 2 piano, 4 guitar, 8 staff).
    void SetAnswerInput(std::uint8_t bits);
    std::uint8_t AnswerInput() const { return m_model.AnswerInput; }

    // The exercise protocol.
    void AutoNewQuestTimerTimer() override;
    void ResetResults() override;
    void ShowScore() override;
    void MidiInMessage(std::uint32_t message) override;
    void RepeatQuestion() override;
    void ThirdButtonAction() override;
    void FourthButtonAction() override;
    void StopPlaying() override;
    void NewQuestion() override;

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

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void AfterSetup(bool reset);
    void SetupExerciseWidgets();
    void MakeAlterationButtons();
    void ApplySheetFlags();
    void ShowEntryTool();
    void FormResize();
    void Panel51Resize(int width);
    void Panel2Resize();
    void ShowTipOf(QToolButton* button);
    /// Brings the widgets up to the model's question and answer state.
    void MirrorQuestion();
    void OnAnswerButton(int button, bool play);
    void Timer1Timer();
    /// A press, drag or release on the piano or guitar: holds, moves or releases the note.
    void OnInstrumentEntry(const InstrumentEntry& entry);
    /// Shows what an entry changed on the staff, the instruments and the control strip.
    void ShowEntered();

    NoKeysHeld m_keys;
    std::unique_ptr<TSheet> m_sheet;
    AkkordModel m_model;
    AkkordMicInput m_mic;
    std::vector<AnswerButtonPair> m_answerButtons;
    QButtonGroup* m_toolGroup = nullptr;
    QButtonGroup* m_styleGroup = nullptr;
    QButtonGroup* m_alterationGroup = nullptr;
    int m_answerAreaHeight = 0;
    std::unique_ptr<AkkordPlayback> m_playback;
    QTimer* m_blinkTimer = nullptr;
    TMidiOut* m_midiOut = nullptr;
    TPianoView* m_pianoView = nullptr;
    TGuitarView* m_guitarView = nullptr;
};

} // namespace pv
