// The main window: menus, tool windows and the windows of the views inside one work area. It
// only mirrors: every decision (which view, which kind, what is enabled) is made by the main
// window's model, which reaches the widgets through IMainWindowUi, and by the commands' rows,
// from which it makes one action per command for its menu entry and its tool button.
#pragma once

#include "exercises/base/ExerciseHost.h"
#include "shell/commands/CommandRegistry.h"
#include "shell/language/ui/WidgetTexts.h"
#include "shell/main/MainKeyTable.h"
#include "shell/main/MainWindowUi.h"
#include "shell/metronome/ui/MetronomePaintBox.h"
#include "shell/results/ExerciseForms.h"
#include "shell/results/ui/TUserResult.h"
#include "shell/settings/ProgramSettingsUi.h"
#include "shell/transfer/ui/TExportImport.h"
#include "shell/ui/ToolWindows.h"

#include <array>
#include <functional>
#include <map>
#include <memory>

#include <QMainWindow>
#include <QMap>
#include <QPointer>

class QAbstractButton;
class QAction;
class QActionGroup;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QSlider;
class QTimer;
class QToolButton;

namespace pv {

class HelpDesk;
class ScorePanel;
class IPrompts;
class ModalGuard;
class TExerciseBaseClass;
struct UIStringTable;

/// What the main window hands on to the program: the user's clicks and the window's own events.
struct MainWindowHandlers
{
    /// A view button, exercise button or exercise menu entry was chosen (its view tag).
    std::function<void(int tag)> ViewTag;
    /// An exercise entry of the Exercises menu opens its submenu (the entry's tag, 1..10).
    std::function<void(int kindTag)> ExerciseMenuOpens;
    /// The window is shown (the first show finishes start-up).
    std::function<void()> Show;
    /// The user wants to close; false keeps the program open.
    std::function<bool()> CloseQuery;
    /// The clock timer fired (when Timer1Due said it would).
    std::function<void()> Timer1Timer;
    /// While the clock timer is on: milliseconds until its next tick is of use, or none while
    /// nothing it shows moves (it then sleeps). Unset: once a second.
    std::function<std::optional<int>()> Timer1Due;
    /// The automatic-new-question timer fired.
    std::function<void()> AutoNewQuestTimer;
    /// Hides the splash window.
    std::function<void()> HideSplash;
    /// The setup chooser, modal.
    std::function<void()> SetupChooser;
    /// The exercise clock label's hint as the pointer rests on it; none: no hint.
    std::function<std::optional<QString>()> Label7Hint;
    /// The user chose statistics period entry index (0..4).
    std::function<void(int index)> StatisticsPeriod;
    /// The user chose a note identification mode (0 exact octave, 1 any octave, 2 relative).
    /// A tool window's visible byte, set by the user closing its bar.
    std::function<void(int n, bool on)> ToolWindowFlag;
    std::function<void(int mode)> NoteIdentification;
    /// The note identification mode in force, for the submenu's tick.
    std::function<int()> NoteIdentificationMode;
    /// MIDI input goes nowhere from now on (the device stays open).
    std::function<void()> StopMidiInput;
    /// A MIDI input message arrived for target (a kind 1..10, the settings dialog, the editor).
    std::function<void(std::uint32_t message, int target)> MidiInData;
    /// The metronome's controls follow the settings (nothing is toggled).
    std::function<void()> MetroClick;
    /// The visual metronome's controls follow the settings.
    std::function<void()> SpeedButton12Click;
    /// The tempo slider moved to position.
    std::function<void(int position)> TrackBar1Change;
    /// The 150 ms light timer fired.
    std::function<void()> LightDisplaytimeTimer;
    /// The answer-button blink timer fired.
    std::function<void()> AnswerbuttonBlinkTimer;
    /// The microphone's pitch message and onset message (wparam, lparam).
    std::function<void(std::uint8_t wparam)> WaveInPitch;
    std::function<void(std::uint32_t wparam, std::uint32_t lparam)> WaveInOnset;
    /// An exercise window stops the microphone as it is left.
    std::function<void()> WaveInStop;
    /// The tutor's progress labels follow the current exercise.
    std::function<void()> ShowTutorProgress;
    /// A scored answer: true when it ends the tutor's step, which then ends once the exercise
    /// has returned to the event loop.
    std::function<bool()> TutorTakesAnswer;
    /// The tutor's progress labels were clicked.
    std::function<void()> Panel2Click;
    /// Shows tip n; true when it stays offered.
    std::function<bool(int n)> ShowTip;
    /// The exercise windows' tip buttons follow the tips mask.
    std::function<void(std::uint32_t tipsMask)> ApplyShownControls;
    /// A view switch: the Answer Input menu follows the new view and kind.
    std::function<void()> AnswerInputFollowsView;
};

class TPellivarkMain final : public QMainWindow,
                             public IMainWindowUi,
                             public IExerciseHost,
                             public IExerciseClockView,
                             public IProgramSettingsUi,
                             public ICommandView
{
    Q_OBJECT

public:
    /// prompts and strings must outlive the window.
    TPellivarkMain(IPrompts& prompts, const UIStringTable& strings, QWidget* parent = nullptr);
    ~TPellivarkMain() override;

    void SetHandlers(MainWindowHandlers handlers) { m_handlers = std::move(handlers); }

    /// Makes one action of every command of commands (which must outlive the window) and builds
    /// the menus and tool windows from the layout with them; a command nobody registered is
    /// left out. Once.
    void BuildCommands(CommandRegistry& commands);
    /// The action of a command; null for none.
    QAction* CommandAction(const QString& id) const;

    // ICommandView
    void ShowCommandEnabled(const QString& id, bool on) override;
    void ShowCommandChecked(const QString& id, bool on) override;
    void ShowCommandVisible(const QString& id, bool on) override;
    /// The tool windows' pop-up (`VisibleToolPopUp`): their visibility entries.
    QMenu* createPopupMenu() override;

    // The windows of the views, made by the program and kept inside the work area.
    void SetStartMenu(QWidget* startMenu);
    /// The exercise window of kind (a TExerciseBaseClass when the exercise exists).
    void SetExerciseWindow(ExerciseKind kind, QWidget* window);
    QWidget* ExerciseWindow(ExerciseKind kind) const;
    void SetResultsWindow(TUserResult* window);
    /// The export and import dialog, whose user choice the rights enable.
    void SetExportImportDialog(TExportImport* dialog) { m_exportImport = dialog; }
    void SetSetupPage(SetupBlockType page, QWidget* window);
    /// The window shown in the work area now.
    QWidget* ShownView() const;

    /// Announces every caption, menu item and hint of the window and its tool windows.
    void RegisterTextTargets(const TextTargetSink& sink);

    IToolWindows& ToolWindows() { return *m_toolWindows; }
    /// The settings' visible flag of tool window n: a wanted window shows only when it is set.
    void SetToolWindowAllowed(int n, bool allowed);
    bool ToolWindowAllowed(int n) const;
    /// Whether the view wants tool window n now (whatever the settings say).
    bool ToolWindowWanted(int n) const;

    /// The button or action of a control, for tests and for the program's wiring.
    QAbstractButton* Button(MainControl control) const;
    QAction* Action(MainControl control) const;
    QLabel* Label(MainControl control) const;
    /// The entry of view in kind's submenu.
    QAction* ViewEntry(ExerciseKind kind, MainView view) const;
    QTimer* AutoNewQuestTimer() const { return m_autoNewQuestTimer; }
    QProgressBar* Gauge15() const { return m_gauge15; }
    /// The score tool window's client area.
    ScorePanel* ScoreArea() const { return m_scorePanel; }
    QLabel* Label15() const { return m_label15; }

    /// Every visible menu, button and label text of the window and its tool windows, with the
    /// object it belongs to: a caption a language file left empty shows up here.
    std::vector<std::pair<QString, QString>> VisibleTexts() const;

    // IMainWindowUi
    void SetEnabled(MainControl control, bool on) override;
    bool IsEnabled(MainControl control) const override;
    void SetVisible(MainControl control, bool on) override;
    void SetChecked(MainControl control, bool on) override;
    void SetDown(MainControl control, bool on) override;
    bool IsDown(MainControl control) const override;
    void SetText(MainControl control, const QString& text) override;
    QString Text(MainControl control) const override;
    void SetWidth(MainControl control, int width) override;
    int Width(MainControl control) const override;
    void SetTempoPosition(int tempo) override;
    void SetViewEntryText(ExerciseKind kind, MainView view, const QString& text) override;
    void SetViewEntryEnabled(ExerciseKind kind, MainView view, bool on) override;
    void SetViewEntryVisible(ExerciseKind kind, MainView view, bool on) override;
    void SetViewEntryChecked(ExerciseKind kind, MainView view, bool on) override;
    void PumpMessages() override;
    void ShowStartMenuMaximized() override;
    void ShowExerciseMaximized(ExerciseKind kind) override;
    void ShowNotAvailable(ExerciseKind kind) override;
    void ShowSetupPageMaximized(SetupBlockType page, ExerciseKind kind) override;
    void ShowResultsMaximized() override;
    void FillResultsView(ExerciseKind kind, double fromDate) override;
    void SetResultsItemButtonsVisible(bool on) override;
    void SetResultsUserChooser(bool shown, int panelLeft) override;
    void SetExportImportUserChooserEnabled(bool on) override;
    void SetSetupChooserFolder(const QString& folder) override;
    void ShowSetupChooser() override;
    void SetToolWindowVisible(int n, bool visible) override;
    void LayoutScoreToolWindow() override;
    void AlignAnswerInputMenu(std::optional<ExerciseKind> kind) override;
    void FocusExercise(ExerciseKind kind) override;
    QString AskUserName(const QString& prompt) override;
    void AdaptButtonLook() override;
    void HideSplash() override;

    // IExerciseHost
    void FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat) override;
    bool TutorActive() const override;
    void ShowTutorProgress() override;
    bool TutorTakesAnswer() override;
    bool ShowTip(int n) override;
    void SetAutoNewQuestTimerEnabled(bool on) override;
    void StopMidiInput() override;
    void WaveInStop() override;
    void ClockRepaintCurrentKind() override;
    void ShowScoreDisplay(int gauge, const QString& label) override;
    void RestVisualMetronome() override { PaintBox2Paint(); }
    int ProgramFontSize() const override { return m_programFontSize; }
    AnswerSoundChoice AnswerSounds() const override { return m_answerSounds; }
    QTimer* ExerciseTimer(ExerciseHostTimer timer) override;

