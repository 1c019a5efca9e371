// The program settings dialog's window.
#include "shell/settings/ui/TProgramSettings.h"

#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFontDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

constexpr int kShapeSize = 28;

/// A settings colour (0x00BBGGRR; a high byte marks a palette colour of the same value).
QColor ColourOf(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8) & 0xFFU),
                  static_cast<int>((colour >> 16) & 0xFFU));
}

std::uint32_t SettingsColourOf(const QColor& colour)
{
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

QFont QtFontOf(const FontSpec& spec, const QFont& base)
{
    QFont font = base;
    font.setFamily(spec.Name);
    if (spec.Size > 0)
        font.setPointSize(spec.Size);
    font.setBold((spec.Style & 1U) != 0);
    font.setItalic((spec.Style & 2U) != 0);
    font.setUnderline((spec.Style & 4U) != 0);
    font.setStrikeOut((spec.Style & 8U) != 0);
    return font;
}

FontSpec FontSpecOf(const QFont& font)
{
    std::uint8_t style = 0;
    style |= font.bold() ? 1U : 0U;
    style |= font.italic() ? 2U : 0U;
    style |= font.underline() ? 4U : 0U;
    style |= font.strikeOut() ? 8U : 0U;
    return FontSpec{font.family(), font.pointSize(), style};
}

void Paint(QFrame* shape, std::uint32_t colour)
{
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, ColourOf(colour));
    shape->setPalette(palette);
    shape->setAutoFillBackground(true);
}

void SetCombo(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

/// The note of a control-note text: a name such as "Db3" or "C-2", or a plain number.
std::optional<int> NoteOfText(const QString& text)
{
    const QString trimmed = text.trimmed();
    bool number = false;
    const int plain = trimmed.toInt(&number);
    if (number)
        return plain >= 0 && plain <= 127 ? std::optional<int>(plain) : std::nullopt;
    static const QRegularExpression pattern(QStringLiteral("^([A-Ga-g])(b|#)?(-?\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(trimmed);
    if (!match.hasMatch())
        return std::nullopt;
    static const int kSteps[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    int note = kSteps[match.captured(1).toUpper().at(0).unicode() - u'A'];
    if (match.captured(2) == QStringLiteral("b"))
        --note;
    else if (match.captured(2) == QStringLiteral("#"))
        ++note;
    note += (match.captured(3).toInt() + 2) * 12;
    return note >= 0 && note <= 127 ? std::optional<int>(note) : std::nullopt;
}

} // namespace

ControlNoteEdit::ControlNoteEdit(QWidget* parent) : QSpinBox(parent)
{
    setRange(0, 127);
}

QString ControlNoteEdit::textFromValue(int value) const
{
    return ControlNoteName(value);
}

int ControlNoteEdit::valueFromText(const QString& text) const
{
    return NoteOfText(text).value_or(value());
}

QValidator::State ControlNoteEdit::validate(QString& input, int&) const
{
    return NoteOfText(input) ? QValidator::Acceptable : QValidator::Intermediate;
}

void ControlNoteEdit::keyPressEvent(QKeyEvent* event)
{
    // Right and Left step the note like Up and Down: the box holds a name, not a text to edit.
    if (event->key() == Qt::Key_Right) {
        stepBy(1);
        return;
    }
    if (event->key() == Qt::Key_Left) {
        stepBy(-1);
        return;
    }
    QSpinBox::keyPressEvent(event);
}

TProgramSettings::TProgramSettings(ProgramSettingsModel& model, const UIStringTable& strings,
                                   Texts texts, Runner run, QWidget* parent)
    : QDialog(parent), m_model(model), m_strings(strings), m_texts(std::move(texts)),
      m_run(std::move(run))
{
    setObjectName(QStringLiteral("ProgramSettingsForm"));
    setWindowTitle(m_texts.Caption);
    setModal(true);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    const std::pair<QWidget*, const char*> pages[] = {{MakeInstrumentsPage(), "Instruments"},
                                                      {MakeDevicesPage(), "Devices"},
                                                      {MakeEnvironmentPage(), "Environment"},
                                                      {MakeEffectsPage(), "TabSheet1"},
                                                      {MakeRemotePage(), "TabSheet3"}};
    const char* designTexts[] = {"Instruments", "Devices", "Environment", "Effects and microphone",
                                 "Remote control"};
    for (std::size_t p = 0; p < std::size(pages); ++p) {
        pages[p].first->setObjectName(QString::fromLatin1(pages[p].second));
        m_pages->addTab(pages[p].first, QString::fromLatin1(designTexts[p]));
    }

    BitBtn1 = new QPushButton(m_strings.StrOK.isEmpty() ? QStringLiteral("OK") : m_strings.StrOK);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(m_strings.StrCancel.isEmpty() ? QStringLiteral("Cancel")
                                                            : m_strings.StrCancel);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn3 = new QPushButton(QStringLiteral("Help"));
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn3, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    buttons->addWidget(BitBtn3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    m_chooseFont = [this](const FontSpec& current) -> std::optional<FontSpec> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, QtFontOf(current, font()), this);
        return ok ? std::optional<FontSpec>(FontSpecOf(chosen)) : std::nullopt;
    };
    m_chooseColour = [this](std::uint32_t current) -> std::optional<std::uint32_t> {
        // The program's own suggestions stand among the dialog's custom colours.
        const std::uint32_t suggestions[] = {0x02AFAFD3, 0x02AFD3AF, 0x02D3B9AF, 0x02A0D0E8};
        for (int i = 0; i < static_cast<int>(std::size(suggestions)); ++i)
            QColorDialog::setCustomColor(i, ColourOf(suggestions[i]));
        const QColor chosen = QColorDialog::getColor(ColourOf(current), this);
        return chosen.isValid() ? std::optional<std::uint32_t>(SettingsColourOf(chosen))
                                : std::nullopt;
    };
    m_model.Changed = [window = QPointer<TProgramSettings>(this)] {
        if (window)
            window->Mirror();
    };
}

TProgramSettings::~TProgramSettings()
{
    m_model.Changed = {};
}

QLabel* TProgramSettings::MakeLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QSpinBox* TProgramSettings::MakeSpin(const char* name, int low, int high)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(low, high);
    return spin;
}

QComboBox* TProgramSettings::MakeCombo(const char* name)
{
    auto* combo = new QComboBox;
    combo->setObjectName(QString::fromLatin1(name));
    combo->setMaxVisibleItems(20);
    return combo;
}

QCheckBox* TProgramSettings::MakeCheck(const char* name, const QString& text)
{
    auto* check = new QCheckBox(text);
    check->setObjectName(QString::fromLatin1(name));
    return check;
}

QSlider* TProgramSettings::MakeSlider(const char* name, int low, int high)
{
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(QString::fromLatin1(name));
    slider->setRange(low, high);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(high - low > 16 ? (high - low) / 8 : 1);
    slider->setPageStep(high - low > 16 ? 16 : 1);
    return slider;
}

QToolButton* TProgramSettings::MakeTestButton(const char* name, TestSound sound)
{
    auto* button = new QToolButton;
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString(QChar(0x266A)));
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(QStringLiteral("Play"));
    connect(button, &QToolButton::clicked, this,
            [this, sound] { Change([this, sound] { m_model.PlayTestSound(sound); }); });
    return button;
}

