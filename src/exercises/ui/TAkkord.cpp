// The identification exercise window: widgets built from the setup model of its mode.
#include "exercises/ui/TAkkord.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/identification/AkkordLayout.h"
#include "exercises/setup/ExerciseSetup.h"
#include "exercises/ui/TControlButton.h"
#include "music/staff/Sheet.h"
#include "music/strings/UIStrings.h"
#include "music/ui/StaffPainter.h"

#include <algorithm>

#include <QButtonGroup>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace pv {
namespace {

constexpr int kPanel60Height = 84;
constexpr int kResultImageLeft = 8; ///< the answer grid keeps this margin on both sides
constexpr int kStaffPanelMinimum = 205;
constexpr int kAlterationBarHeight = 29;
constexpr int kMargin = 4;

/// The paint box of the staff: white, with the sheet drawn on it.
class StaffBox : public QWidget
{
public:
    StaffBox(TSheet& sheet, bool progressions, QWidget* parent)
        : QWidget(parent), m_sheet(sheet), m_progressions(progressions)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        m_sheet.SetControlSize(width(), height());
        QWidget::resizeEvent(event);
    }

    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        // A progression in a box too small for the staves is shown as a grid of chord columns
        // in a frame; before any question the frame stays empty.
        if (m_progressions && UsesCompactColumns(m_sheet.LineSpacing(), m_sheet.Top(), height())) {
            painter.setPen(QPen(Qt::black, 1));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
            return;
        }
        m_painter.Paint(painter, m_sheet.Draw(std::span<TNoteRec>(), 0));
    }

private:
    TSheet& m_sheet;
    bool m_progressions = false;
    StaffPainter m_painter;
};

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

TAkkord::TAkkord(IdentificationMode mode, IExerciseHost* host, QWidget* parent)
    : TExerciseBaseClass(host, parent), m_sheet(std::make_unique<TSheet>(m_keys)),
      m_model(mode, BaseModel(), *ControlButtons)
{
    setAutoFillBackground(true);

    Panel60 = new QWidget(this);
    ControlButtons->setParent(Panel60);
    ControlButtons->setGeometry(4, 4, 641, 48);
    Image13 = new QLabel(Panel60);
    Image13->setGeometry(kResultImageLeft, 58, 22, 22);
    Image13->hide();
    Label2 = new QLabel(Panel60);
    Label2->setGeometry(kResultImageLeft, 58, 600, 22);

    Panel3 = new QWidget(Panel60);
    m_styleGroup = new QButtonGroup(this);
    const std::array<QString, 3> styleTexts = {QStringLiteral("\u2261"), QStringLiteral("\u2197"),
                                               QStringLiteral("\u2198")};
    for (int s = 0; s < 3; ++s) {
        auto* button =
            MakeToolButton(Panel3, styleTexts[static_cast<std::size_t>(s)], QString(), s);
        button->setGeometry(s * 30, 0, 28, 28);
        m_styleGroup->addButton(button, s);
        PlayStyleButtons[static_cast<std::size_t>(s)] = button;
    }
    Panel3->resize(3 * 30, 28);

    Panel55 = new QWidget(this);
    PaintBox1 = new StaffBox(*m_sheet, mode == IdentificationMode::ChordProgressions, Panel55);
    Panel1 = new QWidget(Panel55);
    m_toolGroup = new QButtonGroup(this);
    SpeedButton3 = MakeToolButton(Panel1, QStringLiteral("+"), QStringLiteral("Add notes"), 1);
    SpeedButton2 =
        MakeToolButton(Panel1, QStringLiteral("+\u00BD"), QStringLiteral("Add notes"), 2);
    SpeedButton4 = MakeToolButton(Panel1, QStringLiteral("+1"), QStringLiteral("Add notes"), 3);
    SpeedButton6 =
        MakeToolButton(Panel1, QStringLiteral("\u2212"), QStringLiteral("Delete notes"), 0);
    for (QToolButton* tool : {SpeedButton3, SpeedButton2, SpeedButton4, SpeedButton6}) {
        m_toolGroup->addButton(tool);
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
    Panel51 = new QWidget(this);
    SpeedButton9 = new QToolButton(Panel51);
    SpeedButton9->setText(QStringLiteral("?"));
    SpeedButton9->setFocusPolicy(Qt::NoFocus);
    SpeedButton9->hide();
    connect(SpeedButton9, &QToolButton::clicked, this, [this] { ShowTipOf(SpeedButton9); });
    Panel52 = MakeInstrumentPanel(this);
    Panel53 = MakeInstrumentPanel(this);

    connect(m_styleGroup, &QButtonGroup::idClicked, this, [this](int id) {
        const QVariant tag = PlayStyleButtons[static_cast<std::size_t>(id)]->property("Tag");
        m_model.CurrentPlayStyle = static_cast<std::uint8_t>(tag.toInt());
    });

    SetAnswerInput(m_answerInput);
}

TAkkord::~TAkkord() = default;

void TAkkord::Setup(const ExerciseSetup& setup, const ItemTables& items,
                    const AkkordSettings& settings, bool reset)
{
    m_settings = settings;
    m_model.Setup(setup, items, settings, reset);
    AfterSetup(reset);
}

void TAkkord::AfterSetup(bool reset)
{
    if (reset) {
        Label2->move(Image13->x(), Label2->y());
        Image13->hide();
        ShowScore();
    }
    Label2->clear();
    SetupExerciseWidgets(reset);
    ApplySheetFlags();
    ResetEntryTool();

    for (std::size_t s = 0; s < PlayStyleButtons.size(); ++s) {
        PlayStyleButtons[s]->setProperty("Tag", m_model.StyleButtonTags[s]);
    }
    SpeedButton9->setProperty("Tag", m_model.TipTag);
    SpeedButton10->setVisible(m_model.StaffTipButtonShown);
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
    SetAnswerInput(m_answerInput);
}

void TAkkord::SetupExerciseWidgets(bool /*reset*/)
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
    Panel51Resize();
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
}

