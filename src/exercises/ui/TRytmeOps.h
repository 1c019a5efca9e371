// The rhythm options page of rhythm imitation, reading and error detection: note values,
// triplets, rests, ties and dots, time signatures, bars, tempo, corrections and evaluation.
// The rules live in RytmeOpsModel; the buttons show the notation's own pictures.
#pragma once

#include "exercises/setup/SetupOperations.h"
#include "exercises/setuppages/RytmeOpsModel.h"

#include <array>
#include <functional>
#include <optional>

#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace pv {

class TRytmeOps : public QWidget
{
    Q_OBJECT

public:
    /// setup must outlive the page; currentKind gives the kind shown, for Restore.
    TRytmeOps(SetupState& setup, std::function<std::optional<ExerciseKind>()> currentKind,
              QWidget* parent = nullptr);

    RytmeOpsModel& Model() { return m_model; }

    /// Fills the page from the kind's block of `CurrentSetup` (kinds 4, 5, 6).
    void LoadSetup(ExerciseKind kind);
    /// Writes the page into the kind's block of `CurrentSetup` (kinds 4, 5, 6).
    void StoreSetup(ExerciseKind kind);
    /// "Restore to previous settings".
    void SpeedButton25Click();

    /// Where the page announces its language texts: a key ("RytmeOpsForm.<name>") and the
    /// setter that puts a text there.
    using TextSink =
        std::function<void(const QString& key, std::function<void(const QString&)> setter)>;
    void RegisterTexts(const TextSink& sink);

    // The page's controls, by the names the rest of the program knows them by.
    QWidget* Panel1 = nullptr;
    /// The six note values, then the four triplet groups.
    std::array<QToolButton*, kRytmeOpsNoteButtons> NoteButtons{};
    /// In the order of the time-signature table.
    std::array<QToolButton*, kRytmeOpsTimeSignatures> TimeSignatureButtons{};
    QCheckBox* Pause3 = nullptr;    ///< rests
    QCheckBox* CheckBox1 = nullptr; ///< ties
    QCheckBox* CheckBox3 = nullptr; ///< dotted notes
    QSpinBox* SpinEdit2 = nullptr;  ///< bars
    QSlider* TrackBar1 = nullptr;   ///< tempo
    QLabel* Image3 = nullptr;       ///< the tempo's note
    QLabel* Label51 = nullptr;      ///< "= " and the tempo
    QLabel* Label68 = nullptr;
    QSpinBox* SpinEdit3 = nullptr;  ///< corrections
    QCheckBox* CheckBox6 = nullptr; ///< show the rhythm a second time
    QGroupBox* RadioGroup1 = nullptr;
    std::array<QRadioButton*, 3> RadioGroup1Items{};
    QToolButton* SpeedButton25 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void Mirror();
    void MakePictures();

    SetupState& m_setup;
    std::function<std::optional<ExerciseKind>()> m_currentKind;
    RytmeOpsModel m_model;
    bool m_mirroring = false;
    bool m_picturesMade = false;
};

} // namespace pv