void TProgramSettings::Learns(QWidget* control, LearnTarget target)
{
    m_learns[control] = target;
    control->installEventFilter(this);
}

void TProgramSettings::Change(const std::function<void()>& change)
{
    if (m_mirroring)
        return;
    change();
    Mirror();
}

QWidget* TProgramSettings::MakeInstrumentsPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);

    m_groupBox6 = new QGroupBox(QStringLiteral("Screen piano"));
    m_groupBox6->setObjectName(QStringLiteral("GroupBox6"));
    auto* grid = new QGridLayout(m_groupBox6);
    grid->addWidget(MakeLabel("Label1", QStringLiteral("Channel")), 0, 1);
    grid->addWidget(MakeLabel("Label2", QStringLiteral("Sound")), 0, 2);
    grid->addWidget(MakeLabel("Label6", m_strings.StrVolume), 0, 3);
    grid->addWidget(MakeLabel("Label4", QStringLiteral("Test the sound")), 0, 4);
    UpDown1 = MakeSpin("UpDown1", 1, 16);
    ComboBox3 = MakeCombo("ComboBox3");
    UpDown5 = MakeSpin("UpDown5", 0, 127);
    SpeedButton1 = MakeTestButton("SpeedButton1", TestSound::Piano);
    grid->addWidget(MakeLabel("Label22", QStringLiteral("Piano")), 1, 0);
    grid->addWidget(UpDown1, 1, 1);
    grid->addWidget(ComboBox3, 1, 2);
    grid->addWidget(UpDown5, 1, 3);
    grid->addWidget(SpeedButton1, 1, 4);
    UpDown2 = MakeSpin("UpDown2", 1, 16);
    ComboBox9 = MakeCombo("ComboBox9");
    UpDown6 = MakeSpin("UpDown6", 0, 127);
    SpeedButton5 = MakeTestButton("SpeedButton5", TestSound::Guitar);
    grid->addWidget(MakeLabel("Label5", QStringLiteral("Guitar")), 2, 0);
    grid->addWidget(UpDown2, 2, 1);
    grid->addWidget(ComboBox9, 2, 2);
    grid->addWidget(UpDown6, 2, 3);
    grid->addWidget(SpeedButton5, 2, 4);
    CheckBox6 = MakeCheck("CheckBox6", QStringLiteral("Guitar sounds as written"));
    grid->addWidget(CheckBox6, 3, 1, 1, 4);
    grid->setColumnStretch(2, 1);
    layout->addWidget(m_groupBox6);

    auto* rhythm = new QFrame;
    rhythm->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QGridLayout(rhythm);
    QLabel* heading = MakeLabel("Label3", m_strings.StrRhythm);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    rows->addWidget(heading, 0, 0);
    rows->addWidget(MakeLabel("Label26", QStringLiteral("Volume")), 0, 4);
    UpDown3 = MakeSpin("UpDown3", 1, 16);
    ComboBox4 = MakeCombo("ComboBox4");
    ComboBox6 = MakeCombo("ComboBox6");
    UpDown7 = MakeSpin("UpDown7", 0, 127);
    SpeedButton2 = MakeTestButton("SpeedButton2", TestSound::Clap);
    UpDown4 = MakeSpin("UpDown4", 1, 16);
    ComboBox5 = MakeCombo("ComboBox5");
    ComboBox7 = MakeCombo("ComboBox7");
    UpDown8 = MakeSpin("UpDown8", 0, 127);
    SpeedButton3 = MakeTestButton("SpeedButton3", TestSound::Beat);
    ComboBox8 = MakeCombo("ComboBox8");
    UpDown9 = MakeSpin("UpDown9", 0, 127);
    SpeedButton4 = MakeTestButton("SpeedButton4", TestSound::FirstBeat);
    const auto row = [rows](int r, QLabel* name, QWidget* channel, QWidget* program,
                            QLabel* noteLabel, QWidget* note, QWidget* velocity, QWidget* test) {
        rows->addWidget(name, r, 0);
        if (channel != nullptr)
            rows->addWidget(channel, r, 1);
        if (program != nullptr)
            rows->addWidget(program, r, 2);
        auto* noteBox = new QHBoxLayout;
        noteBox->addWidget(noteLabel);
        noteBox->addWidget(note, 1);
        rows->addLayout(noteBox, r, 3);
        rows->addWidget(velocity, r, 4);
        rows->addWidget(test, r, 5);
    };
    row(1, MakeLabel("Label7", QStringLiteral("Clap")), UpDown3, ComboBox4,
        MakeLabel("Label10", QStringLiteral("Note")), ComboBox6, UpDown7, SpeedButton2);
    row(2, MakeLabel("Label8", QStringLiteral("Metronome beat")), UpDown4, ComboBox5,
        MakeLabel("Label11", QStringLiteral("Note")), ComboBox7, UpDown8, SpeedButton3);
    row(3, MakeLabel("Label9", QStringLiteral("First beat of the bar")), nullptr, nullptr,
        MakeLabel("Label13", QStringLiteral("Note")), ComboBox8, UpDown9, SpeedButton4);
    rows->setColumnStretch(2, 1);
    rows->setColumnStretch(3, 1);
    layout->addWidget(rhythm);
    layout->addStretch(1);

    // Plain functions rather than member pointers: calling a member pointer held in
    // a nested lambda trips a false stack-underflow report in GCC 12's ASan.
    using Setter = void (*)(ProgramSettingsModel&, int);
    const std::pair<QSpinBox*, Setter> spins[] = {
        {UpDown1, [](ProgramSettingsModel& m, int v) { m.SetPianoChannel(v); }},
        {UpDown5, [](ProgramSettingsModel& m, int v) { m.SetPianoVelocity(v); }},
        {UpDown2, [](ProgramSettingsModel& m, int v) { m.SetGuitarChannel(v); }},
        {UpDown6, [](ProgramSettingsModel& m, int v) { m.SetGuitarVelocity(v); }},
        {UpDown3, [](ProgramSettingsModel& m, int v) { m.SetClapChannel(v); }},
        {UpDown7, [](ProgramSettingsModel& m, int v) { m.SetClapVelocity(v); }},
        {UpDown4, [](ProgramSettingsModel& m, int v) { m.SetBeatChannel(v); }},
        {UpDown8, [](ProgramSettingsModel& m, int v) { m.SetBeatVelocity(v); }},
        {UpDown9, [](ProgramSettingsModel& m, int v) { m.SetFirstBeatVelocity(v); }},
    };
    for (const auto& [spin, setter] : spins) {
        const auto set = setter;
        connect(spin, &QSpinBox::valueChanged, this,
                [this, set](int value) { Change([this, set, value] { set(m_model, value); }); });
        Learns(spin, LearnTarget::None);
    }
    const std::tuple<QComboBox*, Setter, LearnTarget> combos[] = {
        {ComboBox3, [](ProgramSettingsModel& m, int v) { m.SetPianoProgram(v); },
         LearnTarget::PianoProgram},
        {ComboBox9, [](ProgramSettingsModel& m, int v) { m.SetGuitarProgram(v); },
         LearnTarget::GuitarProgram},
        {ComboBox4, [](ProgramSettingsModel& m, int v) { m.ChooseClapProgram(v); },
         LearnTarget::ClapProgram},
        {ComboBox5, [](ProgramSettingsModel& m, int v) { m.ChooseBeatProgram(v); },
         LearnTarget::BeatProgram},
        {ComboBox6, [](ProgramSettingsModel& m, int v) { m.SetClapNote(v); },
         LearnTarget::ClapNote},
        {ComboBox7, [](ProgramSettingsModel& m, int v) { m.SetBeatNote(v); },
         LearnTarget::BeatNote},
        {ComboBox8, [](ProgramSettingsModel& m, int v) { m.SetFirstBeatNote(v); },
         LearnTarget::FirstBeatNote},
    };
    for (const auto& [combo, setter, target] : combos) {
        const auto set = setter;
        connect(combo, &QComboBox::currentIndexChanged, this, [this, set](int index) {
            if (index >= 0)
                Change([this, set, index] { set(m_model, index); });
        });
        Learns(combo, target);
    }
    connect(CheckBox6, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetGuitarNotTransposed(on); }); });
    Learns(CheckBox6, LearnTarget::None);
    return page;
}

