// The rhythm error detection window.
#include "exercises/ui/TRytmeKorr.h"

#include "exercises/base/ExerciseHost.h"
#include "exercises/ui/RhythmPainter.h"
#include "exercises/ui/RightPicture.h"
#include "exercises/ui/TControlButton.h"

#include <algorithm>

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QToolButton>

namespace pv {

namespace {

constexpr int kMargin = 8;
constexpr int kLineTop = 60; ///< the instruction and verdict line
constexpr int kLineHeight = 30;
constexpr int kHintTop = 92;
constexpr int kBevelTop = 120;
constexpr int kCaptionHeight = 22;
constexpr int kPictureSize = 28;
constexpr int kPictureGap = 6;
constexpr int kTipSize = 22;
constexpr QRgb kMarkOutline = 0x808080;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TRytmeKorr::TRytmeKorr(ExerciseSession& session, IExerciseHost* host, const UIStringTable& strings,
                       IPrompts& prompts, IRandom* random, QWidget* parent)
    : TRhythmWindow(session, host, strings, prompts, random, parent),
      m_model(Session(), ControlButtons->Model(), strings, Random(), Prompts())
{
    SetRhythmModel(m_model);
    ControlStripModel& strip = ControlButtons->Model();
    strip.Captions = {QStringLiteral("New question"), QStringLiteral("Play"),
                      QStringLiteral("Original"), QStringLiteral("Check"), QStringLiteral("Stop")};

    Image13 = new QLabel(this);
    Image13->setObjectName(QStringLiteral("Image13"));
    Image13->setPixmap(RightPicture(kPictureSize));
    Image13->setGeometry(kMargin, kLineTop + (kLineHeight - kPictureSize) / 2, kPictureSize,
                         kPictureSize);
    Image13->hide();

    Label5 =
        MakeLabel(this, "Label5", QStringLiteral("Click the notes that are played differently."));
    Label5->hide();

    Bevel4 = new QFrame(this);
    Bevel4->setObjectName(QStringLiteral("Bevel4"));
    Bevel4->setFrameShape(QFrame::StyledPanel);
    Bevel4->setFrameShadow(QFrame::Sunken);
    Label6 = MakeLabel(Bevel4, "Label6", QStringLiteral("The rhythm as written:"));
    Label7 = MakeLabel(Bevel4, "Label7", QStringLiteral("The rhythm as played:"));
    Label7->hide();

    ScrollBox1 = new RhythmNotationView(Bevel4);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->SetPainter([this](QPainter& painter, QSize size) { PaintWritten(painter, size); });
    ScrollBox1->SetClicked([this](QPoint at) {
        if (m_model.ClickWritten(at))
            ScrollBox1->PaintBox()->update();
    });
    ScrollBox2 = new RhythmNotationView(Bevel4);
    ScrollBox2->setObjectName(QStringLiteral("ScrollBox2"));
    ScrollBox2->SetPainter([this](QPainter& painter, QSize size) { PaintChanged(painter, size); });
    ScrollBox2->hide();

    resize(640, 480);
    Layout();
    ShowModel();
}

TRytmeKorr::~TRytmeKorr() = default;

std::vector<TRhythmWindow::FormText> TRytmeKorr::FormTexts()
{
    std::vector<FormText> texts = TRhythmWindow::FormTexts();
    const auto text = [this](QString RytmeKorrTexts::*field) {
        return [this, field](const QString& value) {
            RytmeKorrTexts changed = m_model.Texts();
            changed.*field = value;
            m_model.SetTexts(changed);
        };
    };
    texts.emplace_back(QStringLiteral("PlayingText"), text(&RytmeKorrTexts::PlayingText));
    texts.emplace_back(QStringLiteral("MarkText"), text(&RytmeKorrTexts::MarkText));
    texts.emplace_back(QStringLiteral("VerdictFormat"), text(&RytmeKorrTexts::VerdictFormat));
    for (QLabel* label : {Label5, Label6, Label7}) {
        texts.emplace_back(label->objectName(), [this, label](const QString& value) {
            label->setText(value);
            Layout();
        });
    }
    return texts;
}

void TRytmeKorr::ShowModel()
{
    TRhythmWindow::ShowModel();
    Image13->setVisible(m_model.RightPictureShown);
    Label5->setVisible(m_model.HintShown);
    Label7->setVisible(m_model.ChangedShown);
    ScrollBox2->setVisible(m_model.ChangedShown);
    Layout();
    ScrollBox1->PaintBox()->update();
    ScrollBox2->PaintBox()->update();
}

void TRytmeKorr::resizeEvent(QResizeEvent* event)
{
    TRhythmWindow::resizeEvent(event);
    Layout();
}

void TRytmeKorr::showEvent(QShowEvent* event)
{
    TRhythmWindow::showEvent(event);
    ControlButtons->SetFocusIndex(1);
}

void TRytmeKorr::hideEvent(QHideEvent* event)
{
    if (m_model.Playing)
        StopPlaying();
    TRhythmWindow::hideEvent(event);
}

void TRytmeKorr::Layout()
{
    // A right verdict stands just right of its picture.
    const int textLeft = m_model.RightPictureShown ? kMargin + kPictureSize + kPictureGap : kMargin;
    Label4->setGeometry(textLeft, kLineTop, std::max(0, width() - textLeft - kMargin), kLineHeight);
    Label5->setGeometry(kMargin, kHintTop, std::max(0, width() - 2 * kMargin), kCaptionHeight);
    const int bevelHeight = std::max(0, height() - kBevelTop - kMargin);
    const int bevelWidth = std::max(0, width() - 2 * kMargin);
    Bevel4->setGeometry(kMargin, kBevelTop, bevelWidth, bevelHeight);
    SpeedButton10->setGeometry(std::max(0, width() - kMargin - kTipSize), kBevelTop - kTipSize - 4,
                               kTipSize, kTipSize);

    // One notation area fills the frame; after the check the two share it, one above the
    // other, each under its caption.
    const int inner = std::max(0, bevelWidth - 2 * kMargin);
    const int half = std::max(0, (bevelHeight - 3 * kMargin) / 2);
    const int firstHeight =
        m_model.ChangedShown ? half - kCaptionHeight : bevelHeight - 2 * kMargin - kCaptionHeight;
    Label6->setGeometry(kMargin, kMargin / 2, inner, kCaptionHeight);
    ScrollBox1->setGeometry(kMargin, kMargin / 2 + kCaptionHeight, inner, std::max(0, firstHeight));
    const int secondTop = kMargin / 2 + kCaptionHeight + std::max(0, firstHeight) + kMargin;
    Label7->setGeometry(kMargin, secondTop, inner, kCaptionHeight);
    ScrollBox2->setGeometry(kMargin, secondTop + kCaptionHeight, inner,
                            std::max(0, bevelHeight - secondTop - kCaptionHeight - kMargin));

    // The written rhythm is laid out on its area's width, where clicks find its notes.
    m_model.SetDrawingWidth(ScrollBox1->viewport()->width());
    ScrollBox1->SetDrawingHeight(m_model.DrawWritten().Height.value_or(0));
    if (m_model.ChangedShown)
        ScrollBox2->SetDrawingHeight(
            m_model.DrawChanged(ScrollBox2->viewport()->width()).Height.value_or(0));
}

void TRytmeKorr::PaintWritten(QPainter& painter, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    RhythmPainter rhythm;
    m_model.SetDrawingWidth(size.width());
    rhythm.Paint(painter, m_model.DrawWritten());
    if (m_model.MarkedBar[0] > 0)
        rhythm.Paint(painter, m_model.Rytme().MarkBar(m_model.MarkedBar[0], 0, size.width()));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgb(kMarkOutline), 1));
    for (const RytmeKorrMark& mark : m_model.Marks()) {
        painter.setBrush(QColor::fromRgb(static_cast<QRgb>(mark.Rgb)));
        painter.drawEllipse(mark.Box);
    }
}

void TRytmeKorr::PaintChanged(QPainter& painter, QSize size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    RhythmPainter rhythm;
    rhythm.Paint(painter, m_model.DrawChanged(size.width()));
    if (m_model.ChangedShown && m_model.MarkedBar[1] > 0)
        rhythm.Paint(painter, m_model.Rytme().MarkBar(m_model.MarkedBar[1], 1, size.width()));
}

} // namespace pv