    void SetProgramFontSize(int points) { m_programFontSize = points; }
    void SetAnswerSounds(AnswerSoundChoice sounds) { m_answerSounds = sounds; }
    /// The state the clock's repaint mark is kept in; must outlive the window.
    void SetState(pv::MainWindowState& state) { m_state = &state; }
    /// While it is up the window's keys reach no exercise; must outlive the window.
    void SetModalGuard(const ModalGuard& guard) { m_modalGuard = &guard; }

    // IExerciseClockView
    void SetTimer1Enabled(bool on) override;
    void ShowExerciseTime(const QString& text) override;
    void RepaintControlStrip(ExerciseKind kind) override;

    // IProgramSettingsUi
    void BeginDockUpdate() override;
    void EndDockUpdate() override;
    void PlaceToolWindow(int index, const ToolWindowPlacement& place) override;
    ToolWindowPlacement ToolWindowPlaceOf(int index) const override;
    void SetResultColumn(int index, const ResultColumn& column) override;
    ResultColumn ResultColumnOf(int index) const override;
    void SetMainWindowFont(const FontSpec& font) override;
    void ApplyFontToForms(const FontSpec& font) override;
    void ApplyColorToForms(std::uint32_t colour) override;
    void MetroClick() override;
    void SpeedButton12Click() override;

