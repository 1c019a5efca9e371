// The identification exercise window: widgets built from the setup model of its mode.
#include "exercises/ui/TAkkord.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/identification/AkkordLayout.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/AkkordStaffBox.h"
#include "exercises/ui/InstrumentViews.h"
#include "exercises/ui/RightPicture.h"
#include "exercises/ui/TControlButton.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "music/ui/StaffPainter.h"

#include <algorithm>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace pv {
namespace {

constexpr int kToolButtonSize = 28;
/// Narrower alteration buttons leave no room for the bar's caption.
constexpr int kAlterationCaptionMinButton = 80;

/// A panel for an instrument view that draws nothing of its own yet.
QWidget* MakeInstrumentPanel(QWidget* parent)
{
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    return frame;
}

QToolButton* MakeToolButton(QWidget* parent, const QString& text, const QString& hint, int tag)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(hint);
    button->setCheckable(true);
    button->setProperty("Tag", tag);
    button->setAutoRaise(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void SetPanelColour(QFrame* panel, const QColor& colour)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, colour);
    panel->setPalette(palette);
}

} // namespace

TAkkord::TAkkord(IdentificationMode mode, ExerciseSession& session, IExerciseHost* host,
                 const UIStringTable& strings, QWidget* parent)
    : TExerciseBaseClass(session, host, parent),
      m_sheet(std::make_unique<TSheet>(m_keys, m_ownSpacing)),
      m_model(mode, Session(), ControlButtons->Model(), strings),
      m_mic(m_model, strings.StrMicInput), m_exercise(m_model)
{
    setAutoFillBackground(true);

    Panel60 = new QWidget(this);
    ControlButtons->setParent(Panel60);
    ControlButtons->setGeometry(kControlStripRect.X, kControlStripRect.Y, kControlStripRect.Width,
                                kControlStripRect.Height);
    Image13 = new QLabel(Panel60);
    Image13->setGeometry(kResultLineLeft, kResultLineTop, kResultLineHeight, kResultLineHeight);
    Image13->setPixmap(RightPicture(kResultLineHeight));
    Image13->hide();
    Label2 = new QLabel(Panel60);
    Label2->setGeometry(kResultLineLeft, kResultLineTop, 600, kResultLineHeight);

    Panel3 = new QWidget(Panel60);
    m_styleGroup = new QButtonGroup(this);
    const std::array<QString, 3> styleTexts = {QStringLiteral("\u2261"), QStringLiteral("\u2197"),
                                               QStringLiteral("\u2198")};
    for (int s = 0; s < 3; ++s) {
        auto* button =
            MakeToolButton(Panel3, styleTexts[static_cast<std::size_t>(s)], QString(), s);
        button->setGeometry(s * 30, 0, kToolButtonSize, kToolButtonSize);
        m_styleGroup->addButton(button, s);
        PlayStyleButtons[static_cast<std::size_t>(s)] = button;
    }
    Panel3->resize(kPlayStyleBarWidth, kPlayStyleBarHeight);

    Panel55 = new QWidget(this);
    m_staffBox = new TAkkordStaffBox(m_model, *m_sheet, strings, Panel55);
    PaintBox1 = m_staffBox;
    ConnectStaffBox();
    Panel1 = new QWidget(Panel55);
    m_toolGroup = new QButtonGroup(this);
    SpeedButton3 = MakeToolButton(Panel1, QStringLiteral("+"), QStringLiteral("Add notes"), 1);
    SpeedButton2 =
        MakeToolButton(Panel1, QStringLiteral("+\u00BD"), QStringLiteral("Add notes"), 2);
    SpeedButton4 = MakeToolButton(Panel1, QStringLiteral("+1"), QStringLiteral("Add notes"), 3);
    SpeedButton6 = MakeToolButton(Panel1, QStringLiteral("\u2212"), QStringLiteral("Delete notes"),
                                  kEntryToolDelete);
    for (QToolButton* tool : {SpeedButton3, SpeedButton2, SpeedButton4, SpeedButton6}) {
        m_toolGroup->addButton(tool, tool->property("Tag").toInt());
    }
    SpeedButton6->setChecked(true);
    SpeedButton2->hide();
    SpeedButton4->hide();
    SpeedButton10 = new QToolButton(Panel55);
    SpeedButton10->setText(QStringLiteral("?"));
    SpeedButton10->setProperty("Tag", 1);
    SpeedButton10->setFocusPolicy(Qt::NoFocus);
    connect(SpeedButton10, &QToolButton::clicked, this, [this] { ShowTipOf(SpeedButton10); });

    Panel2 = new QWidget(this);
    Panel2->hide();
    Label1 = new QLabel(Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    Panel51 = new QWidget(this);
    SpeedButton9 = new QToolButton(Panel51);
    SpeedButton9->setText(QStringLiteral("?"));
    SpeedButton9->setFocusPolicy(Qt::NoFocus);
    SpeedButton9->hide();
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { ShowTipOf(SpeedButton9); });
    Panel52 = MakeInstrumentPanel(this);
    Panel53 = MakeInstrumentPanel(this);
    m_pianoView = new TPianoView(m_model, strings, Panel52);
    m_guitarView = new TGuitarView(m_model, Panel53);
    connect(m_pianoView, &TPianoView::Entry, this,
            [this](const InstrumentEntry& entry) { CarryOut(m_exercise.Enter(entry)); });
    connect(m_pianoView, &TPianoView::VoiceStepped, this,
            [this](PianoVoice voice, bool programChanged) {
                emit PianoVoiceStepped(voice);
                if (programChanged && m_midiOut) {
                    m_midiOut->ProgramChange(
                        static_cast<std::uint8_t>(voice.Program),
                        static_cast<std::uint8_t>(m_midiOut->Voices().piano.channel));
                }
            });
    connect(m_guitarView, &TGuitarView::Entry, this,
            [this](const InstrumentEntry& entry) { CarryOut(m_exercise.Enter(entry)); });

    connect(m_styleGroup, &QButtonGroup::idClicked, this,
            [this](int id) { m_model.ChoosePlayStyle(id); });
    connect(m_toolGroup, &QButtonGroup::idClicked, this, [this](int id) {
        m_model.EntryTool = static_cast<std::uint8_t>(id);
        m_staffBox->ShowToolCursor();
    });

    m_blinkTimer = TimerOf(ExerciseHostTimer::AnswerbuttonBlink, 200, &TAkkord::Timer1Timer);
    m_lightTimer = TimerOf(ExerciseHostTimer::LightDisplaytime, 150, &TAkkord::MouseDownDelayTimer);
    m_pianoView->UseLightTimer(m_lightTimer);
    connect(this, &TAkkord::AnswerButtonMouseDown, this, [this](int button, Qt::MouseButton mouse) {
        OnAnswerButton(button, mouse == Qt::LeftButton);
        // A clicked button must not keep the focus: every later key (F8, the accidentals)
        // would audition it again and put its notes over those the user wrote since.
        ControlButtons->setFocus(Qt::OtherFocusReason);
    });
    connect(this, &TAkkord::AnswerButtonKeyDown, this,
            [this](int button, int) { OnAnswerButton(button, true); });
    m_model.ResultLabelFits = [this](const QString& text) {
        return Label2->fontMetrics().horizontalAdvance(text) <= Label2->width();
    };
    m_exercise.ChordEntered = [this](const InstrumentEntry& entry) {
        emit ProgressionChordEntry(entry);
    };
    SetExerciseModel(m_exercise);

    SetAnswerInput(m_model.AnswerInput);
}