QWidget* TProgramSettings::MakeDevicesPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    ComboBox1 = MakeCombo("ComboBox1");
    ComboBox2 = MakeCombo("ComboBox2");
    TrackBar4 = MakeSlider("TrackBar4", 0, 255);
    grid->addWidget(MakeLabel("Label14", QStringLiteral("MIDI input")), 0, 0);
    grid->addWidget(ComboBox1, 0, 1);
    grid->addWidget(MakeLabel("Label19", QStringLiteral("MIDI output")), 1, 0);
    grid->addWidget(ComboBox2, 1, 1);
    grid->addWidget(MakeLabel("Label24", QStringLiteral("Volume")), 2, 0);
    grid->addWidget(TrackBar4, 2, 1);

    m_groupBox8 = new QGroupBox(QStringLiteral("Output delay"));
    m_groupBox8->setObjectName(QStringLiteral("GroupBox8"));
    auto* delay = new QGridLayout(m_groupBox8);
    UpDown10 = MakeSpin("UpDown10", 0, 400);
    UpDown10->setSingleStep(5);
    QLabel* explanation = MakeLabel("Label21", QStringLiteral("Start the test and raise the delay "
                                                              "until light and click come "
                                                              "together."));
    explanation->setWordWrap(true);
    BitBtn6 = new QPushButton(m_strings.StrDelayTest);
    BitBtn6->setObjectName(QStringLiteral("BitBtn6"));
    Shape2 = new QFrame;
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFrameShape(QFrame::Box);
    Shape2->setFixedSize(kShapeSize, kShapeSize);
    delay->addWidget(MakeLabel("Label20", QStringLiteral("Delay in milliseconds")), 0, 0);
    delay->addWidget(UpDown10, 0, 1);
    delay->addWidget(explanation, 1, 0, 1, 3);
    delay->addWidget(BitBtn6, 2, 0);
    delay->addWidget(Shape2, 2, 1);
    delay->setColumnStretch(2, 1);
    grid->addWidget(m_groupBox8, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Change([this, index] { m_model.ChooseMidiIn(index); });
    });
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Change([this, index] { m_model.ChooseMidiOut(index); });
    });
    connect(TrackBar4, &QSlider::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetMidiVolume(value); }); });
    connect(UpDown10, &QSpinBox::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetOutputDelay(value); }); });
    connect(BitBtn6, &QPushButton::clicked, this,
            [this] { Change([this] { m_model.ToggleDelayTest(); }); });
    return page;
}

