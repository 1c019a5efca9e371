// The main window's commands as actions, and its menus and tool windows built from the layout
// with them and with the slots the window fills itself.
#include "music/base/ExerciseKindUi.h"
#include "music/ui/MusicFont.h"
#include "music/ui/StaffPainter.h"
#include "shell/answerinput/ui/ScorePanel.h"
#include "shell/help/ui/HelpDesk.h"
#include "shell/help/ui/HelpMenu.h"
#include "shell/main/MainLayout.h"
#include "shell/main/ViewTags.h"
#include "shell/menu/MainMenuCommands.h"
#include "shell/metronome/MetronomeControls.h"
#include "shell/startmenu/ui/KindPicture.h"
#include "shell/ui/TPellivarkMain.h"

#include <algorithm>
#include <cmath>

#include <QAction>
#include <QActionGroup>
#include <QFrame>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace pv {

namespace {

constexpr std::array<const char*, 4> kViewNames = {"Exercise", "Exercise setup", "Results",
                                                   "User overview"};

/// The tempo slider's position until the settings move it.
constexpr int kDesignTempo = 90;

/// The quarter note the tempo is counted in, drawn from the music font so that it shows
/// whatever font the labels use; height is the label's text height in pixels.
QPixmap TempoNoteSign(int height, qreal ratio)
{
    QPainterPath path;
    const char32_t quarterNote = 0x1D15F;
    path.addText(0, 0, MusicSymbolFont(64), QString::fromUcs4(&quarterNote, 1));
    const QRectF glyph = path.boundingRect();
    const int width =
        glyph.isEmpty() ? 1
                        : static_cast<int>(std::ceil(glyph.width() * height / glyph.height())) + 2;
    QPixmap sign(QSize(width, height) * ratio);
    sign.setDevicePixelRatio(ratio);
    sign.fill(Qt::transparent);
    if (glyph.isEmpty())
        return sign;
    QPainter p(&sign);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = (height - 2) / glyph.height();
    p.translate(1, 1);
    p.scale(scale, scale);
    p.translate(-glyph.topLeft());
    p.fillPath(path, Qt::black);
    return sign;
}

/// A caption in the main tool bar: as wide as its text while the window has the room, cut
/// short with an ellipsis (the whole text as its hint) when the bar must fit a narrow window.
class CaptionLabel final : public QLabel
{
public:
    QSize minimumSizeHint() const override
    {
        QSize least = QLabel::minimumSizeHint();
        const QMargins m = contentsMargins();
        const int shortest =
            fontMetrics().horizontalAdvance(QStringLiteral("Mm\u2026")) + m.left() + m.right();
        least.setWidth(std::min(least.width(), shortest));
        return least;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
        setToolTip(shown == text() ? QString() : text());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
};

} // namespace

QLabel* TPellivarkMain::MakeLabel(const QString& name)
{
    // The view's and the exercise's captions are the long texts of the main tool bar.
    const bool caption = name == QLatin1String("Label1") || name == QLatin1String("Label3");
    QLabel* label = caption ? new CaptionLabel : new QLabel;
    label->setObjectName(name);
    label->setContentsMargins(2, 0, 2, 0);
    Register(name, label);
    return label;
}

void TPellivarkMain::MakeSlots()
{
    // What the tool windows show besides the commands' buttons, made once and placed where
    // the layout puts them.
    const auto slot = [this](QWidget* widget) { m_slots[widget->objectName()] = widget; };

    auto* bevel = new QFrame;
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::VLine);
    Register(bevel->objectName(), static_cast<QWidget*>(bevel));
    slot(bevel);
    slot(MakeLabel(QStringLiteral("Label1")));
    QLabel* label3 = MakeLabel(QStringLiteral("Label3"));
    QFont bold = label3->font();
    bold.setBold(true);
    label3->setFont(bold);
    slot(label3);
    QLabel* label7 = MakeLabel(QStringLiteral("Label7"));
    label7->installEventFilter(this);
    slot(label7);
    auto* helpButton = new QToolButton;
    helpButton->setObjectName(QStringLiteral("SpeedButton4"));
    helpButton->setText(QStringLiteral("?"));
    helpButton->setToolTip(QStringLiteral("Help"));
    helpButton->setAutoRaise(true);
    connect(helpButton, &QToolButton::clicked, this, &TPellivarkMain::SpeedButton4Click);
    slot(helpButton);

