#include "exercises/ui/InstrumentViews.h"

#include "exercises/progressions/ProgressionNaming.h"
#include "music/notation/Guitar.h"
#include "music/notation/Pitch.h"
#include "music/sequencer/InstrumentNames.h"
#include "music/strings/UIStrings.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace pv {

namespace {

/// A colour value with red in its lowest byte.
QColor Bgr(int value)
{
    return QColor(value & 255, (value >> 8) & 255, (value >> 16) & 255);
}

const QColor kYellow = Bgr(65535);
const QColor kGreen = Bgr(65280);
const QColor kRed = Bgr(255);
const QColor kBrown = Bgr(1330804);
const QColor kGold = Bgr(5617117);
// An adjuster at rest writes on black: a dark green there can hardly be read, so its text and
// outline take a middle green that still stays below the lit adjuster's bright one.
const QColor kRestingAdjuster = QColor(0, 176, 0);

QColor DotFill(DotColour colour)
{
    switch (colour) {
    case DotColour::Right:
        return kGreen;
    case DotColour::Wrong:
        return kRed;
    case DotColour::Pending:
        break;
    }
    return kYellow;
}

QFont Font(const char* family, int pointSize, bool bold = false)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

void DrawDot(QPainter& p, const LayoutRect& r, DotColour colour, int number, int fontSize)
{
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(DotFill(colour));
    p.drawEllipse(QRect(r.X, r.Y, r.Width, r.Height));
    if (number > 0) {
        p.setFont(Font("Arial", fontSize));
        p.drawText(QRect(r.X, r.Y - 1, r.Width, r.Height + 2), Qt::AlignCenter,
                   QString::number(number));
    }
}

bool ProgressionMode(const AkkordModel& model)
{
    return model.Mode == IdentificationMode::ChordProgressions;
}

bool Held(const AkkordModel& model)
{
    return model.HeldNote.Pitch.Note != 0;
}

/// The held note as shown: the model keeps it without the display offset.
TPitch HeldPitch(const AkkordModel& model)
{
    TPitch pitch = model.HeldNote.Pitch;
    pitch.Note = static_cast<std::int8_t>(std::clamp(pitch.Note + model.DisplayOffset, 0, 127));
    return pitch;
}

void DrawOutlinedText(QPainter& p, const QRect& box, const QString& text, const QFont& font)
{
    QPainterPath path;
    const QFontMetrics metrics(font);
    const int x = box.x() + (box.width() - metrics.horizontalAdvance(text)) / 2;
    path.addText(x, box.y() + metrics.ascent(), font, text);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(path);
}

} // namespace

// ---- Piano ---------------------------------------------------------------------------------

TPianoView::TPianoView(const AkkordModel& model, const UIStringTable& strings, QWidget* parent)
    : QWidget(parent), m_model(model), m_strings(strings)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    m_lightTimer = new QTimer(this);
    m_lightTimer->setInterval(150);
    connect(m_lightTimer, &QTimer::timeout, this, [this] { AdjusterTick(); });
}

void TPianoView::SetOctaves(int octaves)
{
    m_octaves = std::clamp(octaves, 1, 8);
    update();
}

void TPianoView::SetVoice(PianoVoice voice)
{
    m_voice = voice;
    update();
}

void TPianoView::UseLightTimer(QTimer* timer)
{
    if (timer == nullptr || timer == m_lightTimer) {
        return;
    }
    if (m_lightTimer->parent() == this) {
        delete m_lightTimer;
    }
    m_lightTimer = timer;
}

void TPianoView::SwitchLightsOff()
{
    m_adjusters = PianoAdjusterState{};
    m_lightTimer->stop();
    update();
}

std::array<QString, 2> TPianoView::AdjusterTexts() const
{
    return {ProgramName ? ProgramName(m_voice.Program) : InstrumentName(m_voice.Program),
            m_strings.StrVolume + QStringLiteral(" = ") + QString::number(m_voice.Velocity)};
}

void TPianoView::AdjusterTick()
{
    Apply(m_adjusters.Tick(m_voice));
}