TAkkord::~TAkkord() = default;

void TAkkord::SetNoteSpacing(NoteSpacing& spacing)
{
    m_sheet->SetNoteSpacing(spacing);
}

void TAkkord::SetMidiOut(TMidiOut& midiOut)
{
    m_playback = std::make_unique<AkkordPlayback>(m_model, midiOut);
    m_exercise.SetPlayback(m_playback.get());
    m_midiOut = &midiOut;
    m_staffBox->Input().SetPlayback(m_playback.get());
}

void TAkkord::Setup(const ExerciseSetup& setup, const ItemTables& items,
                    const AkkordSettings& settings, bool reset)
{
    m_model.Setup(setup, items, settings, reset);
    AfterSetup(reset);
    Settle();
}

void TAkkord::AfterSetup(bool reset)
{
    if (reset) {
        Label2->move(Image13->x(), Label2->y());
        Image13->hide();
        ShowScore();
    }
    Label2->clear();
    SetupExerciseWidgets();
    ApplySheetFlags();
    ShowEntryTool();

    for (std::size_t s = 0; s < PlayStyleButtons.size(); ++s) {
        PlayStyleButtons[s]->setProperty("Tag", m_model.StyleButtonTags[s]);
    }
    SpeedButton9->setProperty("Tag", m_model.TipTag);
    SpeedButton10->setVisible(m_model.StaffTipShown());
    SpeedButton2->setVisible(m_model.ExtraEntryButtons);
    SpeedButton4->setVisible(m_model.ExtraEntryButtons);
    if (m_model.AlterationBarShown) {
        MakeAlterationButtons();
        for (std::size_t b = 0; b < AlterationButtons.size(); ++b) {
            AlterationButtons[b]->setText(m_model.AlterationCaptions[b]);
            AlterationButtons[b]->setVisible(m_model.AlterationVisible[b]);
        }
    }
    ControlButtons->update();
    SetAnswerInput(m_model.AnswerInput);
    ShowEntered();
}