QWidget* TProgramSettings::MakeEnvironmentPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    ComboBox10 = MakeCombo("ComboBox10");
    Label12 = MakeLabel("Label12", QString());
    Label12->setMinimumWidth(180);
    BitBtn4 = new QPushButton(m_strings.StrChange);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    Shape1 = new QFrame;
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setFixedSize(3 * kShapeSize, kShapeSize);
    BitBtn5 = new QPushButton(m_strings.StrChange);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    TrackBar1 = MakeSlider("TrackBar1", 0, 3);
    CheckBox4 = MakeCheck("CheckBox4", QStringLiteral("New question automatically"));
    UpDown11 = MakeSpin("UpDown11", 0, 9);
    CheckBox5 = MakeCheck("CheckBox5", QStringLiteral("Only after a right answer"));
    UpDown14 = MakeSpin("UpDown14", 0, 100);
    UpDown14->setMaximumWidth(80);
    BitBtn7 = new QPushButton(QStringLiteral("Show all tips again"));
    BitBtn7->setObjectName(QStringLiteral("BitBtn7"));

    grid->addWidget(MakeLabel("Label23", QStringLiteral("Language")), 0, 0);
    grid->addWidget(ComboBox10, 0, 1, 1, 2);
    grid->addWidget(MakeLabel("Label25", QStringLiteral("Font")), 1, 0);
    grid->addWidget(Label12, 1, 1);
    grid->addWidget(BitBtn4, 1, 2);
    grid->addWidget(MakeLabel("Label30", QStringLiteral("Background colour")), 2, 0);
    grid->addWidget(Shape1, 2, 1);
    grid->addWidget(BitBtn5, 2, 2);
    grid->addWidget(MakeLabel("Label31", QStringLiteral("Spacing of rhythm notation")), 3, 0);
    grid->addWidget(TrackBar1, 3, 1, 1, 2);
    grid->addWidget(CheckBox4, 4, 0);
    auto* wait = new QHBoxLayout;
    wait->addWidget(MakeLabel("Label32", QStringLiteral("Wait (seconds)")));
    wait->addWidget(UpDown11);
    wait->addStretch(1);
    grid->addLayout(wait, 4, 1, 1, 2);
    grid->addWidget(CheckBox5, 5, 0, 1, 3);
    grid->addWidget(
        MakeLabel("Label40", QStringLiteral("Repeat a rhythm when the score is below (%)")), 6, 0);
    grid->addWidget(UpDown14, 6, 1);
    grid->addWidget(BitBtn7, 7, 0);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(8, 1);

    connect(ComboBox10, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Change([this, index] { m_model.ChooseLanguage(index); });
    });
    connect(BitBtn4, &QPushButton::clicked, this, [this] { ChooseFont(); });
    connect(BitBtn5, &QPushButton::clicked, this, [this] { ChooseColour(); });
    connect(TrackBar1, &QSlider::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetRhythmSpacing(value); }); });
    connect(CheckBox4, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetAutoNewQuestion(on); }); });
    connect(UpDown11, &QSpinBox::valueChanged, this, [this](int value) {
        Change([this, value] { m_model.SetAutoNewQuestionDelay(value); });
    });
    connect(CheckBox5, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetOnlyAfterRight(on); }); });
    connect(UpDown14, &QSpinBox::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetRepeatThreshold(value); }); });
    connect(BitBtn7, &QPushButton::clicked, this,
            [this] { Change([this] { m_model.ResetAllTips(); }); });
    return page;
}