void TAkkord::ApplySheetFlags()
{
    const AkkordSheetFlags& flags = m_model.Sheet;
    m_sheet->SetShowKeySignature(flags.ShowKeySignature);
    m_sheet->SetFixedSpacing(flags.Chord);
    m_sheet->SetShowKeyName(flags.ShowKeyName);
    m_sheet->SetKeyOffset(flags.KeyOffset);
    PaintBox1->update();
}

void TAkkord::ResetEntryTool()
{
    SpeedButton3->setChecked(true);
}

void TAkkord::SetAnswerInput(std::uint8_t bits)
{
    m_answerInput = bits;
    const AnswerPanels panels = m_model.PanelsOf(bits);
    ControlButtons->ButtonEnabled[3] = ControlButtons->ButtonEnabled[3] && bits != 1;
    m_sheet->SetGuitarView((bits & 4) != 0 && (bits & 2) == 0);
    Panel51->setVisible(panels.Buttons);
    Panel52->setVisible(panels.Piano);
    Panel53->setVisible(panels.Guitar);
    Panel55->setVisible(panels.Staff);
    Panel2->setVisible(panels.AlterationBar && !AlterationButtons.empty());
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
    const int h = height();
    Panel60->setGeometry(0, 0, w, kPanel60Height);

    // The play-style bar stands at the right edge while it clears the control strip.
    const int barX = w - kMargin - Panel3->width();
    const bool overlaps = barX < ControlButtons->geometry().right() + kMargin;
    Panel3->move(barX, 14);
    Panel3->setVisible(m_model.PlayStyleBarAllowed && !overlaps);

    // The answer area's height depends on its width alone.
    if (!Panel51->isHidden()) {
        Panel51->resize(w, Panel51->height());
        Panel51Resize();
    }
    const int answerHeight = !Panel51->isHidden() ? m_answerAreaHeight : 0;
    const int alterationHeight = !Panel2->isHidden() ? kAlterationBarHeight : 0;
    const bool staffShown = !Panel55->isHidden();
    const int left = h - kPanel60Height - answerHeight - (staffShown ? kStaffPanelMinimum : 0) -
                     alterationHeight;
    const InstrumentHeights heights =
        LayoutInstrumentHeights(left, !Panel52->isHidden(), !Panel53->isHidden());
    m_pianoHeight = heights.Piano;
    m_guitarHeight = heights.Guitar;

    // From the bottom up: guitar, piano, answer buttons, alteration bar; the staff fills the rest.
    int bottom = h;
    if (!Panel53->isHidden()) {
        bottom -= m_guitarHeight;
        Panel53->setGeometry(0, bottom, w, m_guitarHeight);
    }
    if (!Panel52->isHidden()) {
        bottom -= m_pianoHeight;
        Panel52->setGeometry(0, bottom, w, m_pianoHeight);
    }
    if (!Panel51->isHidden()) {
        const int answerTop = staffShown ? bottom - answerHeight : kPanel60Height;
        Panel51->setGeometry(0, answerTop, w, staffShown ? answerHeight : bottom - answerTop);
        bottom = answerTop;
    }
    if (!Panel2->isHidden()) {
        bottom -= kAlterationBarHeight;
        Panel2->setGeometry(0, bottom, w, kAlterationBarHeight);
        Panel2Resize();
    }
    if (staffShown) {
        Panel55->setGeometry(0, kPanel60Height, w, std::max(0, bottom - kPanel60Height));
        const int boxWidth = std::max(0, Panel55->width() - 2 * kMargin - 8);
        const int boxHeight = std::max(0, Panel55->height() - 11);
        PaintBox1->setGeometry(kMargin + 4, 4, boxWidth, boxHeight);
        m_sheet->SetControlSize(boxWidth, boxHeight);
        int toolX = PaintBox1->geometry().right() - 4;
        for (QToolButton* tool : {SpeedButton6, SpeedButton4, SpeedButton2, SpeedButton3}) {
            if (!tool->isHidden()) {
                toolX -= 28;
                tool->setGeometry(toolX - Panel1->x(), 0, 28, 28);
            }
        }
        Panel1->setGeometry(0, 8, PaintBox1->geometry().right(), 28);
        Panel1->raise();
        SpeedButton10->setGeometry(PaintBox1->geometry().right() - 24,
                                   PaintBox1->geometry().bottom() - 24, 22, 22);
        SpeedButton10->raise();
        // Before any question the staves are placed for an empty staff.
        m_sheet->ArrangeStaves(0, Mode() == IdentificationMode::ChordProgressions);
    }
}