void TAkkord::SetupExerciseWidgets()
{
    const int count = m_model.ButtonCount;
    for (int b = 1; b <= count; ++b) {
        if (b > AnswerButtonsMade()) {
            AnswerButtonPair pair;
            pair.Panel = new QFrame(Panel51);
            pair.Panel->setFrameShape(QFrame::Panel);
            pair.Panel->setFrameShadow(QFrame::Sunken);
            pair.Panel->setAutoFillBackground(true);
            pair.Panel->resize(100, kAnswerCellHeight);
            pair.Button = new QPushButton(pair.Panel);
            pair.Button->setGeometry(kAnswerButtonInset, kAnswerButtonInset, 92, 25);
            pair.Button->setProperty("Tag", b);
            pair.Button->installEventFilter(this);
            m_answerButtons.push_back(pair);
        }
        const AnswerButtonPair& pair = m_answerButtons[static_cast<std::size_t>(b - 1)];
        pair.Button->setText(m_model.ButtonCaption(b));
        pair.Button->setEnabled(true);
        pair.Button->show();
        SetPanelColour(pair.Panel, palette().color(QPalette::Button));
        pair.Panel->show();
    }
    for (int b = count + 1; b <= AnswerButtonsMade(); ++b) {
        const AnswerButtonPair& pair = m_answerButtons[static_cast<std::size_t>(b - 1)];
        pair.Button->setText(QString());
        pair.Button->hide();
        pair.Panel->hide();
    }
    Panel51Resize(width());
}

QFrame* TAkkord::PanelOfItem(int item) const
{
    const int button = m_model.ButtonOfItem(item);
    if (button < 1 || button > AnswerButtonsMade()) {
        return nullptr;
    }
    return m_answerButtons[static_cast<std::size_t>(button - 1)].Panel;
}

void TAkkord::MakeAlterationButtons()
{
    if (!AlterationButtons.empty()) {
        return;
    }
    m_alterationGroup = new QButtonGroup(this);
    m_alterationGroup->setExclusive(true);
    for (int b = 0; b < kAlterationButtonCount; ++b) {
        QToolButton* button = MakeToolButton(Panel2, QString(), QString(), b);
        m_alterationGroup->addButton(button, b);
        AlterationButtons.push_back(button);
    }
    connect(m_alterationGroup, &QButtonGroup::idClicked, this,
            [this](int button) { SpeedButton2Click(button); });
}

void TAkkord::ShowKeyNames(bool on)
{
    m_model.Sheet.ShowKeyName = on;
    ApplySheetFlags();
}

void TAkkord::ApplySheetFlags()
{
    const AkkordSheetFlags& flags = m_model.Sheet;
    m_sheet->SetShowKeySignature(flags.ShowKeySignature);
    m_sheet->SetFixedSpacing(flags.Chord);
    m_sheet->SetShowKeyName(flags.ShowKeyName);
    m_sheet->SetKeyNameWords(flags.MajorWord, flags.MinorWord);
    m_sheet->SetKeyOffset(flags.KeyOffset);
    m_sheet->SetKeySignature(flags.KeySignature);
    m_sheet->SetMode(flags.Minor ? 1 : 0);
    m_sheet->SetGuitarView(flags.GuitarView);
    PaintBox1->update();
}