QWidget* TProgramSettings::MakeEffectsPage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    TrackBar2 = MakeSlider("TrackBar2", 0, 8);
    TrackBar3 = MakeSlider("TrackBar3", 0, 8);
    CheckBox1 = MakeCheck("CheckBox1", QStringLiteral("High precision for singing and playing"));
    Soundeffects = MakeCheck("Soundeffects", QStringLiteral("Play sound effects"));
    ComboBox11 = MakeCombo("ComboBox11");
    ComboBox12 = MakeCombo("ComboBox12");
    SpeedButton6 = new QToolButton;
    SpeedButton6->setObjectName(QStringLiteral("SpeedButton6"));
    SpeedButton6->setText(QString(QChar(0x25B6)));
    SpeedButton7 = new QToolButton;
    SpeedButton7->setObjectName(QStringLiteral("SpeedButton7"));
    SpeedButton7->setText(QString(QChar(0x25B6)));
    TrackBar5 = MakeSlider("TrackBar5", 0, 255);
    CheckBox7 = MakeCheck("CheckBox7", QStringLiteral("Play the intro music in the start menu"));

    const auto sensitivity = [grid](int r, QLabel* caption, QLabel* low, QSlider* slider,
                                    QLabel* high) {
        grid->addWidget(caption, r, 0, 1, 4);
        grid->addWidget(low, r + 1, 0, Qt::AlignRight);
        grid->addWidget(slider, r + 1, 1, 1, 2);
        grid->addWidget(high, r + 1, 3);
    };
    sensitivity(0, MakeLabel("Label37", QStringLiteral("Microphone sensitivity for notes")),
                MakeLabel("Label15", QStringLiteral("Low")), TrackBar2,
                MakeLabel("Label17", QStringLiteral("High")));
    sensitivity(2, MakeLabel("Label38", QStringLiteral("Microphone sensitivity for rhythms")),
                MakeLabel("Label16", QStringLiteral("Low")), TrackBar3,
                MakeLabel("Label18", QStringLiteral("High")));
    grid->addWidget(CheckBox1, 4, 0, 1, 4);
    grid->addWidget(Soundeffects, 5, 0, 1, 4);
    grid->addWidget(MakeLabel("Label33", QStringLiteral("Right answer")), 6, 0);
    grid->addWidget(ComboBox11, 6, 1);
    grid->addWidget(MakeLabel("Label27", m_strings.StrPlay), 6, 2, Qt::AlignRight);
    grid->addWidget(SpeedButton6, 6, 3);
    grid->addWidget(MakeLabel("Label35", QStringLiteral("Wrong answer")), 7, 0);
    grid->addWidget(ComboBox12, 7, 1);
    grid->addWidget(MakeLabel("Label28", m_strings.StrPlay), 7, 2, Qt::AlignRight);
    grid->addWidget(SpeedButton7, 7, 3);
    grid->addWidget(MakeLabel("Label36", QStringLiteral("Effects volume")), 8, 0);
    grid->addWidget(TrackBar5, 8, 1, 1, 3);
    grid->addWidget(CheckBox7, 9, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(10, 1);

    connect(TrackBar2, &QSlider::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetToneSensitivity(value); }); });
    connect(TrackBar3, &QSlider::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetRhythmSensitivity(value); }); });
    connect(CheckBox1, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetHighPrecision(on); }); });
    connect(Soundeffects, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetSoundEffects(on); }); });
    connect(ComboBox11, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Change([this, index] { m_model.ChooseRightSound(index); });
    });
    connect(ComboBox12, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            Change([this, index] { m_model.ChooseWrongSound(index); });
    });
    connect(SpeedButton6, &QToolButton::clicked, this, [this] { m_model.PlayRightSound(); });
    connect(SpeedButton7, &QToolButton::clicked, this, [this] { m_model.PlayWrongSound(); });
    connect(TrackBar5, &QSlider::valueChanged, this,
            [this](int value) { Change([this, value] { m_model.SetWaveVolume(value); }); });
    connect(CheckBox7, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetPlayIntro(on); }); });
    return page;
}