void TPianoView::Apply(const AdjusterEffect& effect)
{
    if (effect.VoiceChanged) {
        emit VoiceStepped(m_voice, effect.ProgramChanged);
    }
    if (m_adjusters.TimerRunning() != m_lightTimer->isActive()) {
        if (m_adjusters.TimerRunning()) {
            m_lightTimer->start();
        } else {
            m_lightTimer->stop();
        }
    }
    if (effect.Repaint) {
        update();
    }
}

void TPianoView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::black);
    const int h = height();
    const int displayOffset = m_model.DisplayOffset;

    // The keyboard is given for a box of the nominal height; other heights stretch it.
    p.save();
    p.translate(0, kPianoKeyboardTop);
    p.scale(1.0, static_cast<double>(std::max(1, h - kPianoKeyboardTop)) /
                     (kPianoNominalHeight - kPianoKeyboardTop));
    p.translate(0, -kPianoKeyboardTop);
    for (const PianoKeyShape& key : PianoKeyboardShapes(m_octaves)) {
        const QRectF r(key.Rect.X, key.Rect.Y, key.Rect.Width, key.Rect.Height);
        if (key.Black) {
            p.setPen(QPen(Qt::black, 1));
            QLinearGradient shade(r.topLeft(), r.topRight());
            shade.setColorAt(0, QColor(60, 60, 60));
            shade.setColorAt(1, QColor(10, 10, 10));
            p.setBrush(shade);
            p.drawRoundedRect(r.adjusted(0.5, 0, -0.5, 0), 2, 2);
        } else {
            p.setPen(QPen(QColor(90, 90, 90), 1));
            p.setBrush(QColor(250, 248, 240));
            p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
    }
    // Middle C's mark.
    const int markX = MiddleCMarkX(displayOffset);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QRectF(markX + 3, kMiddleCMarkY - 3, 6, 3));

    const bool held = Held(m_model);
    if (held) {
        if (const auto key = PianoKeyOf(HeldPitch(m_model).Note, displayOffset)) {
            p.setPen(Qt::NoPen);
            p.setBrush(kRed);
            for (const LayoutRect& r : PianoKeyHighlight(*key)) {
                p.drawRect(QRect(r.X, r.Y, r.Width, r.Height));
            }
        }
    }
    if (ProgressionMode(m_model)) {
        for (const PianoDegreeLabel& label :
             PianoDegreeLabels(m_model.QuestionRoot, m_model.Sheet.Minor, displayOffset)) {
            const QString text = QString::fromLatin1(
                RomanDegreeNames[static_cast<std::size_t>(label.Semitones % 12)]);
            const bool longText = text.size() > 2;
            const QRect box(label.Key.X - 6, label.Y, kPianoDotWidth + 12, 14);
            if (label.Key.Black) {
                DrawOutlinedText(p, box, text, Font("Times New Roman", longText ? 6 : 7, true));
            } else {
                p.setPen(Qt::black);
                p.setFont(Font("Times New Roman", longText ? 7 : 8));
                p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, text);
            }
        }
    }
    const bool numbered =
        m_model.Mode == IdentificationMode::MelodyDictation || ProgressionMode(m_model);
    for (const PianoDot& dot : PianoDots(ShownNotesOf(m_model), displayOffset)) {
        DrawDot(p, dot.Ellipse, dot.Colour, numbered ? dot.Number : 0, 8);
    }
    p.restore();

    if (held) {
        const TPitch pitch = HeldPitch(m_model);
        if (const auto key = PianoKeyOf(pitch.Note, displayOffset)) {
            p.setPen(Qt::white);
            p.setFont(Font("Arial", 9, true));
            p.drawText(QRect(key->X - 20, 0, kPianoDotWidth + 40, kPianoKeyboardTop),
                       Qt::AlignCenter, NoteName(pitch));
        }
        return;
    }
    // Without a held note the adjusters show the piano's voice.
    const auto boxes = PianoAdjusters(m_octaves);
    const std::array<QString, 2> texts = AdjusterTexts();
    p.setFont(Font("Arial", 7));
    for (std::size_t b = 0; b < 2; ++b) {
        const bool lit = m_adjusters.Lit(static_cast<int>(b));
        const LayoutRect& box = boxes[b].Box;
        const LayoutRect& text = boxes[b].Text;
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? Bgr(3618615) : Qt::black);
        p.drawRect(QRect(text.X, text.Y, text.Width, text.Height));
        p.setBrush(lit ? kGreen : QColor(40, 40, 40));
        p.setPen(QPen(lit ? kGreen : kRestingAdjuster, 1));
        const int mid = box.Y + box.Height / 2;
        const QPolygon down({QPoint(box.X + kAdjusterArrowWidth - 3, box.Y + 2),
                             QPoint(box.X + kAdjusterArrowWidth - 3, box.Bottom() - 2),
                             QPoint(box.X + 2, mid)});
        const QPolygon up({QPoint(text.Right() + 2, box.Y + 2),
                           QPoint(text.Right() + 2, box.Bottom() - 2),
                           QPoint(box.Right() - 2, mid)});
        p.drawPolygon(down);
        p.drawPolygon(up);
        p.setPen(lit ? kGreen : kRestingAdjuster);
        p.drawText(QRect(text.X, text.Y - 1, text.Width, text.Height + 2), Qt::AlignCenter,
                   QFontMetrics(p.font()).elidedText(texts[b], Qt::ElideRight, text.Width));
    }
}