void TAkkord::ShowEntryTool()
{
    if (QAbstractButton* tool = m_toolGroup->button(m_model.EntryTool)) {
        tool->setChecked(true);
    }
    m_staffBox->ShowToolCursor();
}

void TAkkord::ConnectStaffBox()
{
    connect(m_staffBox, &TAkkordStaffBox::Changed, this, [this] { Settle(); });
    connect(m_staffBox, &TAkkordStaffBox::ToolChanged, this, [this] { ShowEntryTool(); });
    connect(m_staffBox, &TAkkordStaffBox::ChordEntry, this,
            [this](const InstrumentEntry& entry) { CarryOut(m_exercise.Enter(entry)); });
    connect(m_staffBox, &TAkkordStaffBox::AlterationChosen, this, [this](int button) {
        if (button >= 0 && button < static_cast<int>(AlterationButtons.size())) {
            AlterationButtons[static_cast<std::size_t>(button)]->setChecked(true);
        }
    });
}

bool TAkkord::StaffKeyDown(int key)
{
    static constexpr std::array<std::pair<int, AccidentalKey>, 5> kLetters = {{
        {Qt::Key_Z, AccidentalKey::Z},
        {Qt::Key_X, AccidentalKey::X},
        {Qt::Key_C, AccidentalKey::C},
        {Qt::Key_V, AccidentalKey::V},
        {Qt::Key_B, AccidentalKey::B},
    }};
    if (key == Qt::Key_Insert) {
        m_staffBox->Apply(m_staffBox->Input().Insert());
        return true;
    }
    for (const auto& [letter, accidental] : kLetters) {
        if (key == letter) {
            m_staffBox->Apply(m_staffBox->Input().AccidentalKeyDown(accidental));
            return true;
        }
    }
    return false;
}

void TAkkord::StaffKeyUp()
{
    m_staffBox->Input().KeyUp();
}

void TAkkord::keyPressEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat() && StaffKeyDown(event->key())) {
        event->accept();
        return;
    }
    TExerciseBaseClass::keyPressEvent(event);
}

void TAkkord::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        StaffKeyUp();
    }
    TExerciseBaseClass::keyReleaseEvent(event);
}

void TAkkord::SetAnswerInput(std::uint8_t bits)
{
    m_model.SetAnswerInput(bits);
    m_sheet->SetGuitarView(m_model.Sheet.GuitarView);
    ControlButtons->update();
    FormResize();
}

void TAkkord::resizeEvent(QResizeEvent* event)
{
    TExerciseBaseClass::resizeEvent(event);
    FormResize();
}