QWidget* TProgramSettings::MakeRemotePage()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    CheckBox2 = MakeCheck("CheckBox2", QStringLiteral("The damper pedal acts as Enter"));
    CheckBox3 = MakeCheck("CheckBox3", QStringLiteral("Control the program with MIDI notes"));
    grid->addWidget(CheckBox2, 0, 0, 1, 3);
    grid->addWidget(CheckBox3, 1, 0, 1, 3);
    grid->addWidget(MakeLabel("Label39", QStringLiteral("Control notes (F5 to F9)")), 2, 0, 1, 3);
    const char* editNames[] = {"Edit12", "Edit13", "Edit15", "Edit16", "Edit17"};
    for (int i = 0; i < kControlNoteCount; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        auto* key = new QLabel(QStringLiteral("F%1").arg(5 + i));
        QLabel* caption = nullptr;
        if (i == 0)
            caption = MakeLabel("Label29", m_texts.StripCaptions[0]);
        else if (i == kControlNoteCount - 1)
            caption = MakeLabel("Label34", m_texts.StripCaptions[slot]);
        else
            caption = new QLabel(m_texts.StripCaptions[slot]);
        auto* edit = new ControlNoteEdit;
        edit->setMinimumWidth(90);
        edit->setObjectName(QString::fromLatin1(editNames[slot]));
        ControlNoteEdits[slot] = edit;
        grid->addWidget(key, 3 + i, 0);
        grid->addWidget(caption, 3 + i, 1);
        grid->addWidget(edit, 3 + i, 2);
        connect(edit, &QSpinBox::valueChanged, this, [this, i](int value) {
            Change([this, i, value] { m_model.SetControlNote(i, value); });
        });
        Learns(edit, static_cast<LearnTarget>(static_cast<int>(LearnTarget::ControlNote1) + i));
    }
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3 + kControlNoteCount, 1);

    connect(CheckBox2, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetPedalAsEnter(on); }); });
    connect(CheckBox3, &QCheckBox::toggled, this,
            [this](bool on) { Change([this, on] { m_model.SetMidiRemote(on); }); });
    return page;
}