    /// A sequencer notification's beat and bar on the visual metronome.
    void SequencerNotify(std::uint32_t code);
    /// The visual metronome shows beat of beatsPerBar, only while its tool window shows.
    void PaintMetronome(int beat, int beatsPerBar);
    /// The visual metronome at rest without beat boxes.
    void PaintBox2Paint();
    /// Clears the lit beat: the bar of the last notification with no beat lit; stops itself.
    void MetronomeTimerTimer();
    MetronomePaintBox& MetronomeBox() const { return *m_paintBox2; }
    void SetMenuTick(SettingsMenuItem item, bool ticked) override;
    void SetAutoNewQuestTimerInterval(int milliseconds) override;
    void ApplyShownControls(std::uint32_t tipsMask) override;
    void SetHelpFile(const QString& path) override;
    /// The program's help at a topic (help context). Every Help button and entry asks here.
    void ShowHelpTopic(int context);
    /// The help button and Ctrl+F1: the page of the view and exercise in use.
    void SpeedButton4Click();
    void SetMainWindowBounds(const WindowBounds& bounds) override;
    WindowBounds MainWindowBounds() const override;
    void SetMainWindowState(WindowShowState state) override;
    WindowShowState MainWindowState() const override;
    int StatisticsPeriodCount() const override;
    /// The text of statistics period entry index, without its accelerator mark.
    QString StatisticsPeriodText(int index) const;
    std::optional<int> TickedStatisticsPeriod() const override;
    void ChooseStatisticsPeriod(int index) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The key the filter let through to the exercise window, for its hand-back.
    struct DeliveredKey
    {
        int Key = 0;
        Qt::KeyboardModifiers Modifiers;
        std::uint32_t ScanCode = 0;
    };

    struct Control
    {
        QPointer<QAction> Action;
        QPointer<QAbstractButton> Button;
        QPointer<QLabel> Label;
        QPointer<QWidget> Widget;
        QPointer<QTimer> Timer;
    };

