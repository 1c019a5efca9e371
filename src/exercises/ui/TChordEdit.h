// The item editor dialog: the name, the note picture (staff, piano or guitar) with its add and
// delete tools, Play, OK, Cancel and Help, and in inversion mode the chord list and the
// inversions; the rules live in ChordEditModel.
#pragma once

#include "exercises/setuppages/ChordEditModel.h"
#include "music/ui/StaffPainter.h"

#include <functional>
#include <vector>

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pv {

class TChordEdit;

/// The picture the notes are entered on.
class TChordEditPicture : public QWidget
{
    Q_OBJECT

public:
    TChordEditPicture(ChordEditModel& model, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    EditNeck Neck() const { return LayoutEditNeck(width(), height()); }

signals:
    void Changed();
    void ToolChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Apply(const EditEffect& effect);
    void PaintStaff(QPainter& p);
    void PaintPiano(QPainter& p);
    void PaintGuitar(QPainter& p);

    ChordEditModel& m_model;
    StaffPainter m_painter;
    bool m_cursorHidden = false;
};

class TChordEdit : public QDialog
{
    Q_OBJECT

public:
    /// keys and midiOut (may be null) must outlive the dialog.
    TChordEdit(const IKeyState& keys, NoteSpacing& spacing, TMidiOut* midiOut,
               QWidget* parent = nullptr);

    ChordEditModel& Model() { return m_model; }
    /// Opens the dialog's model on an item and shows its state.
    void Open(const ChordEditModel::Options& options, const std::vector<ItemNote>& notes,
              const QString& name, const ItemTable& chordItems,
              const std::array<QString, 6>& inversionNames);
    /// The text of the name box as OK leaves it.
    QString NameText() const;
    /// A MIDI message while the dialog is open.
    void MidiInMessage(std::uint32_t message);
    /// What Help shows; unset: the button does nothing.
    void SetHelp(std::function<void()> help) { m_help = std::move(help); }
    /// The help topic of the editor.
    static constexpr int kHelpContext = 320;

    QLineEdit* Edit1 = nullptr; ///< the name
    TChordEditPicture* PaintBox1 = nullptr;
    QToolButton* SpeedButton1 = nullptr; ///< add notes
    QToolButton* SpeedButton2 = nullptr; ///< delete notes
    QPushButton* SpeedButton3 = nullptr; ///< Play
    QPushButton* BitBtn1 = nullptr;      ///< OK
    QPushButton* BitBtn2 = nullptr;      ///< Cancel
    QPushButton* BitBtn3 = nullptr;      ///< Help
    QComboBox* ComboBox1 = nullptr;      ///< inversion mode: the chord
    QGroupBox* RadioGroup1 = nullptr;    ///< inversion mode: the inversion
    std::vector<QRadioButton*> InversionButtons;

private:
    void Mirror();

    ChordEditModel m_model;
    QLabel* m_nameLabel = nullptr;
    QLabel* m_structureLabel = nullptr;
    std::function<void()> m_help;
    bool m_mirroring = false;
};

} // namespace pv