void TProgramSettings::FillLists()
{
    // Once per model state: the lists are long and refilling them would lose their places.
    if (ComboBox3->count() == 0) {
        for (QComboBox* programs : {ComboBox3, ComboBox9}) {
            for (const QString& entry : ProgramSettingsModel::ProgramEntries())
                programs->addItem(entry);
        }
        for (QComboBox* notes : {ComboBox6, ComboBox7, ComboBox8}) {
            for (const QString& entry : ProgramSettingsModel::NoteEntries())
                notes->addItem(entry);
        }
    }
    if (m_filledDrumName != m_model.DrumName || ComboBox4->count() == 0) {
        for (QComboBox* programs : {ComboBox4, ComboBox5}) {
            programs->clear();
            programs->addItems(m_model.DrumProgramEntries());
        }
        m_filledDrumName = m_model.DrumName;
    }
    const auto fillDevices = [](QComboBox* combo, const std::vector<SettingsDevice>& devices) {
        QStringList names;
        for (const SettingsDevice& device : devices)
            names.push_back(device.Name);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.push_back(combo->itemText(i));
        if (shown != names) {
            combo->clear();
            combo->addItems(names);
        }
    };
    fillDevices(ComboBox1, m_model.InputDevices);
    fillDevices(ComboBox2, m_model.OutputDevices);
    const auto fillTexts = [](QComboBox* combo, const QStringList& texts) {
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i)
            shown.push_back(combo->itemText(i));
        if (shown != texts) {
            combo->clear();
            combo->addItems(texts);
        }
    };
    fillTexts(ComboBox10, m_model.Languages);
    fillTexts(ComboBox11, m_model.WaveNames);
    fillTexts(ComboBox12, m_model.WaveNames);
}