void TAkkord::FormResize()
{
    const int w = width();
    const AnswerPanels panels = m_model.ShownPanels();
    // The answer area's height depends on its width alone.
    if (panels.Buttons) {
        Panel51Resize(w);
    }
    AkkordPanelsShown shown;
    shown.Buttons = panels.Buttons;
    shown.Piano = panels.Piano;
    shown.Guitar = panels.Guitar;
    shown.Staff = panels.Staff;
    shown.AlterationBar = panels.AlterationBar;
    shown.PlayStyleBar = m_model.PlayStyleBarAllowed;
    shown.AnswerAreaHeight = m_answerAreaHeight;
    const AkkordPanelLayout layout = LayoutAkkordPanels(w, height(), shown);

    const auto place = [](QWidget* widget, const std::optional<LayoutRect>& rect) {
        widget->setVisible(rect.has_value());
        if (rect) {
            widget->setGeometry(rect->X, rect->Y, rect->Width, rect->Height);
        }
    };
    place(Panel60, layout.Top);
    Label2->resize(std::max(0, layout.ResultLine.Right() - Label2->x()), Label2->height());
    place(Panel3, layout.PlayStyleBar);
    place(Panel53, layout.Guitar);
    place(Panel52, layout.Piano);
    if (layout.Guitar) {
        m_guitarView->setGeometry(2, 2, std::max(0, layout.Guitar->Width - 4),
                                  std::max(0, layout.Guitar->Height - 4));
    }
    if (layout.Piano) {
        // The keyboard keeps its octave count on narrow panels and is centred on wide ones.
        const int octaves = PianoOctaves(layout.Piano->Width).value_or(m_pianoView->Octaves());
        m_pianoView->SetOctaves(octaves);
        const int keyboard = kPianoOctaveWidth * octaves;
        m_pianoView->setGeometry(std::max(2, (layout.Piano->Width - keyboard) / 2), 2, keyboard,
                                 std::max(0, layout.Piano->Height - 4));
    }
    place(Panel51, layout.Answers);
    place(Panel2, layout.AlterationBar);
    Panel2Resize();
    place(Panel55, layout.Staff);
    UpdatePitchRange();
    if (!layout.Staff) {
        return;
    }
    const LayoutRect& box = layout.StaffBox;
    PaintBox1->setGeometry(box.X, box.Y, box.Width, box.Height);
    m_sheet->SetControlSize(box.Width, box.Height);
    int toolX = box.Right() - 5;
    for (QToolButton* tool : {SpeedButton6, SpeedButton4, SpeedButton2, SpeedButton3}) {
        if (!tool->isHidden()) {
            toolX -= kToolButtonSize;
            tool->setGeometry(toolX, 0, kToolButtonSize, kToolButtonSize);
        }
    }
    Panel1->setGeometry(0, 8, box.Right() - 1, kToolButtonSize);
    Panel1->raise();
    SpeedButton10->setGeometry(box.Right() - 25, box.Bottom() - 25, 22, 22);
    SpeedButton10->raise();
    // The staves are placed for the question shown (for an empty staff before any question).
    ArrangeAkkordStaves(m_model, *m_sheet, &TAkkordStaffBox::MeasureLabel);
}

void TAkkord::Panel51Resize(int width)
{
    const std::optional<AnswerGridLayout> grid = LayoutAnswerGrid(
        width, kResultLineLeft, m_model.ButtonCount,
        Mode() == IdentificationMode::ChordProgressions, m_model.AnswerTipAllowed());
    if (!grid) {
        return;
    }
    for (int b = 1; b <= m_model.ButtonCount && b <= AnswerButtonsMade(); ++b) {
        const LayoutRect& cell = grid->Cells[static_cast<std::size_t>(b - 1)];
        const AnswerButtonPair& pair = m_answerButtons[static_cast<std::size_t>(b - 1)];
        pair.Panel->setGeometry(cell.X, cell.Y, cell.Width, cell.Height);
        pair.Button->setGeometry(kAnswerButtonInset, kAnswerButtonInset,
                                 std::max(0, cell.Width - 2 * kAnswerButtonInset),
                                 cell.Height - 2 * kAnswerButtonInset);
    }
    SpeedButton9->setVisible(grid->TipShown);
    if (grid->TipShown) {
        SpeedButton9->setGeometry(grid->Tip.X, grid->Tip.Y, grid->Tip.Width, grid->Tip.Height);
        SpeedButton9->raise();
    }
    m_answerAreaHeight = grid->PanelHeight;
}

void TAkkord::Panel2Resize()
{
    std::vector<QToolButton*> shown;
    for (QToolButton* button : AlterationButtons) {
        if (!button->isHidden()) {
            shown.push_back(button);
        }
    }
    const int count = static_cast<int>(shown.size());
    // The caption takes room from the buttons only while they stay wide enough to read.
    const int captionWidth =
        Label1->text().isEmpty() ? 0 : Label1->fontMetrics().horizontalAdvance(Label1->text()) + 8;
    const std::vector<LayoutRect> withCaption =
        LayoutAlterationButtons(Panel2->width() - captionWidth, count);
    const bool captionShown = captionWidth > 0 && count > 0 && !withCaption.empty() &&
                              withCaption.front().Width > kAlterationCaptionMinButton;
    const int left = captionShown ? captionWidth : 0;
    const std::vector<LayoutRect> rects =
        captionShown ? withCaption : LayoutAlterationButtons(Panel2->width(), count);
    for (std::size_t i = 0; i < rects.size(); ++i) {
        shown[i]->setGeometry(left + rects[i].X, rects[i].Y, rects[i].Width, rects[i].Height);
    }
    Label1->setVisible(captionShown);
    if (captionShown) {
        Label1->setGeometry(rects.front().X, rects.front().Y, captionWidth, rects.front().Height);
    }
}