void TAkkord::Panel51Resize()
{
    const bool tipAllowed = m_settings.TipsOffered && m_answerInput != 1;
    const std::optional<AnswerGridLayout> grid =
        LayoutAnswerGrid(Panel51->width(), kResultImageLeft, m_model.ButtonCount,
                         Mode() == IdentificationMode::ChordProgressions, tipAllowed);
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
    if (shown.empty() || Panel2->width() < kMinimumLayoutWidth) {
        return;
    }
    const int each = (Panel2->width() - 2 * kMargin) / static_cast<int>(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        shown[i]->setGeometry(kMargin + static_cast<int>(i) * each, 2, each - 2, 25);
    }
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

void TAkkord::ResetResults()
{
    ControlButtons->ButtonEnabled[0] = true;
    ControlButtons->ButtonEnabled[1] = false;
    ControlButtons->ButtonEnabled[3] = false;
    ControlButtons->repaint();
    Answered = true;
    m_model.HeldNote.Pitch = TPitch{};
    m_model.ResetResults();
    Label2->clear();
    ShowScore();
}

void TAkkord::ShowScore()
{
    if (Host() == nullptr) {
        return;
    }
    const ScoreDisplay score = m_model.Score(UIStrings);
    Host()->ShowScoreDisplay(score.Gauge, score.Label);
}

// Without a question there is nothing to ask, play, check or stop.
void TAkkord::AutoNewQuestTimerTimer() {}
void TAkkord::MidiInMessage(std::uint32_t) {}
void TAkkord::RepeatQuestion() {}
void TAkkord::ThirdButtonAction() {}
void TAkkord::FourthButtonAction() {}
void TAkkord::StopPlaying() {}

} // namespace pv