void TPianoView::PressAt(QPoint point, bool drag, bool rightButton)
{
    const int y = PianoNominalY(point.y(), height());
    const auto pitch = PianoPitchAt(point.x(), y, TopPitch());
    if (!pitch) {
        return;
    }
    const InstrumentEntry entry = EntryForPitch(m_model, *pitch + m_model.DisplayOffset, 0,
                                                kEntrySourcePiano, drag, rightButton);
    if (entry.Action != InstrumentEntry::Kind::None) {
        emit Entry(entry);
    }
}

void TPianoView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const auto boxes = PianoAdjusters(m_octaves);
    const AdjusterHalf half = AdjusterHalfAt(boxes, at.x(), at.y());
    // The adjusters are hidden while a note is held.
    if (half != AdjusterHalf::None && !Held(m_model)) {
        Apply(m_adjusters.Press(half, m_voice));
        return;
    }
    // An adjuster's text field does nothing, and plays no key under it either.
    for (const PianoAdjusterBox& box : boxes) {
        if (at.x() >= box.Box.X && at.x() < box.Box.Right() && at.y() >= box.Box.Y &&
            at.y() < box.Box.Bottom()) {
            return;
        }
    }
    PressAt(at, false, event->button() == Qt::RightButton);
}

void TPianoView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const AdjusterHalf half = AdjusterHalfAt(PianoAdjusters(m_octaves), at.x(), at.y());
    if (half != AdjusterHalf::None) {
        if (!Held(m_model)) {
            Apply(m_adjusters.Hover(half));
        }
        return;
    }
    if (Held(m_model) && !m_model.ExternalHold) {
        PressAt(at, true, false);
    }
}

void TPianoView::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_adjusters.Pressed() != AdjusterHalf::None) {
        Apply(m_adjusters.Release());
        return;
    }
    const InstrumentEntry entry = EntryForRelease(m_model, event->button() == Qt::RightButton);
    if (entry.Action != InstrumentEntry::Kind::None) {
        emit Entry(entry);
    }
}

// ---- Guitar --------------------------------------------------------------------------------

