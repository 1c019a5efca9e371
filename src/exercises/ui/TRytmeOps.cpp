// The rhythm options page's window.
#include "exercises/ui/TRytmeOps.h"

#include "exercises/rhythm/RhythmLayout.h"
#include "exercises/ui/RhythmPainter.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QRadioButton>
#include <QResizeEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

std::size_t At(int i)
{
    return static_cast<std::size_t>(i);
}

/// A figure of the notation as a picture, on a clear background.
QPixmap Picture(const RhythmDisplayList& list)
{
    const QRect area = list.Area;
    QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    RhythmPainter().Paint(painter, list);
    painter.end();
    return QPixmap::fromImage(image);
}

QToolButton* ToggleButton(QWidget* parent, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void SetPicture(QToolButton* button, const QPixmap& picture)
{
    button->setIcon(QIcon(picture));
    button->setIconSize(picture.size());
}

QLabel* Caption(QWidget* parent, const QString& name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

TRytmeOps::TRytmeOps(SetupState& setup, std::function<std::optional<ExerciseKind>()> currentKind,
                     QWidget* parent)
    : QWidget(parent), m_setup(setup), m_currentKind(std::move(currentKind))
{
    setObjectName(QStringLiteral("RytmeOpsForm"));
    BuildControls();
    Mirror();
}

void TRytmeOps::BuildControls()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* grid = new QGridLayout(Panel1);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    int row = 0;

    // Note values and triplet groups: button i is SpeedButton(i + 1).
    grid->addWidget(Caption(Panel1, QStringLiteral("Label48"), QStringLiteral("Note values")), row,
                    0, Qt::AlignLeft | Qt::AlignVCenter);
    auto* values = new QHBoxLayout;
    for (int v = 0; v < kRytmeOpsValues; ++v) {
        NoteButtons[At(v)] = ToggleButton(Panel1, QStringLiteral("SpeedButton%1").arg(v + 1));
        values->addWidget(NoteButtons[At(v)]);
    }
    values->addStretch();
    grid->addLayout(values, row++, 1);
    grid->addWidget(Caption(Panel1, QStringLiteral("Label3"), QStringLiteral("Triplets")), row, 0,
                    Qt::AlignLeft | Qt::AlignVCenter);
    auto* triplets = new QHBoxLayout;
    for (int t = 0; t < kRytmeOpsTriplets; ++t) {
        const int i = kRytmeOpsValues + t;
        NoteButtons[At(i)] = ToggleButton(Panel1, QStringLiteral("SpeedButton%1").arg(i + 1));
        triplets->addWidget(NoteButtons[At(i)]);
    }
    triplets->addStretch();
    grid->addLayout(triplets, row++, 1);

    grid->addWidget(Caption(Panel1, QStringLiteral("Label4"), QStringLiteral("Include")), row, 0,
                    Qt::AlignLeft | Qt::AlignVCenter);
    auto* include = new QHBoxLayout;
    Pause3 = new QCheckBox(QStringLiteral("Rests"), Panel1);
    Pause3->setObjectName(QStringLiteral("Pause3"));
    CheckBox1 = new QCheckBox(QStringLiteral("Ties"), Panel1);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox3 = new QCheckBox(QStringLiteral("Dotted notes"), Panel1);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    for (QCheckBox* box : {Pause3, CheckBox1, CheckBox3})
        include->addWidget(box);
    include->addStretch();
    grid->addLayout(include, row++, 1);

    // Time signatures in the table's order, two rows of seven: SpeedButton11 .. SpeedButton24.
    grid->addWidget(Caption(Panel1, QStringLiteral("Label49"), QStringLiteral("Time signatures")),
                    row, 0, Qt::AlignLeft | Qt::AlignTop);
    auto* signatures = new QGridLayout;
    signatures->setHorizontalSpacing(4);
    for (int s = 0; s < kRytmeOpsTimeSignatures; ++s) {
        TimeSignatureButtons[At(s)] =
            ToggleButton(Panel1, QStringLiteral("SpeedButton%1").arg(s + 11));
        signatures->addWidget(TimeSignatureButtons[At(s)], s / 7, s % 7);
    }
    signatures->setColumnStretch(7, 1);
    grid->addLayout(signatures, row++, 1);

    grid->addWidget(Caption(Panel1, QStringLiteral("Label50"), QStringLiteral("Bars")), row, 0,
                    Qt::AlignLeft | Qt::AlignVCenter);
    auto* bars = new QHBoxLayout;
    SpinEdit2 = new QSpinBox(Panel1);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setRange(1, 6);
    // The bars are stepped, never typed: a typed number could leave the range half entered.
    SpinEdit2->findChild<QLineEdit*>()->setReadOnly(true);
    bars->addWidget(SpinEdit2);
    bars->addSpacing(30);
    bars->addWidget(Caption(Panel1, QStringLiteral("Label5"), QStringLiteral("Initial speed")));
    TrackBar1 = new QSlider(Qt::Horizontal, Panel1);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setRange(kRytmeOpsMinTempo, kRytmeOpsMaxTempo);
    TrackBar1->setSingleStep(2);
    TrackBar1->setPageStep(10);
    TrackBar1->setTickInterval(10);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    TrackBar1->setMinimumWidth(220);
    bars->addWidget(TrackBar1);
    Image3 = new QLabel(Panel1);
    Image3->setObjectName(QStringLiteral("Image3"));
    bars->addWidget(Image3);
    Label51 = new QLabel(Panel1);
    Label51->setObjectName(QStringLiteral("Label51"));
    Label51->setMinimumWidth(50);
    bars->addWidget(Label51);
    bars->addStretch();
    grid->addLayout(bars, row++, 1);

    auto* lower = new QHBoxLayout;
    Label68 = Caption(Panel1, QStringLiteral("Label68"), QStringLiteral("Corrections"));
    lower->addWidget(Label68);
    SpinEdit3 = new QSpinBox(Panel1);
    SpinEdit3->setObjectName(QStringLiteral("SpinEdit3"));
    SpinEdit3->setRange(1, kRytmeOpsMaxCorrections);
    SpinEdit3->findChild<QLineEdit*>()->setReadOnly(true);
    lower->addWidget(SpinEdit3);
    CheckBox6 = new QCheckBox(QStringLiteral("Show rhythm second time"), Panel1);
    CheckBox6->setObjectName(QStringLiteral("CheckBox6"));
    lower->addWidget(CheckBox6);
    RadioGroup1 = new QGroupBox(QStringLiteral("Evaluation"), Panel1);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* evaluation = new QHBoxLayout(RadioGroup1);
    const std::array<QString, 3> strengths = {QStringLiteral("Kind"), QStringLiteral("Normal"),
                                              QStringLiteral("Severe")};
    for (int i = 0; i < 3; ++i) {
        RadioGroup1Items[At(i)] = new QRadioButton(strengths[At(i)], RadioGroup1);
        RadioGroup1Items[At(i)]->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        evaluation->addWidget(RadioGroup1Items[At(i)]);
    }
    lower->addWidget(RadioGroup1);
    lower->addStretch();
    grid->addLayout(lower, row++, 0, 1, 2);

    SpeedButton25 = new QToolButton(Panel1);
    SpeedButton25->setObjectName(QStringLiteral("SpeedButton25"));
    SpeedButton25->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    SpeedButton25->setToolTip(QStringLiteral("Restore to previous settings"));
    SpeedButton25->setAutoRaise(true);
    grid->addWidget(SpeedButton25, 0, 2, Qt::AlignRight | Qt::AlignTop);
    Panel1->adjustSize();

    for (int i = 0; i < kRytmeOpsNoteButtons; ++i) {
        connect(NoteButtons[At(i)], &QToolButton::clicked, this, [this, i] {
            if (m_mirroring)
                return;
            m_model.ClickNoteButton(i);
            Mirror();
        });
    }
    for (int s = 0; s < kRytmeOpsTimeSignatures; ++s) {
        connect(TimeSignatureButtons[At(s)], &QToolButton::clicked, this, [this, s] {
            if (m_mirroring)
                return;
            m_model.ClickTimeSignature(s);
            Mirror();
        });
    }
    connect(CheckBox3, &QCheckBox::toggled, this, [this](bool on) {
        if (m_mirroring)
            return;
        m_model.SetDotted(on);
        Mirror();
    });
    connect(Pause3, &QCheckBox::toggled, this, [this](bool on) { m_model.Rests = on; });
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_mirroring)
            m_model.Ties = on;
    });
    connect(CheckBox6, &QCheckBox::toggled, this, [this](bool on) { m_model.ShowSecondTime = on; });
    connect(SpinEdit2, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_mirroring)
            m_model.Bars = value;
    });
    connect(SpinEdit3, &QSpinBox::valueChanged, this, [this](int value) {
        if (!m_mirroring)
            m_model.Corrections = value;
    });
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int value) {
        if (!m_mirroring)
            m_model.Tempo = value;
        Label51->setText(m_model.TempoText());
    });
    for (int i = 0; i < 3; ++i) {
        connect(RadioGroup1Items[At(i)], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !m_mirroring)
                m_model.Evaluation = i;
        });
    }
    connect(SpeedButton25, &QToolButton::clicked, this, [this] { SpeedButton25Click(); });
}

