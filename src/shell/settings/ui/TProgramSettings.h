// The program settings dialog: five pages over its model, which it only mirrors. Its controls
// carry the names the language file addresses them by.
#pragma once

#include "shell/settings/ProgramSettingsCommand.h"

#include <array>
#include <functional>
#include <map>
#include <optional>

#include <QDialog>
#include <QSpinBox>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace pv {

struct UIStringTable;

/// A control-note edit: the note's name in the box, the arrow keys of both directions step it.
class ControlNoteEdit final : public QSpinBox
{
    Q_OBJECT

public:
    explicit ControlNoteEdit(QWidget* parent = nullptr);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString& text) const override;
    QValidator::State validate(QString& input, int& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

class TProgramSettings final : public QDialog, public IProgramSettingsDialog
{
    Q_OBJECT

public:
    /// The texts the dialog takes from the program when it is made: its caption and the five
    /// control-strip captions that name the control notes.
    struct Texts
    {
        QString Caption;
        std::array<QString, kControlNoteCount> StripCaptions;
    };
    using FontChooser = std::function<std::optional<FontSpec>(const FontSpec& current)>;
    using ColourChooser = std::function<std::optional<std::uint32_t>(std::uint32_t current)>;
    using Runner = std::function<int(QDialog&)>;

    /// model and strings must outlive the window. run shows it modally (empty: exec()).
    TProgramSettings(ProgramSettingsModel& model, const UIStringTable& strings, Texts texts,
                     Runner run = {}, QWidget* parent = nullptr);
    ~TProgramSettings() override;

    /// Shows the model's values and runs the dialog; true when it closed with OK.
    bool Exec() override;
    /// Brings every control to the model's values.
    void Mirror();

    /// The font and colour dialogs (the system's by default).
    void SetFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
    void SetColourChooser(ColourChooser chooser) { m_chooseColour = std::move(chooser); }
    /// What the Help button opens.
    void SetHelp(std::function<void()> help) { m_help = std::move(help); }

    /// Announces the captions of the pages, groups, buttons and labels and the name of the
    /// percussion entry by the keys of the language file.
    void RegisterTexts(
        const std::function<void(const QString& key, std::function<void(const QString&)>)>& sink);

    ProgramSettingsModel& Model() { return m_model; }
    QTabWidget* Pages() const { return m_pages; }

    // The controls, by the names the language file and the tests know them by.
    QSpinBox* UpDown1 = nullptr; ///< piano channel
    QComboBox* ComboBox3 = nullptr;
    QSpinBox* UpDown5 = nullptr;
    QSpinBox* UpDown2 = nullptr; ///< guitar channel
    QComboBox* ComboBox9 = nullptr;
    QSpinBox* UpDown6 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QSpinBox* UpDown3 = nullptr; ///< clap channel
    QComboBox* ComboBox4 = nullptr;
    QComboBox* ComboBox6 = nullptr;
    QSpinBox* UpDown7 = nullptr;
    QSpinBox* UpDown4 = nullptr; ///< metronome channel
    QComboBox* ComboBox5 = nullptr;
    QComboBox* ComboBox7 = nullptr;
    QSpinBox* UpDown8 = nullptr;
    QComboBox* ComboBox8 = nullptr; ///< first-beat note
    QSpinBox* UpDown9 = nullptr;
    QToolButton* SpeedButton1 = nullptr; ///< piano test
    QToolButton* SpeedButton5 = nullptr; ///< guitar test
    QToolButton* SpeedButton2 = nullptr; ///< clap test
    QToolButton* SpeedButton3 = nullptr; ///< metronome test
    QToolButton* SpeedButton4 = nullptr; ///< first-beat test

    QComboBox* ComboBox1 = nullptr; ///< MIDI input
    QComboBox* ComboBox2 = nullptr; ///< MIDI output
    QSlider* TrackBar4 = nullptr;   ///< MIDI volume
    QSpinBox* UpDown10 = nullptr;   ///< output delay
    QPushButton* BitBtn6 = nullptr; ///< delay test
    QFrame* Shape2 = nullptr;       ///< the delay test's flashing square

    QComboBox* ComboBox10 = nullptr; ///< language
    QLabel* Label12 = nullptr;       ///< the font's name and size in the font
    QPushButton* BitBtn4 = nullptr;
    QFrame* Shape1 = nullptr; ///< the background colour
    QPushButton* BitBtn5 = nullptr;
    QSlider* TrackBar1 = nullptr; ///< rhythm notation spacing
    QCheckBox* CheckBox4 = nullptr;
    QSpinBox* UpDown11 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QSpinBox* UpDown14 = nullptr;
    QPushButton* BitBtn7 = nullptr; ///< show all tips again

    QSlider* TrackBar2 = nullptr; ///< tone-input sensitivity
    QSlider* TrackBar3 = nullptr; ///< rhythm-input sensitivity
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* Soundeffects = nullptr;
    QComboBox* ComboBox11 = nullptr;
    QComboBox* ComboBox12 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QSlider* TrackBar5 = nullptr; ///< wave volume
    QCheckBox* CheckBox7 = nullptr;

    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    std::array<ControlNoteEdit*, kControlNoteCount> ControlNoteEdits{}; ///< Edit12 .. Edit17

    QPushButton* BitBtn1 = nullptr; ///< OK
    QPushButton* BitBtn2 = nullptr; ///< Cancel
    QPushButton* BitBtn3 = nullptr; ///< Help

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* MakeInstrumentsPage();
    QWidget* MakeDevicesPage();
    QWidget* MakeEnvironmentPage();
    QWidget* MakeEffectsPage();
    QWidget* MakeRemotePage();
    QLabel* MakeLabel(const char* name, const QString& text);
    QSpinBox* MakeSpin(const char* name, int low, int high);
    QComboBox* MakeCombo(const char* name);
    QCheckBox* MakeCheck(const char* name, const QString& text);
    QSlider* MakeSlider(const char* name, int low, int high);
    QToolButton* MakeTestButton(const char* name, TestSound sound);
    /// The control learns for target when it gets the focus.
    void Learns(QWidget* control, LearnTarget target);
    /// Runs a change of the user's and shows what it did, unless the window is mirroring.
    void Change(const std::function<void()>& change);
    void FillLists();
    void ChooseFont();
    void ChooseColour();

    ProgramSettingsModel& m_model;
    const UIStringTable& m_strings;
    Texts m_texts;
    Runner m_run;
    FontChooser m_chooseFont;
    ColourChooser m_chooseColour;
    std::function<void()> m_help;
    QTabWidget* m_pages = nullptr;
    QGroupBox* m_groupBox6 = nullptr;
    QGroupBox* m_groupBox8 = nullptr;
    std::map<QObject*, LearnTarget> m_learns;
    bool m_mirroring = false;
    QString m_filledDrumName;
};

} // namespace pv
