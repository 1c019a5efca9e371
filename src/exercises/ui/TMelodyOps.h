// The melody options page of melody dictation: tone count, scale, largest leap, ambitus, the
// note range on the range picker, the option boxes and the twelve keys with their key
// signatures. The rules live in MelodyOpsModel.
#pragma once

#include "exercises/setup/SetupOperations.h"
#include "exercises/setuppages/MelodyOpsModel.h"
#include "music/staff/RangePicker.h"

#include <array>
#include <functional>
#include <optional>

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace pv {

class TRangeBox;
struct ItemTables;

/// What the page reaches of the program. References must outlive the page.
struct MelodyOpsContext
{
    SetupState& Setup;       ///< `CurrentSetup` filled and stored; `SavedSetup` for Restore
    const ItemTables& Items; ///< `ExerciseItems`, for the scale list
    /// The kind shown, for Restore.
    std::function<std::optional<ExerciseKind>()> CurrentKind;
    /// The settings' note-entry instrument of the setup pages: 2 piano, 4 guitar, else staff.
    std::function<int()> AnswerView;
};

class TMelodyOps : public QWidget
{
    Q_OBJECT

public:
    explicit TMelodyOps(MelodyOpsContext context, QWidget* parent = nullptr);

    MelodyOpsModel& Model() { return m_model; }
    RangePicker& Range() { return m_range; }

    /// Rebuilds the scale list and, for kind 9, fills the page from `CurrentSetup`.
    void LoadSetup(ExerciseKind kind);
    /// Writes the page into `MelodySetup` of `CurrentSetup` for kind 9.
    void StoreSetup(ExerciseKind kind);
    /// The range picker takes its place and picture by the note-entry instrument; called when
    /// the page is shown and when the instrument changed.
    void FormActivate();
    /// "Restore to previous settings".
    void SpeedButton13Click();

    /// Where the page announces its language texts: a key ("MelodyOpsForm.<name>") and the
    /// setter that puts a text there.
    using TextSink =
        std::function<void(const QString& key, std::function<void(const QString&)> setter)>;
    void RegisterTexts(const TextSink& sink);

    // The page's controls, by the names the rest of the program knows them by.
    QWidget* Panel1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;  ///< tone count
    QComboBox* ComboBox3 = nullptr; ///< scale
    QComboBox* ComboBox1 = nullptr; ///< largest leap
    QComboBox* ComboBox2 = nullptr; ///< ambitus
    QGroupBox* GroupBox2 = nullptr;
    TRangeBox* PaintBox1 = nullptr;
    QCheckBox* CheckBox8 = nullptr;       ///< rhythms
    QCheckBox* CheckBox4 = nullptr;       ///< auto answer
    QCheckBox* CheckBox6 = nullptr;       ///< show first tone
    QCheckBox* CheckBox3 = nullptr;       ///< play tone on click
    QCheckBox* CheckBox1 = nullptr;       ///< show key signature
    QCheckBox* CheckBox2 = nullptr;       ///< play keynote/tonic
    QRadioButton* RadioButton1 = nullptr; ///< base tones
    QRadioButton* RadioButton5 = nullptr; ///< cadence
    QLabel* Label5 = nullptr;
    /// The key buttons in the block's order of key signatures -6..+5.
    std::array<QToolButton*, kMelodyOpsKeys> KeyButtons{};
    QToolButton* SpeedButton13 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void Mirror();

    MelodyOpsContext m_ctx;
    RangePicker m_range;
    MelodyOpsModel m_model{m_range};
    bool m_mirroring = false;
    bool m_picturesMade = false;
};

} // namespace pv