void TRytmeOps::MakePictures()
{
    // Drawn when the page is first shown: a page never opened draws nothing.
    if (m_picturesMade)
        return;
    m_picturesMade = true;
    for (int v = 0; v < kRytmeOpsValues; ++v)
        SetPicture(NoteButtons[At(v)], Picture(RhythmValuePicture(v + 1)));
    for (int t = 0; t < kRytmeOpsTriplets; ++t)
        SetPicture(NoteButtons[At(kRytmeOpsValues + t)], Picture(RhythmTripletPicture(t + 2)));
    for (int s = 0; s < kRytmeOpsTimeSignatures; ++s)
        SetPicture(TimeSignatureButtons[At(s)], Picture(TimeSignaturePicture(s + 1)));
    Image3->setPixmap(Picture(RhythmValuePicture(3)));
    Panel1->adjustSize();
    Panel1->move(std::max(0, (width() - Panel1->width()) / 2),
                 std::max(0, (height() - Panel1->height()) / 2));
}

void TRytmeOps::showEvent(QShowEvent* event)
{
    MakePictures();
    QWidget::showEvent(event);
}

void TRytmeOps::Mirror()
{
    m_mirroring = true;
    for (int i = 0; i < kRytmeOpsNoteButtons; ++i) {
        NoteButtons[At(i)]->setChecked(m_model.NoteButtons[At(i)].Down);
        NoteButtons[At(i)]->setEnabled(m_model.NoteButtons[At(i)].Enabled);
    }
    for (int s = 0; s < kRytmeOpsTimeSignatures; ++s)
        TimeSignatureButtons[At(s)]->setChecked(m_model.TimeSignatures[At(s)]);
    Pause3->setChecked(m_model.Rests);
    CheckBox1->setChecked(m_model.Ties);
    CheckBox1->setEnabled(m_model.TiesEnabled);
    CheckBox3->setChecked(m_model.Dotted);
    SpinEdit2->setMaximum(m_model.BarsMax);
    SpinEdit2->setValue(m_model.Bars);
    TrackBar1->setValue(m_model.Tempo);
    Label51->setText(m_model.TempoText());
    CheckBox6->setChecked(m_model.ShowSecondTime);
    CheckBox6->setVisible(m_model.ShowSecondTimeVisible);
    Label68->setVisible(m_model.CorrectionsVisible);
    SpinEdit3->setVisible(m_model.CorrectionsVisible);
    SpinEdit3->setValue(m_model.Corrections);
    RadioGroup1->setVisible(m_model.EvaluationVisible);
    RadioGroup1Items[At(std::clamp(m_model.Evaluation, 0, 2))]->setChecked(true);
    m_mirroring = false;
}

