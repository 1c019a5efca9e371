// The setup page of the item-based exercises: the item grid with its miniatures, the play
// styles and options, the root movement, the note range, the grid buttons and the item and
// progression editors it opens; the rules live in ChordOpsModel.
#pragma once

#include "exercises/setup/SetupOperations.h"
#include "exercises/setuppages/ChordOpsModel.h"
#include "music/staff/KeyState.h"
#include "music/staff/Sheet.h"

#include <array>
#include <functional>
#include <memory>

#include <QPointer>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QRadioButton;
class QTableView;
class QToolButton;

namespace pv {

class TChordEdit;
class TAkkProgEdit;
class TRangeBox;
class ChordGridItems;
struct UIStringTable;

/// What the page reaches of the program. References must outlive the page.
struct ChordOpsContext
{
    SetupState& Setup;     ///< `CurrentSetup` filled and stored; `SavedSetup` for Restore
    ItemTables& Items;     ///< `ExerciseItems`
    TMidiOut* MidiOut;     ///< plays items; null: silent
    const IKeyState& Keys; ///< the accidental keys while a staff note is dragged
    NoteSpacing& Spacing;  ///< the note spacing the program's staves share
    const UIStringTable& Strings;
    IPrompts& Prompts;
    /// The settings' note-entry instrument of the setup pages: 2 piano, 4 guitar, else staff.
    std::function<int()> AnswerView;
    /// The user may define items.
    std::function<bool()> EditRight;
    /// Shows an editor modally and gives its result; empty: exec().
    std::function<int(QDialog&)> RunDialog;
    /// An editor opens (true) or closes (false): MIDI input goes to it meanwhile.
    std::function<void(bool)> EditorOpen;
    /// Opens the program's help at a topic; empty: the editors' Help does nothing.
    std::function<void(int context)> ShowHelp = {};
};

class TChordOps : public QWidget
{
    Q_OBJECT

public:
    explicit TChordOps(ChordOpsContext context, QWidget* parent = nullptr);
    ~TChordOps() override;

    ChordOpsModel& Model() { return m_model; }
    RangePicker& Range() { return m_range; }

    /// Fills the page for a kind from `CurrentSetup` and the item tables.
    void LoadChordOps(ExerciseKind kind);
    /// Writes the page back into `CurrentSetup` and the item tables.
    void StoreChordOps();
    /// An item was edited on the page since the program started (the user item file is
    /// written on closing).
    bool UserItemsChanged() const { return m_model.UserItemsChanged; }

    /// The item editor is open and takes MIDI input.
    bool ItemEditorOpen() const { return m_chordEditOpen; }
    void ItemEditorMidiIn(std::uint32_t message);

    /// Where the page announces its language texts: a key ("ChordOpsForm.<name>") and the
    /// setter that puts a text there.
    using TextSink =
        std::function<void(const QString& key, std::function<void(const QString&)> setter)>;
    void RegisterTexts(const TextSink& sink);

    /// The answer view the grid draws for now.
    PageView View() const;
    /// The page's layout for its width and the answer view (called on resize and when the
    /// answer view changed).
    void FormResize();

    // The page's controls, by the names the rest of the program knows them by.
    QTableView* DrawGrid1 = nullptr;
    QCheckBox* Akk_SimulCheck = nullptr;
    QCheckBox* Akk_OpCheck = nullptr;
    QCheckBox* Akk_NedCheck = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QCheckBox* CheckBox10 = nullptr;
    QCheckBox* CheckBox11 = nullptr;
    QCheckBox* CheckBox12 = nullptr;
    QCheckBox* CheckBox13 = nullptr;
    QCheckBox* CheckBox15 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QLabel* Label3 = nullptr; ///< ComboBox2's label
    QWidget* Panel4 = nullptr;
    QWidget* Panel5 = nullptr;
    TRangeBox* PaintBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr; ///< compact view
    QToolButton* SpeedButton2 = nullptr; ///< deselect all
    QToolButton* SpeedButton3 = nullptr; ///< select all
    QToolButton* SpeedButton4 = nullptr; ///< add new
    QToolButton* SpeedButton5 = nullptr; ///< restore to previous settings

    /// The editors, once made.
    TChordEdit* ChordEditor() const;
    TAkkProgEdit* ProgressionEditor() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Mirror();
    void RefreshGrid();
    void Release(const GridRelease& release);
    void EditItem(int item);
    void EditProgression(int item);
    int RunEditor(QDialog& dialog);
    void SetRowTexts();

    ChordOpsContext m_ctx;
    RangePicker m_range;
    ChordOpsModel m_model;
    std::unique_ptr<ChordGridItems> m_items;
    QPointer<TChordEdit> m_chordEdit;
    QPointer<TAkkProgEdit> m_progEdit;
    bool m_chordEditOpen = false;
    bool m_mirroring = false;
    std::array<QString, kRootMovementRows> m_rootRows{};
    std::array<QString, 3> m_inversionRows{};
    QString m_diatonicCaption = QStringLiteral("Diatonic roots");
    QString m_bassRootCaption = QStringLiteral("Add the root in the bass");
};

} // namespace pv