    m_paintBox2 = new MetronomePaintBox;
    m_paintBox2->setObjectName(QStringLiteral("PaintBox2"));
    slot(m_paintBox2);

    // The tutor's progress; a click on it shows the step information.
    for (const char* name : {"Label6", "Label2"}) {
        QLabel* progress = MakeLabel(QString::fromLatin1(name));
        progress->setCursor(Qt::PointingHandCursor);
        progress->installEventFilter(this);
        slot(progress);
    }

    m_gauge15 = new QProgressBar;
    m_gauge15->setObjectName(QStringLiteral("Gauge15"));
    m_gauge15->setRange(0, 100);
    m_gauge15->setValue(0);
    m_gauge15->setMinimumWidth(140);
    m_label15 = new QLabel;
    m_label15->setObjectName(QStringLiteral("Label15"));
    m_label15->setContentsMargins(6, 0, 6, 0);
    // The score's client area places the text, the total and the gauge itself: the bar that
    // holds it only gives it its size.
    m_scorePanel =
        new ScorePanel(*m_label15, *MakeLabel(QStringLiteral("Label4")), *m_gauge15,
                       [this] { return m_state != nullptr ? m_state->CurrentKind : std::nullopt; });
    slot(m_scorePanel);

    // The window's size; a click steps through three sizes.
    QLabel* label9 = MakeLabel(QStringLiteral("Label9"));
    label9->setCursor(Qt::PointingHandCursor);
    label9->setProperty("tag", 0);
    label9->installEventFilter(this);
    slot(label9);

    auto* noteSign = new QLabel;
    noteSign->setObjectName(QStringLiteral("TempoNoteSign"));
    noteSign->setContentsMargins(4, 0, 0, 0);
    noteSign->setPixmap(
        TempoNoteSign(QFontMetrics(noteSign->font()).height() + 4, devicePixelRatio()));
    slot(noteSign);
    auto* label8 = new QLabel(TempoLabel(kDesignTempo));
    label8->setObjectName(QStringLiteral("Label8"));
    label8->setContentsMargins(2, 0, 4, 0);
    Register(label8->objectName(), label8);
    slot(label8);
    m_trackBar1 = new QSlider(Qt::Horizontal);
    m_trackBar1->setObjectName(QStringLiteral("TrackBar1"));
    m_trackBar1->setRange(20, 250);
    m_trackBar1->setValue(kDesignTempo);
    m_trackBar1->setSingleStep(2);
    m_trackBar1->setPageStep(10);
    m_trackBar1->setTickInterval(10);
    m_trackBar1->setTickPosition(QSlider::TicksBelow);
    connect(m_trackBar1, &QSlider::valueChanged, this, [this](int position) {
        if (m_handlers.TrackBar1Change)
            m_handlers.TrackBar1Change(position);
    });
    m_trackBar1->setMinimumWidth(140);
    Register(m_trackBar1->objectName(), static_cast<QWidget*>(m_trackBar1));
    slot(m_trackBar1);
}

void TPellivarkMain::BuildCommands(CommandRegistry& commands)
{
    if (m_commands != nullptr)
        return;
    m_commands = &commands;
    for (const QString& id : commands.Ids())
        MakeAction(*commands.Find(id));
    MakeToolWindows();
    MakeMenus();
    commands.SetView(this);
    commands.Refresh();
}