TGuitarView::TGuitarView(const AkkordModel& model, QWidget* parent)
    : QWidget(parent), m_model(model)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void TGuitarView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const GuitarNeck neck = Neck();
    const int n = neck.NeckLength;
    const int w = width();
    p.fillRect(rect(), kBrown);

    // The nut, then the frets.
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(63, 0, 63, n);
    p.setPen(QPen(kGold, 3));
    p.drawLine(65, 0, 65, n);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(67, 0, 67, n);
    for (int f = 1; f <= neck.FretCount; ++f) {
        const int x = neck.FretX[static_cast<std::size_t>(f)];
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(x - 1, 3, x - 1, n - 2);
        p.setPen(QPen(kGold, 1));
        p.drawLine(x, 3, x, n - 2);
        p.setPen(QPen(Qt::black, 1));
        p.drawLine(x + 1, 3, x + 1, n - 2);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    for (const LayoutRect& r : GuitarInlays(neck)) {
        p.drawEllipse(QRect(r.X, r.Y, r.Width, r.Height));
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int s = 1; s <= 6; ++s) {
        const int y = GuitarStringY(neck, s);
        p.setPen(QPen(QColor(176, 176, 176), s <= 3 ? 1 : 2));
        p.drawLine(0, y, w, y);
        if (s == 6) {
            p.setPen(QPen(Qt::white, 1));
            p.drawLine(0, y - 1, w, y - 1);
            p.setPen(QPen(QColor(128, 128, 128), 1));
            p.drawLine(0, y + 2, w, y + 2);
        }
    }
    p.setRenderHint(QPainter::Antialiasing);
    const QFont font = Font("Arial", n < 132 ? 8 : 9);
    const QFontMetrics metrics(font);
    p.setFont(font);
    const auto nameAtNut = [&](int string, const QString& name, const QColor& colour) {
        const int y = GuitarStringY(neck, string);
        const QRect box(2, y - metrics.height() / 2, 34, metrics.height());
        p.setPen(Qt::NoPen);
        p.setBrush(kBrown);
        p.drawRect(box.adjusted(0, 2, 0, -2));
        p.setPen(colour);
        p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, name);
    };

    const bool progression = ProgressionMode(m_model);
    const std::optional<int> fold =
        progression ? std::optional<int>(m_model.QuestionRoot) : std::nullopt;
    if (progression) {
        p.setFont(Font("Times New Roman", 8));
        for (const GuitarDegreeLabel& label :
             GuitarDegreeLabels(neck, m_model.QuestionRoot, m_model.Sheet.Minor, 0)) {
            const int x = GuitarFretCentreX(neck, label.Fret);
            const int y = GuitarStringY(neck, label.String);
            const QString text = QString::fromLatin1(
                RomanDegreeNames[static_cast<std::size_t>(label.Semitones % 12)]);
            // Between the string and the one above, clear of the dots on the string.
            const int gap = neck.NeckLength / 6;
            const QRect box(x - 14, y - gap / 2 - 6, 28, 12);
            p.setPen(Qt::white);
            p.drawText(box, Qt::AlignCenter, text);
        }
        p.setFont(font);
    }

    const bool numbered = m_model.Mode == IdentificationMode::MelodyDictation || progression;
    for (const GuitarDot& dot :
         GuitarDots(neck, ShownNotesOf(m_model), m_model.DisplayOffset, fold)) {
        if (!progression) {
            nameAtNut(dot.String, NoteName(dot.Note.Pitch), Qt::white);
        }
        DrawDot(p, dot.Ellipse, dot.Colour, numbered ? dot.Number : 0, 8);
    }

    if (Held(m_model)) {
        ShownNote held;
        held.Note = m_model.HeldNote;
        held.Note.Pitch = HeldPitch(m_model);
        const auto dots = GuitarDots(neck, {held}, m_model.DisplayOffset, std::nullopt);
        if (!dots.empty()) {
            const GuitarDot& dot = dots.front();
            nameAtNut(dot.String, NoteName(held.Note.Pitch), kRed);
            const int cx = dot.Ellipse.X + dot.Ellipse.Width / 2;
            const int cy = dot.Ellipse.Y + dot.Ellipse.Height / 2;
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(kRed);
            p.drawEllipse(QRect(cx - 9, cy - 9, 19, 18));
        }
    }
}

void TGuitarView::PressAt(QPoint point, bool drag, bool rightButton)
{
    const auto hit = GuitarHitAt(Neck(), point.x(), point.y());
    if (!hit) {
        return;
    }
    const InstrumentEntry entry = EntryForPitch(m_model, hit->Pitch + m_model.DisplayOffset,
                                                hit->String, kEntrySourceGuitar, drag, rightButton);
    if (entry.Action != InstrumentEntry::Kind::None) {
        emit Entry(entry);
    }
}

void TGuitarView::mousePressEvent(QMouseEvent* event)
{
    PressAt(event->position().toPoint(), false, event->button() == Qt::RightButton);
}

void TGuitarView::mouseMoveEvent(QMouseEvent* event)
{
    if (Held(m_model) && !m_model.ExternalHold) {
        PressAt(event->position().toPoint(), true, false);
    }
}

void TGuitarView::mouseReleaseEvent(QMouseEvent* event)
{
    const InstrumentEntry entry = EntryForRelease(m_model, event->button() == Qt::RightButton);
    if (entry.Action != InstrumentEntry::Kind::None) {
        emit Entry(entry);
    }
}

} // namespace pv
