// Painting, mouse and focus handling of the control strip.
#include "exercises/ui/TControlButton.h"

#include "exercises/base/ExerciseHost.h"

#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace pv {

namespace {

enum class Face : int
{
    Normal = 0,
    Hot = 1,
    Disabled = 2,
    Pressed = 3,
};

// The face picture leaves its top rows clear, so the key label above it stays readable.
constexpr int kFaceTopClear = 4;
constexpr int kFaceTop = 5;
constexpr int kFocusMarkSize = 7;
constexpr int kDefaultFontSize = 10;

struct FaceColours
{
    QColor top;
    QColor bottom;
    QColor border;
};

FaceColours ColoursOf(Face face)
{
    switch (face) {
    case Face::Hot:
        return {QColor(0x6a, 0x82, 0xa4), QColor(0x3c, 0x4f, 0x6a), QColor(0x22, 0x2e, 0x3e)};
    case Face::Disabled:
        return {QColor(0x8c, 0x90, 0x96), QColor(0x76, 0x7a, 0x80), QColor(0x5e, 0x62, 0x68)};
    case Face::Pressed:
        return {QColor(0x22, 0x2b, 0x38), QColor(0x36, 0x44, 0x57), QColor(0x14, 0x1a, 0x22)};
    case Face::Normal:
        break;
    }
    return {QColor(0x52, 0x66, 0x82), QColor(0x2c, 0x38, 0x4a), QColor(0x1a, 0x22, 0x2e)};
}

void DrawFace(QPainter& painter, int x, Face face)
{
    const QRectF body(x + 0.5, kFaceTop + kFaceTopClear + 0.5, TControlButton::kFaceWidth - 1.0,
                      TControlButton::kFaceHeight - kFaceTopClear - 1.0);
    const FaceColours colours = ColoursOf(face);
    QLinearGradient gradient(body.topLeft(), body.bottomLeft());
    gradient.setColorAt(0.0, colours.top);
    gradient.setColorAt(1.0, colours.bottom);
    QPainterPath path;
    path.addRoundedRect(body, 6.0, 6.0);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(colours.border, 1.0));
    painter.setBrush(gradient);
    painter.drawPath(path);
    if (face != Face::Pressed && face != Face::Disabled) {
        // A thin highlight under the top edge makes the face read as raised.
        painter.setPen(QPen(QColor(255, 255, 255, 60), 1.0));
        painter.drawLine(QPointF(body.left() + 5, body.top() + 1.5),
                         QPointF(body.right() - 5, body.top() + 1.5));
    }
    painter.restore();
}

void DrawFocusMark(QPainter& painter, int x, int y)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf0, 0xb0, 0x30));
    painter.drawEllipse(QRectF(x, y, kFocusMarkSize, kFocusMarkSize));
    painter.restore();
}

} // namespace

TControlButton::TControlButton(QWidget* parent) : QWidget(parent)
{
    setGeometry(4, 4, 641, 48);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    setMouseTracking(true);
}

void TControlButton::Press(int i)
{
    if (m_model.Press(i))
        repaint();
}

void TControlButton::SetFocusIndex(int i)
{
    m_model.FocusIndex = i;
    setFocus(Qt::OtherFocusReason);
    update();
}

int TControlButton::HitTest(int x, int y)
{
    if (m_bitmap.size() != size())
        m_bitmap = Render();
    if (!m_bitmap.rect().contains(x, y))
        return -1;
    const QRgb background = m_bitmap.pixel(0, 0);
    return ControlStripModel::HitTest(x, y, kCellWidth, [this, background](int px, int py) {
        return m_bitmap.pixel(px, py) == background;
    });
}

QImage TControlButton::Render() const
{
    QImage image(size(), QImage::Format_RGB32);
    PaintInto(image);
    return image;
}

int TControlButton::CaptionFontSize() const
{
    const int size = m_host != nullptr ? m_host->ProgramFontSize() : 0;
    return size > 0 ? size : kDefaultFontSize;
}

void TControlButton::PaintInto(QImage& image) const
{
    QPainter painter(&image);
    painter.fillRect(image.rect(), palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::TextAntialiasing, true);

    QFont captionFont(QStringLiteral("Arial"));
    captionFont.setPointSize(CaptionFontSize());
    QFont keyFont(QStringLiteral("Arial"));
    keyFont.setPointSize(7);
    const QFontMetrics captionMetrics(captionFont, &image);
    const QFontMetrics keyMetrics(keyFont, &image);
    const bool focused = hasFocus();

    for (int i = 0; i < ControlStripModel::kButtonCount; ++i) {
        const int x = kCellWidth * i;
        const bool enabled = m_model.IsEnabled(i);
        Face face = Face::Normal;
        if (!enabled)
            face = Face::Disabled;
        else if (i == m_model.PressedIndex)
            face = Face::Pressed;
        else if (i == m_model.HotIndex)
            face = Face::Hot;
        DrawFace(painter, x, face);

        const QString& caption = m_model.Captions[static_cast<std::size_t>(i)];
        const int d = face == Face::Pressed ? 1 : 0;
        const int textX = x + d + 1 + (kFaceWidth - captionMetrics.horizontalAdvance(caption)) / 2;
        const int textY = d + kFaceTop + (kFaceHeight - captionMetrics.height()) / 2;
        painter.setFont(captionFont);
        painter.setPen(face == Face::Hot ? QColor(0xff, 0xff, 0xff) : QColor(0xc0, 0xc0, 0xc0));
        painter.drawText(textX, textY + captionMetrics.ascent(), caption);

        if (focused && i == m_model.FocusIndex)
            DrawFocusMark(painter, x + kFaceWidth - 11, kFaceHeight - 5);

        if (enabled) {
            const QString key = QStringLiteral("F%1").arg(i + 5);
            painter.setFont(keyFont);
            painter.setPen(QColor(0x40, 0x40, 0x40));
            painter.drawText(x + kFaceWidth - keyMetrics.horizontalAdvance(key),
                             keyMetrics.ascent() - 1, key);
        }
    }
}

void TControlButton::paintEvent(QPaintEvent*)
{
    // The hit test reads the colours of this very picture.
    if (m_bitmap.size() != size())
        m_bitmap = QImage(size(), QImage::Format_RGB32);
    PaintInto(m_bitmap);
    QPainter painter(this);
    painter.drawImage(0, 0, m_bitmap);
}

void TControlButton::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit StripMouseDown(event->button(), at.x(), at.y());
}

void TControlButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit StripMouseUp(event->button(), at.x(), at.y());
}

void TControlButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit StripMouseMove(at.x(), at.y());
}

void TControlButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_model.MouseLeave();
    update();
    if (m_host != nullptr)
        m_host->ClockRepaintCurrentKind();
}

void TControlButton::focusInEvent(QFocusEvent* event)
{
    m_model.FixFocusIndex();
    update();
    QWidget::focusInEvent(event);
}

void TControlButton::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

} // namespace pv