QAction* TPellivarkMain::MakeAction(const CommandRow& row)
{
    auto* action = new QAction(row.Text, this);
    action->setObjectName(row.Id);
    action->setCheckable(row.Checkable);
    if (row.Key != 0)
        action->setShortcut(QKeySequence(row.Key));
    if (!row.ButtonText.isEmpty())
        action->setIconText(row.ButtonText);
    if (!row.Hint.isEmpty())
        action->setToolTip(row.Hint);
    if (row.Tag != 0)
        action->setProperty("tag", row.Tag);
    if (!row.Group.isEmpty()) {
        QPointer<QActionGroup>& group = m_groups[row.Group];
        if (!group) {
            group = new QActionGroup(this);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
        }
        group->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, id = row.Id] {
        if (m_commands != nullptr)
            m_commands->Run(id);
    });
    m_commandActions[row.Id] = action;
    Register(row.Id, action);
    return action;
}

QAction* TPellivarkMain::CommandAction(const QString& id) const
{
    const auto it = m_commandActions.find(id);
    return it == m_commandActions.end() ? nullptr : it->second.data();
}

void TPellivarkMain::AddCommandButton(int toolWindow, const CommandRow& row)
{
    QAction* action = CommandAction(row.Id);
    if (action == nullptr || row.Button.isEmpty())
        return;
    // The button shows and works its command's action: enabled, tick and caption follow it.
    auto* button = new QToolButton;
    button->setObjectName(row.Button);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setDefaultAction(action);
    QAction* inBar = m_toolWindows->AddControl(toolWindow, button);
    m_barActions[button] = inBar;
    // A control inside a tool bar shows and hides only through the bar's action for it; the
    // command's visibility is the menu entry's and the button's alike.
    if (inBar != nullptr) {
        inBar->setVisible(action->isVisible());
        connect(action, &QAction::visibleChanged, inBar,
                [inBar, action] { inBar->setVisible(action->isVisible()); });
    }
    Register(row.Button, action);
    Register(row.Button, static_cast<QAbstractButton*>(button));
    Register(row.Id, static_cast<QAbstractButton*>(button));
}

void TPellivarkMain::MakeToolWindows()
{
    for (const ToolWindowLayout& toolWindow : MainToolWindowLayout()) {
        const int n = toolWindow.Index;
        for (const LayoutEntry& entry : toolWindow.Entries) {
            switch (entry.What) {
            case LayoutEntry::Type::Command:
                if (const CommandRow* row = m_commands->Find(entry.Name))
                    AddCommandButton(n, *row);
                break;
            case LayoutEntry::Type::Separator:
                m_toolWindows->AddSeparator(n);
                break;
            case LayoutEntry::Type::Slot:
                if (QWidget* widget = m_slots.value(entry.Name))
                    m_barActions[widget] = m_toolWindows->AddControl(n, widget);
                break;
            }
        }
    }
    // The kinds' pictures keep the main tool bar narrow; the name stays as the button's text
    // (read by screen readers) and its hint. At this size the bar with its captions still fits
    // a screen 800 pixels wide in one row.
    const QSize kKindIcon(20, 20);
    for (ExerciseKind kind : kExerciseKinds) {
        const QString name = UiName(KindUi(kind).ButtonName);
        QAction* action = CommandAction(name);
        auto* button = qobject_cast<QToolButton*>(m_controls[name].Button.data());
        if (action == nullptr || button == nullptr)
            continue;
        action->setIcon(QIcon(KindPicture(kind, kKindIcon)));
        button->setIconSize(kKindIcon);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        // The style's own frame around a picture is wider than the raised frame needs.
        button->setFixedSize(kKindIcon + QSize(6, 6));
    }
}

