// The splash window.
#include "shell/startmenu/ui/TVelkommen.h"

#include "music/ui/MusicFont.h"

#include <array>
#include <cmath>

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace pv {

namespace {

const QColor kNavy(0x1B, 0x2A, 0x4A);
const QColor kGold(0xC8, 0x8A, 0x1E);

QFont PixelFont(const QString& family, int pixels, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void DrawGlyph(QPainter& p, char32_t code, const QFont& font, QPointF centre, double height)
{
    QPainterPath path;
    path.addText(0, 0, font, QString::fromUcs4(&code, 1));
    const QRectF ink = path.boundingRect();
    const double scale = height / ink.height();
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(scale, scale);
    t.translate(-ink.center().x(), -ink.center().y());
    p.drawPath(t.map(path));
}

// A staff that sweeps gently across the picture, with a clef and a rising phrase on it.
void DrawStaff(QPainter& p)
{
    const double space = 7.0;
    const double left = 16.0;
    const double right = 274.0;
    auto lineY = [&](double x, int line) {
        const double bend = 6.0 * std::sin((x - left) / (right - left) * 3.14159);
        return 150.0 - line * space - bend;
    };
    p.setPen(QPen(kNavy.lighter(170), 1.1));
    for (int line = 0; line < 5; ++line) {
        QPainterPath path;
        path.moveTo(left, lineY(left, line));
        for (double x = left + 4; x <= right; x += 4)
            path.lineTo(x, lineY(x, line));
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    DrawGlyph(p, 0x1D11E, MusicSymbolFont(40), QPointF(left + 14, lineY(left + 14, 2) + 1),
              7.2 * space);

    // A phrase of eighths in pairs, each pair beamed: G A | B D | C E | G (a whole note).
    const std::array<int, 7> steps = {2, 3, 4, 6, 5, 7, 9}; // half spaces above the bottom line
    const double firstX = 58.0;
    const double stepX = 28.0;
    const QFont headFont = MusicSymbolFont(28);
    std::array<QPointF, 6> stemTops{};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const double x = firstX + stepX * static_cast<double>(i) + (i >= 6 ? 10.0 : 0.0);
        const double y = lineY(x, 0) - steps[i] * space / 2.0;
        if (steps[i] >= 10 || steps[i] <= -2) {
            p.setPen(QPen(kNavy, 1.1));
            p.drawLine(QPointF(x - 7, y), QPointF(x + 7, y));
            p.setPen(Qt::NoPen);
        }
        if (i == 6) {
            DrawGlyph(p, 0x1D15D, headFont, QPointF(x, y), space * 1.05);
            continue;
        }
        DrawGlyph(p, 0x1D158, headFont, QPointF(x, y), space * 1.05);
        const double stemX = x + space * 0.62;
        stemTops[i] = QPointF(stemX, y - space * 3.3);
        p.setPen(QPen(kNavy, 1.3));
        p.drawLine(QPointF(stemX, y - 1), stemTops[i]);
        p.setPen(Qt::NoPen);
    }
    for (std::size_t i = 0; i + 1 < stemTops.size(); i += 2) {
        QPainterPath beam;
        beam.moveTo(stemTops[i] + QPointF(-0.6, 0));
        beam.lineTo(stemTops[i + 1] + QPointF(0.6, 0));
        beam.lineTo(stemTops[i + 1] + QPointF(0.6, 3.5));
        beam.lineTo(stemTops[i] + QPointF(-0.6, 3.5));
        beam.closeSubpath();
        p.drawPath(beam);
    }
}

// Two octaves of a keyboard along the bottom.
void DrawKeyboard(QPainter& p, const QRectF& area)
{
    const int whiteKeys = 14;
    const double keyWidth = area.width() / whiteKeys;
    p.setPen(QPen(kNavy, 1.0));
    p.setBrush(Qt::white);
    for (int i = 0; i < whiteKeys; ++i)
        p.drawRect(QRectF(area.left() + i * keyWidth, area.top(), keyWidth, area.height()));
    p.setBrush(kNavy);
    for (int i = 0; i < whiteKeys - 1; ++i) {
        const int inOctave = i % 7;
        if (inOctave == 2 || inOctave == 6)
            continue; // no black key between E and F, nor between B and C
        const double x = area.left() + (i + 1) * keyWidth - keyWidth * 0.3;
        p.drawRect(QRectF(x, area.top(), keyWidth * 0.6, area.height() * 0.6));
    }
}

} // namespace

TVelkommen::TVelkommen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setFixedSize(kWidth, kHeight);

    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(0, 0, kWidth, kHeight);
    m_image1->setPixmap(SplashPicture());
    m_image1->installEventFilter(this);

    // Right-aligned: the texts grow to the left of a fixed right edge.
    constexpr int kRightEdge = 278;
    m_label6 = new QLabel(this);
    m_label6->setObjectName(QStringLiteral("Label6"));
    m_label6->setFont(PixelFont(QStringLiteral("Arial"), 11));
    m_label6->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_label6->setGeometry(kRightEdge - 160, 64, 160, 16);
    m_label6->setAttribute(Qt::WA_TranslucentBackground);
    m_label6->setStyleSheet(QStringLiteral("color: black; background: transparent;"));
    m_label6->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_label11 = new QLabel(this);
    m_label11->setObjectName(QStringLiteral("Label11"));
    m_label11->setFont(PixelFont(QStringLiteral("Arial"), 9));
    m_label11->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_label11->setGeometry(kRightEdge - 100, 98, 100, 14);
    m_label11->setStyleSheet(QStringLiteral("color: grey; background: transparent;"));
    m_label11->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label11->setVisible(false);
}

void TVelkommen::ShowAtStartUp()
{
    show();
    raise();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TVelkommen::ShowVersion(const ProgramVersion& version)
{
    VersionMajor = version.Major;
    VersionMinor = version.Minor;
    VersionRelease = version.Release;
    VersionBuild = version.Build;
    m_label6->setText(SplashTitle(version));
    m_label11->setText(BuildText(version));
}

void TVelkommen::Panel1Click()
{
    hide();
}

void TVelkommen::showEvent(QShowEvent* event)
{
    ShowVersion(ReadVersionInfo());
    if (parentWidget() == nullptr) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen != nullptr)
            move(screen->geometry().center() - rect().center());
    }
    QWidget::showEvent(event);
}

bool TVelkommen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_image1 && event->type() == QEvent::MouseButtonRelease) {
        Panel1Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QPixmap TVelkommen::SplashPicture()
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    QLinearGradient paper(0, 0, 0, kHeight);
    paper.setColorAt(0.0, QColor(0xFD, 0xFB, 0xF5));
    paper.setColorAt(1.0, QColor(0xDD, 0xE7, 0xF4));
    p.fillRect(image.rect(), paper);

    // The name, with a golden line under it like a slur.
    p.setPen(kNavy);
    p.setFont(PixelFont(QStringLiteral("DejaVu Serif"), 44, true, true));
    p.drawText(QRect(0, 8, kWidth, 54), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("Pellivark"));
    QPainterPath slur;
    slur.moveTo(40, 62);
    slur.quadTo(kWidth / 2.0, 74, 176, 62);
    p.setPen(QPen(kGold, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(slur);

    DrawStaff(p);
    DrawKeyboard(p, QRectF(14, 206, kWidth - 28, 74));

    p.setPen(QPen(kNavy, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));
    p.end();
    return QPixmap::fromImage(image);
}

} // namespace pv
