// The start menu.
#include "shell/startmenu/ui/TMenuDialog.h"

#include "shell/startmenu/StartMenuIntro.h"
#include "shell/startmenu/ui/KindPicture.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace pv {

namespace {

constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 78;
constexpr int kGap = 8;
constexpr int kMargin = 10;
constexpr int kPaintBoxWidth = 380;
constexpr int kPaintBoxHeight = 5 * kButtonHeight + 4 * kGap;
constexpr int kPaintBoxLeft = kMargin + 2 * kButtonWidth + kGap + 14;
constexpr int kLabelHeight = 20;
constexpr int kPanelWidth = kPaintBoxLeft + kPaintBoxWidth + kMargin;
constexpr int kPanelHeight = kMargin + kPaintBoxHeight + 6 + kLabelHeight + kMargin;
constexpr int kScrollMs = 100;
constexpr int kHoverPicture = 64;
constexpr int kCaptionY = 68;
constexpr int kHoverTextY = 84;
constexpr int kTextX = 7;
constexpr const char* kTagProperty = "pvKindTag";

// The speed button of each kind (kind 1 first) and where it stands: intervals and chords down
// the left column from the easiest exercise, scales, melody and rhythm down the right one.
struct ButtonPlace
{
    const char* name;
    int column;
    int row;
};
constexpr std::array<ButtonPlace, 10> kButtonPlaces = {{
    {"SpeedButton10", 0, 2}, // chord identification
    {"SpeedButton9", 0, 1},  // interval identification
    {"SpeedButton5", 0, 0},  // interval comparison
    {"SpeedButton8", 1, 2},  // rhythm imitation
    {"SpeedButton11", 1, 3}, // rhythm reading
    {"SpeedButton7", 1, 4},  // rhythm error detection
    {"SpeedButton14", 0, 3}, // chord inversions
    {"SpeedButton12", 1, 0}, // scales
    {"SpeedButton6", 1, 1},  // melody dictation
    {"SpeedButton13", 0, 4}, // chord progressions
}};

QFont BoldOf(QFont font)
{
    font.setBold(true);
    return font;
}

int LineHeightOf(const QFont& font)
{
    return QFontMetrics(font).height();
}

} // namespace

/// The text area: painted by the menu; the pointer moving over it changes nothing, so a
/// description stays readable while the pointer rests on it.
class TMenuDialog::DescriptionBox final : public QWidget
{
public:
    explicit DescriptionBox(TMenuDialog& menu, QWidget* parent) : QWidget(parent), m_menu(menu)
    {
        setObjectName(QStringLiteral("PaintBox1"));
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        m_menu.PaintDescription(painter);
    }
    void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }

private:
    TMenuDialog& m_menu;
};

QColor TMenuDialog::StartMenuColour()
{
    // A warm paper white; every screen of today has the colours for it.
    return QColor(0xF8, 0xF0, 0xE0);
}

TMenuDialog::TMenuDialog(Context context, QWidget* parent)
    : QWidget(parent), m_context(std::move(context)), m_bitmapFont(QApplication::font()),
      // Lines are measured in bold: the first lines are drawn bold whatever they hold, and a
      // line wrapped for the regular face would run past the text area's edge.
      m_model(
          [this](const QString& text) {
              return QFontMetrics(BoldOf(m_bitmapFont)).horizontalAdvance(text);
          },
          kPaintBoxWidth, kPaintBoxHeight, StartMenuModel::HoverIgnoredFor(m_context.Arguments))
{
    setObjectName(QStringLiteral("StartMenuForm"));
    m_bitmapFont.setPointSize(10);
    // The text area is painted before the menu is started (behind the name question and the
    // first-run wizard): its lines are one font height apart from the first paint, or the
    // wrapped lines of a paragraph are written over each other.
    m_model.LineHeight = LineHeightOf(m_bitmapFont);

    m_panel = new QWidget(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFixedSize(kPanelWidth, kPanelHeight);
    m_panel->setMouseTracking(true);
    m_panel->setProperty(kTagProperty, 0);
    m_panel->installEventFilter(this);

    for (std::size_t i = 0; i < kButtonPlaces.size(); ++i) {
        const ButtonPlace& place = kButtonPlaces[i];
        const ExerciseKind kind = kExerciseKinds[i];
        auto* button = new QToolButton(m_panel);
        button->setObjectName(QString::fromLatin1(place.name));
        button->setGeometry(kMargin + place.column * (kButtonWidth + kGap),
                            kMargin + place.row * (kButtonHeight + kGap), kButtonWidth,
                            kButtonHeight);
        button->setIconSize(QSize(kHoverPicture, kHoverPicture));
        button->setIcon(KindPicture(kind, QSize(kHoverPicture, kHoverPicture)));
        button->setFocusPolicy(Qt::NoFocus);
        button->setMouseTracking(true);
        button->setProperty(kTagProperty, KindNumber(kind));
        button->installEventFilter(this);
        connect(button, &QToolButton::clicked, this, [this, kind] {
            if (m_context.KindClicked)
                m_context.KindClicked(KindNumber(kind));
        });
        m_kindButtons[i] = button;
    }

    m_paintBox = new DescriptionBox(*this, m_panel);
    m_paintBox->setGeometry(kPaintBoxLeft, kMargin, kPaintBoxWidth, kPaintBoxHeight);

    m_label4 = new QLabel(m_panel);
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_label4->setText(QStringLiteral("Pellivark on the web"));
    m_label4->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_label4->setGeometry(kPaintBoxLeft, kMargin + kPaintBoxHeight + 6, kPaintBoxWidth,
                          kLabelHeight);
    m_label4->setCursor(Qt::PointingHandCursor);
    QFont linkFont = m_label4->font();
    linkFont.setUnderline(true);
    m_label4->setFont(linkFont);
    QPalette linkPalette = m_label4->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0x1A, 0x4F, 0xA0));
    m_label4->setPalette(linkPalette);
    m_label4->installEventFilter(this);

    m_timer.setInterval(kScrollMs);
    connect(&m_timer, &QTimer::timeout, this, &TMenuDialog::Timer1Timer);
    resize(kPanelWidth, kPanelHeight);
}