    static QString ControlId(MainControl control);
    /// The labels, the visual metronome, the score and the tempo slider: what the layout's
    /// slots of the tool windows hold.
    void MakeSlots();
    QLabel* MakeLabel(const QString& name);
    QAction* MakeAction(const CommandRow& row);
    void AddCommandButton(int toolWindow, const CommandRow& row);
    void MakeToolWindows();
    void MakeMenus();
    void MakeMenuSlot(QMenu& menu, const QString& name);
    void MakeExerciseSubmenus(QMenu& exercises);
    void MakeToolBarsMenu(QMenu& view);
    void MakeStatisticsPeriodMenu(QMenu& view);
    void MakeNoteIdentificationMenu(QMenu& midi);
    void Register(const QString& name, QAction* action);
    void Register(const QString& name, QAbstractButton* button);
    void Register(const QString& name, QLabel* label);
    void Register(const QString& name, QWidget* widget);
    void Register(const QString& name, QTimer* timer);
    const Control* Find(MainControl control) const;
    void ShowInWorkArea(QWidget* window);
    QMdiSubWindow* SubWindowOf(QWidget* window);
    /// A view that only says what is not there yet, made on first use.
    QWidget* PlaceholderView(const QString& name, const QString& text);
    QWidget* NotAvailableView(ExerciseKind kind);
    void ApplyToolWindow(int n);
    void Timer1Fired();
    /// Sets the clock timer to its next useful tick, or stops it when there is none.
    void ArmTimer1();
    void QueueShowStep();
    MainKeyEvent KeyOf(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                       std::uint32_t scanCode) const;
    MainKeyContext KeyContext() const;
    /// The current kind's exercise window when it exists.
    TExerciseBaseClass* CurrentExercise() const;
    /// Does what a key asks; false when the key is not the window's.
    bool CarryOut(const MainKeyAction& action);
    bool IsOwnWindow(const QWidget* widget) const;
    static bool IsTextEntry(const QWidget* widget);

    IPrompts& m_prompts;
    const UIStringTable& m_strings;
    MainWindowHandlers m_handlers;
    QMdiArea* m_mdi = nullptr;
    std::unique_ptr<DockToolWindows> m_toolWindows;
    CommandRegistry* m_commands = nullptr;
    std::map<QString, QPointer<QAction>> m_commandActions;
    std::map<QString, QPointer<QActionGroup>> m_groups;
    /// Controls by object name; a command's is its action and its button.
    std::map<QString, Control> m_controls;
    QMap<QString, QWidget*> m_slots;
    std::array<std::array<QPointer<QAction>, 4>, 10> m_viewEntries{};
    std::array<bool, IToolWindows::kCount> m_toolWindowAllowed{};
    std::array<bool, IToolWindows::kCount> m_toolWindowWanted{};

    QPointer<QWidget> m_startMenu;
    std::array<QPointer<QWidget>, 10> m_exerciseWindows{};
    std::map<QString, QPointer<QWidget>> m_placeholders;
    QPointer<TUserResult> m_resultsWindow;
    QPointer<TExportImport> m_exportImport;
    std::map<SetupBlockType, QPointer<QWidget>> m_setupPages;
    std::map<QWidget*, QPointer<QMdiSubWindow>> m_subWindows;
    std::map<QWidget*, QPointer<QAction>> m_barActions;
    QPointer<QWidget> m_shown;

    QTimer* m_timer1 = nullptr;
    /// The clock timer is on (`Timer1` enabled); it fires only when a tick is of use.
    bool m_timer1On = false;
    QTimer* m_autoNewQuestTimer = nullptr;
    QTimer* m_lightDisplaytime = nullptr;
    QTimer* m_answerbuttonBlink = nullptr;
    QProgressBar* m_gauge15 = nullptr;
    QLabel* m_label15 = nullptr;
    ScorePanel* m_scorePanel = nullptr;
    QSlider* m_trackBar1 = nullptr;
    MetronomePaintBox* m_paintBox2 = nullptr;
    QTimer* m_metronomeTimer = nullptr;
    /// The metronome timer's tag: beats per bar of the last notification.
    int m_metronomeBeatsPerBar = 0;
    QString m_setupChooserFolder;
    QString m_helpFile;
    std::unique_ptr<HelpDesk> m_help;
    std::array<ResultColumn, kResultColumnCount> m_resultColumns{};
    std::vector<QAction*> m_periodItems;
    std::array<QAction*, 3> m_identificationItems{};

    int m_programFontSize = 9;
    AnswerSoundChoice m_answerSounds{};
    pv::MainWindowState* m_state = nullptr;
    const ModalGuard* m_modalGuard = nullptr;
    bool m_firstPaintSeen = false;
    bool m_showPending = false;
    DeliveredKey m_deliveredKey;
};

} // namespace pv
