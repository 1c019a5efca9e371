// The progression editor dialog.
#include "exercises/ui/TAkkProgEdit.h"

#include "music/strings/UIStrings.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

TAkkProgEdit::TAkkProgEdit(const UIStringTable& strings, const ItemTable& chordItems,
                           TMidiOut* midiOut, QWidget* parent)
    : QDialog(parent), m_chordItems(chordItems), m_midiOut(midiOut)
{
    setObjectName(QStringLiteral("AkkProgEditForm"));
    setWindowTitle(QStringLiteral("Progression editor"));
    auto* layout = new QVBoxLayout(this);

    auto* countRow = new QHBoxLayout;
    Label3 = new QLabel(strings.StrProgressionCaption1, this);
    Label3->setObjectName(QStringLiteral("Label3"));
    TrackBar1 = new QSlider(Qt::Horizontal, this);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(kProgressionEditMinChords, kProgressionEditRows);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setTickInterval(1);
    TrackBar1->setPageStep(1);
    countRow->addWidget(Label3);
    countRow->addWidget(TrackBar1, 1);
    layout->addLayout(countRow);

    auto* grid = new QGridLayout;
    Label9 = new QLabel(strings.StrProgressionCaption2, this);
    Label9->setObjectName(QStringLiteral("Label9"));
    Label10 = new QLabel(strings.StrProgressionCaption3, this);
    Label10->setObjectName(QStringLiteral("Label10"));
    grid->addWidget(Label9, 0, 0);
    grid->addWidget(Label10, 1, 0);
    const QStringList steps = ProgressionStepNames();
    const QStringList alterations = ProgressionAlterationNames(chordItems);
    for (int k = 0; k < kProgressionEditRows; ++k) {
        const std::size_t row = static_cast<std::size_t>(k);
        auto* step = new QComboBox(this);
        step->setObjectName(QStringLiteral("ComboBox%1").arg(2 * k + 1));
        step->addItems(steps);
        auto* alteration = new QComboBox(this);
        alteration->setObjectName(QStringLiteral("ComboBox%1").arg(2 * k + 2));
        alteration->addItems(alterations);
        StepBoxes[row] = step;
        AlterationBoxes[row] = alteration;
        grid->addWidget(step, 0, k + 1);
        grid->addWidget(alteration, 1, k + 1);
        connect(step, &QComboBox::activated, this, [this, k](int index) {
            if (!m_mirroring) {
                m_model.ChooseStep(k, index);
                Mirror();
            }
        });
        connect(alteration, &QComboBox::activated, this, [this, k](int index) {
            if (!m_mirroring) {
                m_model.ChooseAlteration(k, index);
                Mirror();
            }
        });
    }
    layout->addLayout(grid);

    Label11 = new QLabel(this);
    Label11->setObjectName(QStringLiteral("Label11"));
    QFont big = Label11->font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    Label11->setFont(big);
    Label11->setAlignment(Qt::AlignCenter);
    Label11->setMinimumHeight(32);
    layout->addWidget(Label11);

    auto* buttons = new QHBoxLayout;
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("Play"));
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    buttons->addWidget(SpeedButton1);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    layout->addLayout(buttons);

    connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) {
        if (!m_mirroring) {
            m_model.TrackBar1Change(position);
            Mirror();
        }
    });
    connect(SpeedButton1, &QToolButton::clicked, this, [this] {
        if (m_midiOut != nullptr)
            m_model.Play(m_chordItems, m_guitar && m_guitar(), *m_midiOut);
    });
    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        m_model.ReadProgressionEditor();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TAkkProgEdit::Open(const std::vector<ProgressionChord>& chords)
{
    m_model.Open(chords);
    Mirror();
}

void TAkkProgEdit::Mirror()
{
    m_mirroring = true;
    TrackBar1->setValue(m_model.TrackBar1);
    for (std::size_t k = 0; k < StepBoxes.size(); ++k) {
        StepBoxes[k]->setCurrentIndex(m_model.StepIndex[k]);
        AlterationBoxes[k]->setCurrentIndex(m_model.AlterationIndex[k]);
        StepBoxes[k]->setEnabled(m_model.RowEnabled[k]);
        AlterationBoxes[k]->setEnabled(m_model.RowEnabled[k]);
    }
    Label11->setText(m_model.Label11);
    m_mirroring = false;
}

} // namespace pv