void TPellivarkMain::MakeMenus()
{
    QMenuBar* bar = menuBar();
    for (const MenuLayout& layout : MainMenuLayout()) {
        QMenu* menu = bar->addMenu(layout.Text);
        menu->setObjectName(layout.Name + QStringLiteral("Menu"));
        menu->menuAction()->setObjectName(layout.Name);
        Register(layout.Name, menu->menuAction());
        // No new question may start while the user reads a menu; what the menu shows follows
        // the commands' rules as it opens.
        connect(menu, &QMenu::aboutToShow, m_autoNewQuestTimer, &QTimer::stop);
        connect(menu, &QMenu::aboutToShow, this, [this] {
            if (m_commands != nullptr)
                m_commands->Refresh();
        });
        for (const LayoutEntry& entry : layout.Entries) {
            switch (entry.What) {
            case LayoutEntry::Type::Command:
                if (QAction* action = CommandAction(entry.Name))
                    menu->addAction(action);
                break;
            case LayoutEntry::Type::Separator:
                if (QAction* separator = menu->addSeparator(); !entry.Name.isEmpty()) {
                    separator->setObjectName(entry.Name);
                    Register(entry.Name, separator);
                }
                break;
            case LayoutEntry::Type::Slot:
                MakeMenuSlot(*menu, entry.Name);
                break;
            }
        }
    }
}

void TPellivarkMain::MakeMenuSlot(QMenu& menu, const QString& name)
{
    if (name == QLatin1String("ExerciseSubmenus")) {
        MakeExerciseSubmenus(menu);
    } else if (name == QLatin1String("Speedbar1")) {
        MakeToolBarsMenu(menu);
    } else if (name == QLatin1String("Resultsumations1")) {
        MakeStatisticsPeriodMenu(menu);
    } else if (name == QLatin1String("NoteIdentification1")) {
        MakeNoteIdentificationMenu(menu);
    } else if (name == QLatin1String("HelpEntries")) {
        AddHelpEntries(
            menu, [this](std::optional<int> context) { m_help->Show(m_helpFile, context); },
            [this] { SpeedButton4Click(); });
    }
}

void TPellivarkMain::MakeExerciseSubmenus(QMenu& exercises)
{
    // In the order Ctrl+1..Ctrl+0 open them.
    for (ExerciseKind kind : MainKeyTable::kExercisesMenuOrder) {
        const auto k = static_cast<std::size_t>(KindNumber(kind) - 1);
        const QString itemName = UiName(KindUi(kind).MenuItemName);
        auto* sub = new QMenu(UiName(KindUi(kind).Name), &exercises);
        sub->setObjectName(itemName + QStringLiteral("Menu"));
        QAction* item = exercises.addMenu(sub);
        item->setObjectName(itemName);
        item->setProperty("tag", KindNumber(kind));
        item->setCheckable(true);
        Register(itemName, item);
        for (std::size_t v = 0; v < 4; ++v) {
            const MainView view = static_cast<MainView>(v + 1);
            const int tag = ViewTag(view, kind);
            QAction* entry = sub->addAction(QString::fromLatin1(kViewNames[v]));
            entry->setObjectName(itemName + QStringLiteral("View%1").arg(v + 1));
            entry->setProperty("tag", tag);
            entry->setCheckable(true);
            connect(entry, &QAction::triggered, this, [this, tag] {
                if (m_handlers.ViewTag)
                    m_handlers.ViewTag(tag);
            });
            m_viewEntries[k][v] = entry;
        }
        connect(sub, &QMenu::aboutToShow, this, [this, kind] {
            if (m_handlers.ExerciseMenuOpens)
                m_handlers.ExerciseMenuOpens(KindNumber(kind));
        });
    }
}

void TPellivarkMain::MakeToolBarsMenu(QMenu& view)
{
    QMenu* toolBars = view.addMenu(QStringLiteral("&Tool bars"));
    toolBars->setObjectName(QStringLiteral("Speedbar1Menu"));
    toolBars->menuAction()->setObjectName(QStringLiteral("Speedbar1"));
    connect(toolBars, &QMenu::aboutToShow, this, [this] {
        if (m_commands != nullptr)
            m_commands->Refresh();
    });
    for (const auto& item : MainMenuCommands::kToolItems) {
        if (QAction* action = CommandAction(QString::fromLatin1(item.first)))
            toolBars->addAction(action);
    }
}