void TAkkord::SetAlterationCaption(const QString& text)
{
    Label1->setText(text);
    Panel2Resize();
}

void TAkkord::ApplyTipsMask(std::uint32_t mask)
{
    m_model.Settings.TipsMask = mask;
    SpeedButton10->setVisible(m_model.StaffTipShown());
    FormResize();
}

void TAkkord::ShowTipOf(QToolButton* button)
{
    if (Host() == nullptr) {
        return;
    }
    button->setVisible(Host()->ShowTip(button->property("Tag").toInt()));
}

bool TAkkord::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button != nullptr &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress)) {
        const int number = button->property("Tag").toInt();
        if (event->type() == QEvent::MouseButtonPress) {
            emit AnswerButtonMouseDown(number, static_cast<QMouseEvent*>(event)->button());
        } else {
            emit AnswerButtonKeyDown(number, static_cast<QKeyEvent*>(event)->key());
        }
    }
    return TExerciseBaseClass::eventFilter(watched, event);
}

void TAkkord::Mirror(const ExerciseEffects& effects)
{
    // A new question ends the blink of the last answer's button.
    if (effects.QuestionPut)
        m_blinkTimer->stop();
    if (Has(effects.Repaint, ExerciseRepaint::Exercise)) {
        ShowEntered();
        ShowEntryTool();
    } else if (Has(effects.Repaint, ExerciseRepaint::Strip)) {
        ControlButtons->update();
    }
}

void TAkkord::OnAnswerButton(int button, bool play)
{
    CarryOut(m_exercise.AnswerButton(button, play));
}

void TAkkord::ShowEntered()
{
    MirrorQuestion();
    m_pianoView->update();
    m_guitarView->update();
    PaintBox1->update();
}

void TAkkord::Timer1Timer()
{
    m_model.BlinkTick();
    if (!m_model.BlinkRunning) {
        m_blinkTimer->stop();
    }
    MirrorQuestion();
}

QTimer* TAkkord::TimerOf(ExerciseHostTimer which, int interval, void (TAkkord::*tick)())
{
    if (Host() != nullptr) {
        if (QTimer* shared = Host()->ExerciseTimer(which)) {
            return shared;
        }
    }
    auto* timer = new QTimer(this);
    timer->setInterval(interval);
    connect(timer, &QTimer::timeout, this, tick);
    return timer;
}

void TAkkord::MouseDownDelayTimer()
{
    m_pianoView->AdjusterTick();
}

void TAkkord::EnterExercise()
{
    TExerciseBaseClass::EnterExercise();
    if (m_midiOut != nullptr) {
        const MidiVoiceSettings voices = m_midiOut->Voices();
        for (const SoundRecord& voice : {voices.piano, voices.guitar}) {
            m_midiOut->ProgramChange(static_cast<std::uint8_t>(voice.program),
                                     static_cast<std::uint8_t>(voice.channel));
        }
        m_pianoView->SetVoice({voices.piano.program, voices.piano.velocity});
    }
    if (Session().AnswerInputLock != 0) {
        SetAnswerInput(Session().AnswerInputLock);
    }
    m_pianoView->SwitchLightsOff();
}

void TAkkord::DeleteLastNote()
{
    m_model.DeleteLastNote();
    Settle();
}

void TAkkord::SetProgressionChord(TPitch root, std::uint8_t chordType, int guitarString,
                                  bool remove, bool quiet)
{
    CarryOut(m_exercise.SetProgressionChord(root, chordType, guitarString, remove, quiet));
}

void TAkkord::SpeedButton2Click(int button)
{
    CarryOut(m_exercise.ChooseAlteration(button));
}

