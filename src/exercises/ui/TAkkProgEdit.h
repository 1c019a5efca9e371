// The progression editor dialog: the number of chords, a step and an alteration box per
// chord, the progression as text, Play, OK and Cancel; the rules live in AkkProgEditModel.
#pragma once

#include "exercises/setuppages/AkkProgEditModel.h"

#include <array>
#include <functional>

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QToolButton;

namespace pv {

struct UIStringTable;

class TAkkProgEdit : public QDialog
{
    Q_OBJECT

public:
    /// strings, chordItems and midiOut (may be null) must outlive the dialog.
    TAkkProgEdit(const UIStringTable& strings, const ItemTable& chordItems, TMidiOut* midiOut,
                 QWidget* parent = nullptr);

    AkkProgEditModel& Model() { return m_model; }
    /// Fills the boxes from the item's chords (at most five).
    void Open(const std::vector<ProgressionChord>& chords);
    /// Play sounds the guitar when asked (the setup pages' answer input is the guitar).
    void SetGuitarSound(std::function<bool()> guitar) { m_guitar = std::move(guitar); }

    QSlider* TrackBar1 = nullptr;
    std::array<QComboBox*, kProgressionEditRows> StepBoxes{};       ///< ComboBox1, 3, 5, 7, 9
    std::array<QComboBox*, kProgressionEditRows> AlterationBoxes{}; ///< ComboBox2, 4, 6, 8, 10
    QLabel* Label11 = nullptr;
    QToolButton* SpeedButton1 = nullptr; ///< play
    QPushButton* BitBtn1 = nullptr;      ///< OK
    QPushButton* BitBtn2 = nullptr;      ///< Cancel
    QLabel* Label3 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;

private:
    void Mirror();

    const ItemTable& m_chordItems;
    TMidiOut* m_midiOut;
    AkkProgEditModel m_model;
    std::function<bool()> m_guitar;
    bool m_mirroring = false;
};

} // namespace pv