void TProgramSettings::Mirror()
{
    m_mirroring = true;
    FillLists();
    const ProgramSettingsModel& m = m_model;
    UpDown1->setValue(m.PianoChannel);
    SetCombo(ComboBox3, m.PianoProgram);
    UpDown5->setValue(m.PianoVelocity);
    UpDown2->setValue(m.GuitarChannel);
    SetCombo(ComboBox9, m.GuitarProgram);
    UpDown6->setValue(m.GuitarVelocity);
    CheckBox6->setChecked(m.GuitarNotTransposed);
    UpDown3->setValue(m.ClapChannel);
    SetCombo(ComboBox4, m.ClapProgramEntry);
    ComboBox4->setEnabled(!m.ClapOnDrumChannel);
    SetCombo(ComboBox6, m.ClapNote);
    UpDown7->setValue(m.ClapVelocity);
    UpDown4->setValue(m.BeatChannel);
    SetCombo(ComboBox5, m.BeatProgramEntry);
    ComboBox5->setEnabled(!m.BeatOnDrumChannel);
    SetCombo(ComboBox7, m.BeatNote);
    UpDown8->setValue(m.BeatVelocity);
    SetCombo(ComboBox8, m.FirstBeatNote);
    UpDown9->setValue(m.FirstBeatVelocity);

    SetCombo(ComboBox1, m.InputIndex);
    SetCombo(ComboBox2, m.OutputIndex);
    TrackBar4->setValue(m.MidiVolume);
    TrackBar4->setEnabled(m.MidiVolumeKnown);
    UpDown10->setValue(m.OutputDelay);
    BitBtn6->setText(m.DelayTestRunning ? m_strings.StrStop : m_strings.StrDelayTest);
    Paint(Shape2, m.FlashColour);

    SetCombo(ComboBox10, m.LanguageIndex);
    Label12->setFont(QtFontOf(m.Font, font()));
    Label12->setText(m.Font.Name + QStringLiteral(", ") + QString::number(m.Font.Size));
    Paint(Shape1, m.Colour);
    TrackBar1->setValue(m.RhythmSpacing);
    CheckBox4->setChecked(m.AutoNewQuestion);
    UpDown11->setValue(m.AutoNewQuestionDelay);
    CheckBox5->setChecked(m.OnlyAfterRight);
    UpDown14->setValue(m.RepeatThreshold);

    TrackBar2->setValue(m.ToneSensitivity);
    TrackBar3->setValue(m.RhythmSensitivity);
    CheckBox1->setChecked(m.HighPrecision);
    Soundeffects->setChecked(m.SoundEffects);
    SetCombo(ComboBox11, m.RightSoundIndex);
    SetCombo(ComboBox12, m.WrongSoundIndex);
    ComboBox11->setEnabled(m.SoundEffects);
    ComboBox12->setEnabled(m.SoundEffects);
    TrackBar5->setValue(m.WaveVolume);
    TrackBar5->setEnabled(m.WaveVolumeKnown);
    CheckBox7->setChecked(m.PlayIntro);

    CheckBox2->setChecked(m.PedalAsEnter);
    CheckBox3->setChecked(m.MidiRemote);
    for (std::size_t i = 0; i < ControlNoteEdits.size(); ++i) {
        ControlNoteEdits[i]->setValue(m.ControlNotes[i]);
        ControlNoteEdits[i]->setEnabled(m.MidiRemote);
    }
    m_mirroring = false;
}

bool TProgramSettings::Exec()
{
    Mirror();
    const int result = m_run ? m_run(*this) : exec();
    return result == QDialog::Accepted;
}

void TProgramSettings::ChooseFont()
{
    if (!m_chooseFont)
        return;
    if (const std::optional<FontSpec> chosen = m_chooseFont(m_model.Font))
        Change([this, font = *chosen] { m_model.SetFont(font); });
}

void TProgramSettings::ChooseColour()
{
    if (!m_chooseColour)
        return;
    if (const std::optional<std::uint32_t> chosen = m_chooseColour(m_model.Colour))
        Change([this, colour = *chosen] { m_model.SetColour(colour); });
}

void TProgramSettings::RegisterTexts(
    const std::function<void(const QString& key, std::function<void(const QString&)>)>& sink)
{
    const QString form = objectName();
    QPointer<TProgramSettings> self(this);
    sink(form, [self](const QString& text) {
        if (self)
            self->setWindowTitle(text);
    });
    for (int p = 0; p < m_pages->count(); ++p) {
        sink(form + QLatin1Char('.') + m_pages->widget(p)->objectName(),
             [self, p](const QString& text) {
                 if (self)
                     self->m_pages->setTabText(p, text);
             });
    }
    for (QGroupBox* group : {m_groupBox6, m_groupBox8}) {
        QPointer<QGroupBox> target(group);
        sink(form + QLatin1Char('.') + group->objectName(), [target](const QString& text) {
            if (target)
                target->setTitle(text);
        });
    }
    sink(form + QStringLiteral(".DrumName"), [self](const QString& text) {
        if (!self)
            return;
        self->m_model.DrumName = text;
        self->Mirror();
    });
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->objectName().isEmpty())
            continue;
        QPointer<QAbstractButton> target(button);
        sink(form + QLatin1Char('.') + button->objectName(), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->objectName().isEmpty())
            continue;
        QPointer<QLabel> target(label);
        sink(form + QLatin1Char('.') + label->objectName(), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
}

bool TProgramSettings::event(QEvent* event)
{
    if (event->type() == SequencerNotifyEvent::Type()) {
        m_model.SequencerNotify(static_cast<SequencerNotifyEvent*>(event)->Code());
        return true;
    }
    return QDialog::event(event);
}

bool TProgramSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (const auto found = m_learns.find(watched); found != m_learns.end())
            m_model.FocusInstrumentControl(found->second);
    }
    return QDialog::eventFilter(watched, event);
}

void TProgramSettings::hideEvent(QHideEvent* event)
{
    m_model.Hide();
    BitBtn6->setText(m_strings.StrDelayTest);
    QDialog::hideEvent(event);
}

} // namespace pv