TMenuDialog::~TMenuDialog() = default;

QToolButton* TMenuDialog::KindButton(ExerciseKind kind) const
{
    if (!IsKnownKind(kind))
        return nullptr;
    return m_kindButtons[static_cast<std::size_t>(KindNumber(kind) - 1)];
}

void TMenuDialog::Start()
{
    m_model.Start(LineHeightOf(m_bitmapFont));
    SyncTimer();
    if (m_context.Intro != nullptr)
        m_context.Intro->Start();
    m_paintBox->update();
}

void TMenuDialog::StopIntro()
{
    if (m_context.Intro != nullptr)
        m_context.Intro->StopIntro();
}

void TMenuDialog::SetMenuFont(const QFont& font)
{
    for (QToolButton* button : m_kindButtons) {
        QFont buttonFont = button->font();
        buttonFont.setFamily(font.family());
        button->setFont(buttonFont);
    }
    m_bitmapFont.setFamily(font.family());
    // Another family is another height: the lines keep clear of each other.
    m_model.LineHeight = LineHeightOf(m_bitmapFont);
    m_paintBox->update();
}

void TMenuDialog::FormActivate()
{
    m_model.FormActivate();
    SyncTimer();
}

void TMenuDialog::FormDeactivate()
{
    m_model.FormDeactivate();
    SyncTimer();
}

void TMenuDialog::Timer1Timer()
{
    m_model.Timer1Timer();
    SyncTimer();
    m_paintBox->update();
}

void TMenuDialog::SyncTimer()
{
    if (m_model.Timer1Enabled && !m_timer.isActive())
        m_timer.start();
    else if (!m_model.Timer1Enabled && m_timer.isActive())
        m_timer.stop();
}

void TMenuDialog::HoverOver(int tag)
{
    const bool changed = m_model.Hover(tag, [this](int kind) {
        const std::optional<ExerciseKind> known = KindFromNumber(kind);
        return known && m_context.KindDescription ? m_context.KindDescription(*known) : QString();
    });
    SyncTimer();
    if (changed)
        m_paintBox->update();
}

bool TMenuDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label4) {
        if (event->type() == QEvent::MouseButtonRelease && m_context.WebLinkClicked)
            m_context.WebLinkClicked();
        return false;
    }
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const QVariant tag = watched->property(kTagProperty);
        if (tag.isValid())
            HoverOver(tag.toInt());
        // A button passes a move it has no use for on to the panel, which would take the
        // pointer for being over no button.
        if (tag.toInt() != StartMenuModel::kNoKind && event->type() == QEvent::MouseMove &&
            static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TMenuDialog::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::WindowDeactivate)
        FormDeactivate();
    return QWidget::event(event);
}

void TMenuDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int left = (width() - m_panel->width()) / 2;
    int top = (height() - m_panel->height()) / 2;
    // Too low for the whole panel: the top row of buttons stays in sight.
    if (height() < m_panel->height())
        top = 5 - m_kindButtons[static_cast<std::size_t>(
                                    KindNumber(ExerciseKind::IntervalComparison) - 1)]
                      ->y();
    m_panel->move(left, top);
}

void TMenuDialog::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    FormActivate();
}

void TMenuDialog::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // The work area shows one view at a time: the menu hidden behind an exercise is as good
    // as deactivated, and its text must not scroll on where nobody sees it.
    FormDeactivate();
}

void TMenuDialog::closeEvent(QCloseEvent* event)
{
    // The menu lives as long as the main window: nothing closes it on its own.
    event->ignore();
}

void TMenuDialog::PaintDescription(QPainter& painter)
{
    const QRect area = m_paintBox->rect();
    painter.fillRect(area, StartMenuColour());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setPen(m_panel->palette().color(QPalette::WindowText));
    const int lineHeight = m_model.LineHeight;
    const std::optional<ExerciseKind> hovered = KindFromNumber(m_model.HoverKind);
    if (hovered) {
        painter.drawPixmap((area.width() - kHoverPicture) / 2, 1,
                           KindPicture(*hovered, QSize(kHoverPicture, kHoverPicture)));
        painter.setFont(BoldOf(m_bitmapFont));
        const QString caption = m_context.KindCaption ? m_context.KindCaption(*hovered) : QString();
        painter.drawText(QRect(0, kCaptionY, area.width(), lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, caption);
        painter.setFont(m_bitmapFont);
        // A large font must not write the first line over the name.
        int y = std::max(kHoverTextY, kCaptionY + lineHeight);
        for (const QString& line : m_model.HoverLines) {
            painter.drawText(QRect(0, y, area.width(), lineHeight),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, line);
            y += lineHeight;
        }
    } else {
        int y = m_model.ScrollY;
        const QFont bold = BoldOf(m_bitmapFont);
        for (int i = std::max(0, m_model.FirstLine);
             i < m_model.Descriptions.size() && y < area.height(); ++i) {
            const QString& line = m_model.Descriptions.at(i);
            if (!line.isEmpty()) {
                painter.setFont(StartMenuModel::BoldLine(i) ? bold : m_bitmapFont);
                painter.drawText(QRect(kTextX, y, area.width() - kTextX, lineHeight),
                                 Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, line);
            }
            y += lineHeight;
        }
    }
    painter.setPen(m_panel->palette().color(QPalette::Mid));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

} // namespace pv