void TRytmeOps::LoadSetup(ExerciseKind kind)
{
    m_model.LoadSetup(m_setup.CurrentSetup, kind);
    Mirror();
}

void TRytmeOps::StoreSetup(ExerciseKind kind)
{
    m_model.StoreSetup(m_setup.CurrentSetup, kind);
}

void TRytmeOps::SpeedButton25Click()
{
    const std::optional<ExerciseKind> kind = m_currentKind ? m_currentKind() : std::nullopt;
    if (!kind)
        return;
    m_model.SpeedButton25Click(m_setup.SavedSetup, m_setup.CurrentSetup, *kind);
    Mirror();
}

void TRytmeOps::RegisterTexts(const TextSink& sink)
{
    const QString form = objectName() + u'.';
    const auto caption = [&](QWidget* widget, auto set) { sink(form + widget->objectName(), set); };
    for (const char* name : {"Label48", "Label3", "Label4", "Label49", "Label50", "Label5"}) {
        if (auto* label = Panel1->findChild<QLabel*>(QString::fromLatin1(name)))
            caption(label, [label](const QString& text) { label->setText(text); });
    }
    caption(Label68, [this](const QString& text) { Label68->setText(text); });
    for (QCheckBox* box : {Pause3, CheckBox1, CheckBox3, CheckBox6})
        caption(box, [box](const QString& text) { box->setText(text); });
    caption(RadioGroup1, [this](const QString& text) { RadioGroup1->setTitle(text); });
    for (int i = 0; i < 3; ++i) {
        QRadioButton* item = RadioGroup1Items[At(i)];
        sink(form + QStringLiteral("RadioGroup1[%1]").arg(i),
             [item](const QString& text) { item->setText(text); });
    }
    sink(form + QStringLiteral("SpeedButton25#hint"),
         [this](const QString& text) { SpeedButton25->setToolTip(text); });
}

void TRytmeOps::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The panel stays centred in the page.
    Panel1->adjustSize();
    Panel1->move(std::max(0, (width() - Panel1->width()) / 2),
                 std::max(0, (height() - Panel1->height()) / 2));
}

} // namespace pv