void TAkkord::ShowPressedChordType()
{
    if (m_alterationGroup == nullptr) {
        return;
    }
    const int type = m_model.PressedChordType;
    const int button = ChordTypeOfAlterationButton(AlterationButtonOfChordType(type)) == type
                           ? AlterationButtonOfChordType(type)
                           : -1;
    // No button of the bar may stay down for a type it does not show.
    m_alterationGroup->setExclusive(false);
    for (int b = 0; b < static_cast<int>(AlterationButtons.size()); ++b) {
        AlterationButtons[static_cast<std::size_t>(b)]->setChecked(b == button);
    }
    m_alterationGroup->setExclusive(true);
}

void TAkkord::UpdatePitchRange()
{
    const AnswerPanels panels = m_model.ShownPanels();
    std::optional<int> guitarTop;
    std::optional<int> pianoTop;
    if (panels.Guitar) {
        guitarTop = m_guitarView->Neck().TopPitch;
    }
    if (panels.Piano) {
        pianoTop = m_pianoView->TopPitch();
    }
    m_model.UpdatePitchRange(guitarTop, pianoTop);
}

bool TAkkord::event(QEvent* event)
{
    if (event->type() == SequencerNotifyEvent::Type()) {
        if (m_playback) {
            m_playback->SequencerNotify(static_cast<SequencerNotifyEvent*>(event)->Code());
        }
        Settle();
        return true;
    }
    return TExerciseBaseClass::event(event);
}

void TAkkord::MirrorQuestion()
{
    Label2->setText(m_model.ResultLabel);
    if (m_model.RightPictureShown) {
        Image13->show();
        Label2->move(Image13->x() + Image13->width() + 4, Label2->y());
    } else {
        Image13->hide();
        Label2->move(Image13->x(), Label2->y());
    }
    const QColor face = palette().color(QPalette::Button);
    for (int b = 1; b <= m_model.ButtonCount && b <= AnswerButtonsMade(); ++b) {
        const AnswerButtonPair& pair = m_answerButtons[static_cast<std::size_t>(b - 1)];
        pair.Button->setEnabled(m_model.AnswerButtonEnabled(b));
        switch (m_model.ButtonColour[static_cast<std::size_t>(b)]) {
        case AnswerPanelColour::Green:
            SetPanelColour(pair.Panel, QColor(0, 255, 0));
            break;
        case AnswerPanelColour::Red:
            SetPanelColour(pair.Panel, QColor(255, 0, 0));
            break;
        case AnswerPanelColour::Face:
            SetPanelColour(pair.Panel, face);
            break;
        }
    }
    if (m_model.BlinkRunning && !m_blinkTimer->isActive()) {
        m_blinkTimer->start();
    }
    for (std::size_t s = 0; s < PlayStyleButtons.size(); ++s) {
        PlayStyleButtons[s]->setChecked(m_model.StyleButtonTags[s] == m_model.CurrentPlayStyle ||
                                        (s == 1 && m_model.CurrentPlayStyle == kPlayUp) ||
                                        (s == 2 && m_model.CurrentPlayStyle == kPlayDown));
    }
    if (Panel2 != nullptr) {
        Panel2->setEnabled(m_model.AlterationBarEnabled);
    }
    ShowPressedChordType();
    ApplySheetFlags();
    // A melody is a question without an item. The staves are placed once the sheet has the
    // question's key: its signature decides where each note stands.
    if (m_model.QuestionItem != 0 ||
        (Mode() == IdentificationMode::MelodyDictation && m_model.QuestionNoteCount > 0)) {
        ArrangeAkkordStaves(m_model, *m_sheet, &TAkkordStaffBox::MeasureLabel);
    }
    MirrorMelodyTools();
    ControlButtons->update();
}

void TAkkord::MirrorMelodyTools()
{
    if (!m_model.ExtraEntryButtons) {
        return;
    }
    SpeedButton2->setEnabled(m_model.HalfToolEnabled);
    SpeedButton4->setEnabled(m_model.WholeToolEnabled);
    ShowEntryTool();
}

void TAkkord::MicPitchInput(int pitch)
{
    if (!m_playback) {
        return;
    }
    m_mic.MicPitchInput(pitch, *m_playback);
    Settle();
}

void TAkkord::MicReleaseNote()
{
    if (!m_playback) {
        return;
    }
    m_mic.ReleaseNote(*m_playback);
    Settle();
}

} // namespace pv