QMenu* TPellivarkMain::createPopupMenu()
{
    // The tool windows' own pop-up holds the View menu's tool entries themselves, so both
    // always agree on ticks and enabling, whichever bars hold the windows.
    auto* popup = new QMenu(this);
    popup->setObjectName(QStringLiteral("VisibleToolPopUp"));
    if (m_commands != nullptr)
        m_commands->Refresh();
    for (const auto& item : MainMenuCommands::kToolItems) {
        if (QAction* action = CommandAction(QString::fromLatin1(item.first)))
            popup->addAction(action);
    }
    if (popup->isEmpty()) {
        delete popup;
        return nullptr;
    }
    return popup;
}

void TPellivarkMain::MakeStatisticsPeriodMenu(QMenu& view)
{
    QMenu* periods = view.addMenu(QStringLiteral("Statistics period"));
    periods->setObjectName(QStringLiteral("Resultsumations1Menu"));
    periods->menuAction()->setObjectName(QStringLiteral("Resultsumations1"));
    Register(ControlId(MainControl::Resultsumations1), periods->menuAction());
    auto* periodGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> periodItems[] = {{"N1day1", "Last &day"},
                                                               {"N3days1", "Last &3 days"},
                                                               {"N1week1", "Last &week"},
                                                               {"N2weeks1", "Last &2 weeks"},
                                                               {"N1month1", "Last &month"}};
    for (const auto& [name, text] : periodItems) {
        QAction* period = periods->addAction(QString::fromLatin1(text));
        period->setObjectName(QString::fromLatin1(name));
        period->setCheckable(true);
        periodGroup->addAction(period);
        const int index = static_cast<int>(m_periodItems.size());
        connect(period, &QAction::triggered, this, [this, index] {
            if (m_handlers.StatisticsPeriod)
                m_handlers.StatisticsPeriod(index);
        });
        m_periodItems.push_back(period);
    }
}

void TPellivarkMain::MakeNoteIdentificationMenu(QMenu& midi)
{
    QMenu* identification = midi.addMenu(QStringLiteral("Note &identification"));
    identification->setObjectName(QStringLiteral("NoteIdentification1Menu"));
    identification->menuAction()->setObjectName(QStringLiteral("NoteIdentification1"));
    Register(ControlId(MainControl::NoteIdentification1), identification->menuAction());
    auto* identificationGroup = new QActionGroup(this);
    const std::pair<const char*, const char*> modes[] = {
        {"Absolute1", "&Exact octave"},
        {"Anyoctave1", "&Any octave"},
        {"Relative1", "&Relative to the first note"}};
    for (std::size_t m = 0; m < std::size(modes); ++m) {
        QAction* mode = identification->addAction(QString::fromLatin1(modes[m].second));
        mode->setObjectName(QString::fromLatin1(modes[m].first));
        mode->setCheckable(true);
        identificationGroup->addAction(mode);
        const int tag = static_cast<int>(m);
        connect(mode, &QAction::triggered, this, [this, tag] {
            if (m_handlers.NoteIdentification)
                m_handlers.NoteIdentification(tag);
        });
        m_identificationItems[m] = mode;
    }
    connect(identification, &QMenu::aboutToShow, this, [this] {
        if (!m_handlers.NoteIdentificationMode)
            return;
        const int mode = m_handlers.NoteIdentificationMode();
        if (mode >= 0 && mode < static_cast<int>(m_identificationItems.size()))
            m_identificationItems[static_cast<std::size_t>(mode)]->setChecked(true);
    });
}

void TPellivarkMain::ShowCommandEnabled(const QString& id, bool on)
{
    if (QAction* action = CommandAction(id))
        action->setEnabled(on);
}

void TPellivarkMain::ShowCommandVisible(const QString& id, bool on)
{
    if (QAction* action = CommandAction(id))
        action->setVisible(on);
}

void TPellivarkMain::ShowCommandChecked(const QString& id, bool on)
{
    if (QAction* action = CommandAction(id))
        action->setChecked(on);
}

} // namespace pv
