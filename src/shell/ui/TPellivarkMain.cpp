// The main window's widgets and their mirroring.
#include "shell/ui/TPellivarkMain.h"

#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "exercises/ui/TRhythmWindow.h"
#include "music/base/Prompts.h"
#include "music/input/MidiInEvent.h"
#include "music/input/WaveInEvents.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"
#include "music/ui/MusicFont.h"
#include "shell/help/HelpContexts.h"
#include "shell/help/ui/HelpDesk.h"
#include "shell/help/ui/HelpMenu.h"
#include "shell/main/MetronomeControls.h"
#include "shell/results/ui/TUserResult.h"
#include "shell/settings/WindowPlacement.h"
#include "shell/startmenu/ui/KindPicture.h"
#include "shell/transfer/ui/TExportImport.h"
#include "shell/ui/StartupProbe.h"
#include "shell/ui/WidgetTexts.h"

#include <cmath>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

/// The kind names the window carries before any language text arrives.
constexpr std::array<const char*, 10> kKindNames = {
    "Chord identification", "Interval identification", "Interval comparison", "Rhythm imitation",
    "Rhythm reading",       "Rhythm error detection",  "Chord inversions",    "Scales",
    "Melody dictation",     "Chord progressions"};
/// The short captions of the exercise buttons of the tool bar.
constexpr std::array<const char*, 10> kKindButtonTexts = {
    "Chords", "Intervals",  "Compare", "Imitate", "Read",
    "Errors", "Inversions", "Scales",  "Melody",  "Progressions"};
/// The names of the kinds' menu items, in kind order.
constexpr std::array<const char*, 10> kKindItemNames = {
    "AkkordID1",    "IntervalID1",      "Intervalsammenligning1", "Rytmeimitation1",
    "Rytmelsning1", "Rytmekorrektion1", "Chordinversions1",       "Scales1",
    "Melody1",      "AkkordProgress1"};
constexpr std::array<const char*, 10> kKindButtonNames = {
    "Speed1", "Speed2",       "Speed3",       "Speed4",       "Speed5",
    "Speed6", "SpeedButton6", "SpeedButton7", "SpeedButton8", "Speed12"};
constexpr std::array<const char*, 4> kViewNames = {"Exercise", "Exercise setup", "Results",
                                                   "User overview"};

constexpr int kOverviewTag = 511;
constexpr int kTutorTag = 4352;
constexpr int kTutorSetupTag = 8704;
/// The tempo slider's position until the settings move it.
constexpr int kDesignTempo = 90;

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
}

int ViewTagOf(MainView view, int kind)
{
    return static_cast<int>(view) * 256 + kind;
}

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

} // namespace

TPellivarkMain::TPellivarkMain(IPrompts& prompts, const UIStringTable& strings, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_strings(strings)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Pellivark Pro"));
    m_toolWindowAllowed.fill(true);
    m_toolWindowWanted.fill(false);
    m_toolWindowWanted[0] = true;

    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("MdiArea"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    connect(m_timer1, &QTimer::timeout, this, &TPellivarkMain::Timer1Fired);
    m_autoNewQuestTimer = new QTimer(this);
    m_autoNewQuestTimer->setInterval(801 * 1000 + 100);
    connect(m_autoNewQuestTimer, &QTimer::timeout, this, [this] {
        if (m_handlers.AutoNewQuestTimer)
            m_handlers.AutoNewQuestTimer();
    });
    m_lightDisplaytime = new QTimer(this);
    m_lightDisplaytime->setInterval(150);
    connect(m_lightDisplaytime, &QTimer::timeout, this, [this] {
        if (m_handlers.LightDisplaytimeTimer)
            m_handlers.LightDisplaytimeTimer();
    });
    m_answerbuttonBlink = new QTimer(this);
    connect(m_answerbuttonBlink, &QTimer::timeout, this, [this] {
        if (m_handlers.AnswerbuttonBlinkTimer)
            m_handlers.AnswerbuttonBlinkTimer();
    });
    m_metronomeTimer = new QTimer(this);
    m_metronomeTimer->setInterval(200);
    connect(m_metronomeTimer, &QTimer::timeout, this, &TPellivarkMain::MetronomeTimerTimer);
    Register(MainControl::LightDisplaytime, m_lightDisplaytime);
    Register(MainControl::AnswerbuttonBlink, m_answerbuttonBlink);
    Register(MainControl::MetronomeTimer, m_metronomeTimer);

    m_help = std::make_unique<HelpDesk>(m_prompts, m_strings, *this);
    m_toolWindows = std::make_unique<ToolBarToolWindows>(*this);
    MakeToolWindows();
    MakeMenus();
    for (int n = 1; n < IToolWindows::kCount; ++n)
        ApplyToolWindow(n);
    // The window sees every key of its own windows first, wherever the focus is.
    qApp->installEventFilter(this);
}

TPellivarkMain::~TPellivarkMain() = default;

void TPellivarkMain::Register(MainControl control, QAction* action)
{
    m_controls[control].Action = action;
}

void TPellivarkMain::Register(MainControl control, QAbstractButton* button)
{
    m_controls[control].Button = button;
}

void TPellivarkMain::Register(MainControl control, QLabel* label)
{
    m_controls[control].Label = label;
}

void TPellivarkMain::Register(MainControl control, QWidget* widget)
{
    m_controls[control].Widget = widget;
}

void TPellivarkMain::Register(MainControl control, QTimer* timer)
{
    m_controls[control].Timer = timer;
}

const TPellivarkMain::Control* TPellivarkMain::Find(MainControl control) const
{
    const auto it = m_controls.find(control);
    return it == m_controls.end() ? nullptr : &it->second;
}

QAction* TPellivarkMain::AddAction(QMenu* menu, MainControl control, const QString& name,
                                   const QString& text, int tag)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (tag != 0) {
        action->setProperty("tag", tag);
        connect(action, &QAction::triggered, this, [this, tag] {
            if (m_handlers.ViewTag)
                m_handlers.ViewTag(tag);
        });
    } else {
        connect(action, &QAction::triggered, this, [this, control] {
            if (m_handlers.Command)
                m_handlers.Command(control);
        });
    }
    Register(control, action);
    return action;
}

QAction* TPellivarkMain::AddCommand(QMenu* menu, const QString& name, const QString& text,
                                    std::function<void()> run)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, std::move(run));
    return action;
}

QToolButton* TPellivarkMain::AddToolButton(int toolWindow, MainControl control, const QString& name,
                                           const QString& text, const QString& hint, int tag)
{
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_barActions[button] = m_toolWindows->AddControl(toolWindow, button);
    if (tag != 0) {
        button->setProperty("tag", tag);
        connect(button, &QToolButton::clicked, this, [this, tag] {
            if (m_handlers.ViewTag)
                m_handlers.ViewTag(tag);
        });
    }
    Register(control, button);
    return button;
}

QLabel* TPellivarkMain::AddLabel(int toolWindow, MainControl control, const QString& name)
{
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setContentsMargins(4, 0, 4, 0);
    m_barActions[label] = m_toolWindows->AddControl(toolWindow, label);
    Register(control, label);
    return label;
}

void TPellivarkMain::MakeToolWindows()
{
    // Tool window 0: the views, the exercises and what is shown.
    constexpr int bar = 0;
    m_viewButtons = new QButtonGroup(this);
    m_viewButtons->setExclusive(true);
    struct ViewButton
    {
        MainControl control;
        const char* name;
        const char* text;
        const char* hint;
        int tag;
    };
    const ViewButton viewButtons[] = {
        {MainControl::SpeedButton1, "SpeedButton1", "Exercise", "Exercise", 256},
        {MainControl::RunKonfig, "RunKonfig", "Setup", "Exercise setup", 512},
        {MainControl::SpeedButton5, "SpeedButton5", "Results", "Results", 768},
        {MainControl::SpeedButton11, "SpeedButton11", "Users", "User overview", 1024},
    };
    for (const ViewButton& v : viewButtons) {
        QToolButton* button =
            AddToolButton(bar, v.control, QString::fromLatin1(v.name), QString::fromLatin1(v.text),
                          QString::fromLatin1(v.hint), v.tag);
        button->setCheckable(true);
        m_viewButtons->addButton(button);
    }
    auto* bevel = new QFrame;
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameShape(QFrame::VLine);
    m_barActions[bevel] = m_toolWindows->AddControl(bar, bevel);
    Register(MainControl::Bevel1, bevel);

    m_exerciseButtons = new QButtonGroup(this);
    m_exerciseButtons->setExclusive(true);
    QToolButton* overview =
        AddToolButton(bar, MainControl::Overview, QStringLiteral("Overview"),
                      QStringLiteral("Start"), QStringLiteral("Start menu"), kOverviewTag);
    overview->setCheckable(true);
    m_exerciseButtons->addButton(overview);
    for (ExerciseKind kind : kExerciseKinds) {
        const std::size_t k = Slot(kind);
        QToolButton* button =
            AddToolButton(bar, kExerciseButtons[k + 1], QString::fromLatin1(kKindButtonNames[k]),
                          QString::fromLatin1(kKindButtonTexts[k]),
                          QString::fromLatin1(kKindNames[k]), KindNumber(kind));
        // The kind's picture keeps the main tool bar narrow; the name stays as the button's
        // text (read by screen readers) and its hint.
        button->setIcon(QIcon(KindPicture(kind, QSize(28, 28))));
        button->setIconSize(QSize(28, 28));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setCheckable(true);
        m_exerciseButtons->addButton(button);
    }
    m_toolWindows->AddSeparator(bar);
    QToolButton* tutor =
        AddToolButton(bar, MainControl::SpeedButton10, QStringLiteral("SpeedButton10"),
                      QStringLiteral("Tutor"), QStringLiteral("Tutor"), kTutorTag);
    tutor->setCheckable(true);
    AddToolButton(bar, MainControl::SpeedButton9, QStringLiteral("SpeedButton9"),
                  QStringLiteral("Tutor setup"), QStringLiteral("Tutor setup"), kTutorSetupTag);
    QToolButton* load =
        AddToolButton(bar, MainControl::SpeedButton2, QStringLiteral("SpeedButton2"),
                      QStringLiteral("Load"), QStringLiteral("Load an exercise setup"), 0);
    connect(load, &QToolButton::clicked, this, [this] {
        if (m_handlers.Command)
            m_handlers.Command(MainControl::Hentstandardopstning1);
    });
    auto* helpButton = new QToolButton;
    helpButton->setObjectName(QStringLiteral("SpeedButton4"));
    helpButton->setText(QStringLiteral("?"));
    helpButton->setToolTip(QStringLiteral("Help"));
    helpButton->setAutoRaise(true);
    connect(helpButton, &QToolButton::clicked, this, &TPellivarkMain::SpeedButton4Click);
    m_barActions[helpButton] = m_toolWindows->AddControl(bar, helpButton);
    m_toolWindows->AddSeparator(bar);
    AddLabel(bar, MainControl::Label1, QStringLiteral("Label1"));
    QLabel* label3 = AddLabel(bar, MainControl::Label3, QStringLiteral("Label3"));
    QFont bold = label3->font();
    bold.setBold(true);
    label3->setFont(bold);
    AddLabel(bar, MainControl::Label7, QStringLiteral("Label7"));

    // Tool window 1: the visual metronome and the microphone's display.
    m_paintBox2 = new MetronomePaintBox;
    m_toolWindows->AddControl(1, m_paintBox2);

    // Tool window 2: the tutor's progress; a click on it shows the step information.
    for (QLabel* progress : {AddLabel(2, MainControl::Label6, QStringLiteral("Label6")),
                             AddLabel(2, MainControl::Label2, QStringLiteral("Label2"))}) {
        progress->setCursor(Qt::PointingHandCursor);
        progress->installEventFilter(this);
    }

    // Tool window 3: the score.
    m_gauge15 = new QProgressBar;
    m_gauge15->setObjectName(QStringLiteral("Gauge15"));
    m_gauge15->setRange(0, 100);
    m_gauge15->setValue(0);
    m_gauge15->setMinimumWidth(140);
    m_toolWindows->AddControl(3, m_gauge15);
    m_label15 = new QLabel;
    m_label15->setObjectName(QStringLiteral("Label15"));
    m_label15->setContentsMargins(6, 0, 6, 0);
    m_label15->setMinimumWidth(160);
    m_toolWindows->AddControl(3, m_label15);
    AddLabel(3, MainControl::Label4, QStringLiteral("Label4"));

    // Tool window 4: the tempo, as a quarter note sign, "= " and the beats a minute.
    auto* noteSign = new QLabel;
    noteSign->setObjectName(QStringLiteral("TempoNoteSign"));
    noteSign->setContentsMargins(4, 0, 0, 0);
    noteSign->setPixmap(
        TempoNoteSign(QFontMetrics(noteSign->font()).height() + 4, devicePixelRatio()));
    m_toolWindows->AddControl(4, noteSign);
    auto* label8 = new QLabel(TempoLabel(kDesignTempo));
    label8->setObjectName(QStringLiteral("Label8"));
    label8->setContentsMargins(2, 0, 4, 0);
    m_toolWindows->AddControl(4, label8);
    Register(MainControl::Label8, label8);
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
    m_toolWindows->AddControl(4, m_trackBar1);
    Register(MainControl::TrackBar1, m_trackBar1);

    // Tool window 5: metronome, visual metronome, microphone.
    constexpr int tools = 5;
    QToolButton* metro = AddToolButton(tools, MainControl::Metro, QStringLiteral("Metro"),
                                       QStringLiteral("Metronome"), QStringLiteral("Metronome"), 0);
    metro->setCheckable(true);
    connect(metro, &QToolButton::clicked, this, [this] {
        if (m_handlers.MetroClick)
            m_handlers.MetroClick(true);
    });
    QToolButton* visual =
        AddToolButton(tools, MainControl::SpeedButton12, QStringLiteral("SpeedButton12"),
                      QStringLiteral("Visual metronome"), QStringLiteral("Visual metronome"), 0);
    visual->setCheckable(true);
    connect(visual, &QToolButton::clicked, this, [this] {
        if (m_handlers.SpeedButton12Click)
            m_handlers.SpeedButton12Click(true);
    });
    QToolButton* microphone =
        AddToolButton(tools, MainControl::SpeedButton3, QStringLiteral("SpeedButton3"),
                      QStringLiteral("Microphone"), QStringLiteral("Microphone input"), 0);
    microphone->setCheckable(true);
    connect(microphone, &QToolButton::clicked, this, [this] {
        if (m_handlers.SpeedButton3Click)
            m_handlers.SpeedButton3Click();
    });

    m_toolWindows->Bar(2)->setWindowTitle(QStringLiteral("Tutor"));
    m_toolWindows->Bar(3)->setWindowTitle(QStringLiteral("Score"));
    m_toolWindows->Bar(4)->setWindowTitle(QStringLiteral("Tempo"));
    m_toolWindows->Bar(5)->setWindowTitle(QStringLiteral("Metronome"));
}

void TPellivarkMain::MakeMenus()
{
    QMenuBar* bar = menuBar();
    const auto topMenu = [this, bar](const char* name, const char* text) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(text));
        menu->setObjectName(QString::fromLatin1(name) + QStringLiteral("Menu"));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        // No new question may start while the user reads a menu.
        connect(menu, &QMenu::aboutToShow, m_autoNewQuestTimer, &QTimer::stop);
        return menu;
    };

    // The setup entries carry their keys themselves: an entry the tutor disables takes its key
    // with it.
    QMenu* file = topMenu("Filer1", "&File");
    AddAction(file, MainControl::Hentstandardopstning1, QStringLiteral("Hentstandardopstning1"),
              QStringLiteral("&Open a setup..."))
        ->setShortcut(Qt::Key_F2);
    AddAction(file, MainControl::Gemopstning1, QStringLiteral("Gemopstning1"),
              QStringLiteral("&Save setup as..."))
        ->setShortcut(Qt::Key_F3);
    file->addSeparator();
    AddAction(file, MainControl::Restartexercise, QStringLiteral("Restartexercise"),
              QStringLiteral("&Restart the exercise..."));
    AddAction(file, MainControl::Reports1, QStringLiteral("Reports1"),
              QStringLiteral("&Reports..."));
    AddAction(file, MainControl::Classmaintenance1, QStringLiteral("Classmaintenance1"),
              QStringLiteral("Class maintenance..."));
    AddAction(file, MainControl::ImportExport, QStringLiteral("ImportExport"),
              QStringLiteral("&Export and import..."));
    AddAction(file, MainControl::Userinfo1, QStringLiteral("Userinfo1"),
              QStringLiteral("&User information..."));
    file->addSeparator();
    AddCommand(file, QStringLiteral("Exit2"), QStringLiteral("E&xit"), [this] { close(); });

    QMenu* exercises = topMenu("velser2", "E&xercise");
    AddAction(exercises, MainControl::Overview1, QStringLiteral("Overview1"),
              QStringLiteral("Overview of the exercises"), kOverviewTag);
    exercises->addSeparator();
    // In the order Ctrl+1..Ctrl+0 open them.
    for (ExerciseKind kind : MainKeyTable::kExercisesMenuOrder) {
        const std::size_t k = Slot(kind);
        auto* sub = new QMenu(QString::fromLatin1(kKindNames[k]), exercises);
        sub->setObjectName(QString::fromLatin1(kKindItemNames[k]) + QStringLiteral("Menu"));
        QAction* item = exercises->addMenu(sub);
        item->setObjectName(QString::fromLatin1(kKindItemNames[k]));
        item->setProperty("tag", KindNumber(kind));
        item->setCheckable(true);
        Register(kExerciseMenuItems[k + 1], item);
        for (std::size_t v = 0; v < 4; ++v) {
            const MainView view = static_cast<MainView>(v + 1);
            const int tag = ViewTagOf(view, KindNumber(kind));
            QAction* entry = sub->addAction(QString::fromLatin1(kViewNames[v]));
            entry->setObjectName(QString::fromLatin1(kKindItemNames[k]) +
                                 QStringLiteral("View%1").arg(v + 1));
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

    QMenu* view = topMenu("View1", "&View");
    const std::tuple<const char*, const char*, int> viewItems[] = {
        {"Exercise1", "Exercise", 256},
        {"Exercisesetup1", "Exercise setup", 512},
        {"Useroverview1", "User overview", 1024},
    };
    for (const auto& [name, text, tag] : viewItems) {
        QAction* item = view->addAction(QString::fromLatin1(text));
        item->setObjectName(QString::fromLatin1(name));
        const int viewTag = tag;
        connect(item, &QAction::triggered, this, [this, viewTag] {
            if (m_handlers.ViewTag)
                m_handlers.ViewTag(viewTag);
        });
    }
    view->addSeparator();
    QMenu* toolBars = view->addMenu(QStringLiteral("&Tool bars"));
    toolBars->setObjectName(QStringLiteral("Speedbar1Menu"));
    toolBars->menuAction()->setObjectName(QStringLiteral("Speedbar1"));
    const std::pair<const char*, int> toolItems[] = {
        {"Standard1", 0}, {"Result1", 3}, {"Speed7", 4}, {"Extra1", 5}};
    const char* toolTexts[] = {"&Standard", "&Score", "&Tempo", "E&xtra"};
    for (std::size_t t = 0; t < std::size(toolItems); ++t) {
        const auto [name, n] = toolItems[t];
        QAction* toggle = toolBars->addAction(QString::fromLatin1(toolTexts[t]));
        toggle->setObjectName(QString::fromLatin1(name));
        toggle->setCheckable(true);
        toggle->setChecked(true);
        const int index = n;
        connect(toggle, &QAction::toggled, this, [this, index](bool on) {
            SetToolWindowAllowed(index, on);
            if (m_handlers.ToolWindowFlag)
                m_handlers.ToolWindowFlag(index, on);
        });
        m_toolWindowItems[static_cast<std::size_t>(index)] = toggle;
    }
    view->addSeparator();
    QMenu* periods = view->addMenu(QStringLiteral("Statistics period"));
    periods->setObjectName(QStringLiteral("Resultsumations1Menu"));
    periods->menuAction()->setObjectName(QStringLiteral("Resultsumations1"));
    Register(MainControl::Resultsumations1, periods->menuAction());
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
    AddAction(view, MainControl::Deleteresults1, QStringLiteral("Deleteresults1"),
              QStringLiteral("De&lete results..."));
    QAction* n13 = view->addSeparator();
    n13->setObjectName(QStringLiteral("N13"));
    Register(MainControl::N13, n13);
    AddAction(view, MainControl::Refresh1, QStringLiteral("Refresh1"), QStringLiteral("Refresh"));
    // The statistics period's own entry; the rights keep it hidden.
    QAction* n2 = view->addAction(QStringLiteral("&Statistics period..."));
    n2->setObjectName(QStringLiteral("N2"));
    Register(MainControl::N2, n2);

    QMenu* tutorMenu = topMenu("Tutor1", "&Tutor");
    QAction* activateTutor =
        AddCommand(tutorMenu, QStringLiteral("Activatetutor1"), QStringLiteral("Use the tutor"),
                   [this] { Activatetutor1Click(); });
    activateTutor->setProperty("tag", kTutorTag);
    activateTutor->setCheckable(true);
    activateTutor->setShortcut(QKeySequence(Qt::Key_F4));
    Register(MainControl::Activatetutor1, activateTutor);
    QAction* tutorSetup = tutorMenu->addAction(QStringLiteral("Tutor setup"));
    tutorSetup->setObjectName(QStringLiteral("Tutorsetup1"));
    connect(tutorSetup, &QAction::triggered, this, [this] {
        if (m_handlers.ViewTag)
            m_handlers.ViewTag(kTutorSetupTag);
    });
    AddAction(tutorMenu, MainControl::Tutoreditor2, QStringLiteral("Tutoreditor2"),
              QStringLiteral("Tutor editor..."));

    QMenu* midi = topMenu("Midi1", "&MIDI");
    Register(MainControl::Midi1, midi->menuAction());
    const std::tuple<MainControl, const char*, const char*> options[] = {
        {MainControl::MIDIin1, "MIDIin1", "MIDI &keyboard"},
        {MainControl::MIDIremote1, "MIDIremote1", "&Remote control by MIDI"},
        {MainControl::Autonewquest1, "Autonewquest1", "&New question automatically"},
        {MainControl::ShowMetronome1, "ShowMetronome1", "Show the metronome"},
        {MainControl::Playmetronome1, "Playmetronome1", "Play the metronome"},
        {MainControl::Showkeyname1, "Showkeyname1", "Show &key names"},
    };
    for (const auto& [control, name, text] : options) {
        AddAction(midi, control, QString::fromLatin1(name), QString::fromLatin1(text))
            ->setCheckable(true);
    }
    QMenu* identification = midi->addMenu(QStringLiteral("Note &identification"));
    identification->setObjectName(QStringLiteral("NoteIdentification1Menu"));
    identification->menuAction()->setObjectName(QStringLiteral("NoteIdentification1"));
    Register(MainControl::NoteIdentification1, identification->menuAction());
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
    midi->addSeparator();
    AddCommand(midi, QStringLiteral("Programsettings1"), QStringLiteral("&Program settings..."),
               [this] {
                   if (m_handlers.Opstning1Click)
                       m_handlers.Opstning1Click();
               });

    QMenu* help = topMenu("Hjlp1", "&Help");
    AddHelpEntries(
        *help, [this](std::optional<int> context) { m_help->Show(m_helpFile, context); },
        [this] { SpeedButton4Click(); });
    help->addSeparator();
    AddCommand(help, QStringLiteral("OmPellivark1"), QStringLiteral("&About Pellivark..."), [this] {
        m_prompts.ShowInfo(QStringLiteral("Pellivark %1\nEar training for musicians.")
                               .arg(QCoreApplication::applicationVersion()),
                           windowTitle());
    });
    help->addSeparator();
    AddCommand(help, QStringLiteral("Reportbugsandsuggestions1"),
               QStringLiteral("&Report a bug or a suggestion..."), [this] {
                   if (m_handlers.Reportbugsandsuggestions1Click)
                       m_handlers.Reportbugsandsuggestions1Click();
               });
    AddCommand(help, QStringLiteral("PellivarkWeb1"), QStringLiteral("Pellivark on the &web..."),
               [this] {
                   if (m_handlers.PellivarkWeb1Click)
                       m_handlers.PellivarkWeb1Click();
               });
}

void TPellivarkMain::RegisterTextTargets(const TextTargetSink& sink)
{
    const QString form = objectName();
    sink(form, [this](const QString& text) { setWindowTitle(text); });
    // Only the window's own menus and tool bars: the views inside the work area announce their
    // texts under their own names.
    for (QAction* action : menuBar()->findChildren<QAction*>()) {
        if (action->objectName().isEmpty() || action->isSeparator())
            continue;
        QPointer<QAction> target(action);
        sink(form + QLatin1Char('.') + action->objectName(), [target](const QString& text) {
            if (target)
                target->setText(text);
        });
    }
    for (int n = 0; n < IToolWindows::kCount; ++n)
        RegisterWidgetTexts(form, *m_toolWindows->Bar(n), sink);
    for (int n = 2; n < IToolWindows::kCount; ++n) {
        QPointer<QToolBar> bar(m_toolWindows->Bar(n));
        sink(form + QStringLiteral(".ToolWindow%1").arg(n), [bar](const QString& text) {
            if (bar)
                bar->setWindowTitle(text);
        });
    }
}

std::vector<std::pair<QString, QString>> TPellivarkMain::VisibleTexts() const
{
    std::vector<std::pair<QString, QString>> texts;
    texts.emplace_back(objectName(), windowTitle());
    for (QAction* action : menuBar()->actions()) {
        if (!action->isVisible())
            continue;
        texts.emplace_back(action->objectName(), action->text());
        if (QMenu* menu = action->menu()) {
            for (QAction* item : menu->actions()) {
                if (item->isVisible() && !item->isSeparator())
                    texts.emplace_back(item->objectName(), item->text());
                if (item->isVisible() && item->menu() != nullptr) {
                    for (QAction* entry : item->menu()->actions()) {
                        if (entry->isVisible() && !entry->isSeparator())
                            texts.emplace_back(entry->objectName(), entry->text());
                    }
                }
            }
        }
    }
    for (int n = 0; n < IToolWindows::kCount; ++n) {
        QToolBar* bar = m_toolWindows->Bar(n);
        if (!bar->isVisible())
            continue;
        for (QAbstractButton* button : bar->findChildren<QAbstractButton*>()) {
            // Qt's own buttons of the bar (its extension arrow) carry a picture, not a text.
            if (button->isVisible() && !button->objectName().startsWith(QLatin1String("qt_")))
                texts.emplace_back(button->objectName(), button->text());
        }
    }
    return texts;
}

// Children of the work area ------------------------------------------------------------------

QMdiSubWindow* TPellivarkMain::SubWindowOf(QWidget* window)
{
    if (window == nullptr)
        return nullptr;
    auto it = m_subWindows.find(window);
    if (it != m_subWindows.end() && it->second)
        return it->second;
    // Children are always shown maximised, frameless and cannot be closed by the user: the
    // view switch alone decides what the work area shows.
    QMdiSubWindow* sub = m_mdi->addSubWindow(window, Qt::SubWindow | Qt::FramelessWindowHint);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setSystemMenu(nullptr);
    sub->hide();
    m_subWindows[window] = sub;
    return sub;
}

void TPellivarkMain::SetStartMenu(QWidget* startMenu)
{
    m_startMenu = startMenu;
    SubWindowOf(startMenu);
}

void TPellivarkMain::SetExerciseWindow(ExerciseKind kind, QWidget* window)
{
    if (!IsKnownKind(kind))
        return;
    m_exerciseWindows[Slot(kind)] = window;
    SubWindowOf(window);
}

QWidget* TPellivarkMain::ExerciseWindow(ExerciseKind kind) const
{
    return IsKnownKind(kind) ? m_exerciseWindows[Slot(kind)].data() : nullptr;
}

void TPellivarkMain::SetResultsWindow(TUserResult* window)
{
    m_resultsWindow = window;
    SubWindowOf(window);
    for (int j = 0; window != nullptr && j < kResultColumnCount; ++j)
        window->Model().SetColumn(j, m_resultColumns[static_cast<std::size_t>(j)]);
}

void TPellivarkMain::SetSetupPage(SetupBlockType page, QWidget* window)
{
    m_setupPages[page] = window;
    SubWindowOf(window);
}

QWidget* TPellivarkMain::ShownView() const
{
    return m_shown;
}

QWidget* TPellivarkMain::PlaceholderView(const QString& name, const QString& text)
{
    QPointer<QWidget>& view = m_placeholders[name];
    if (view)
        return view;
    view = new QWidget;
    view->setObjectName(name);
    auto* layout = new QVBoxLayout(view);
    auto* label = new QLabel(view);
    label->setObjectName(QStringLiteral("NotAvailableText"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setText(text);
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 4);
    label->setFont(font);
    layout->addWidget(label);
    SubWindowOf(view);
    return view;
}

QWidget* TPellivarkMain::NotAvailableView(ExerciseKind kind)
{
    return PlaceholderView(QStringLiteral("NotAvailable%1").arg(KindNumber(kind)),
                           QStringLiteral("%1\n\nThis exercise is not available yet.")
                               .arg(QString::fromLatin1(kKindNames[Slot(kind)])));
}

void TPellivarkMain::ShowInWorkArea(QWidget* window)
{
    QMdiSubWindow* shown = SubWindowOf(window);
    for (auto& [child, sub] : m_subWindows) {
        if (sub && sub != shown && sub->isVisible())
            sub->hide();
    }
    m_shown = window;
    if (shown != nullptr) {
        shown->showMaximized();
        m_mdi->setActiveSubWindow(shown);
    }
}

void TPellivarkMain::ShowStartMenuMaximized()
{
    ShowInWorkArea(m_startMenu);
}

void TPellivarkMain::ShowExerciseMaximized(ExerciseKind kind)
{
    QWidget* window = ExerciseWindow(kind);
    ShowInWorkArea(window != nullptr ? window : NotAvailableView(kind));
}

void TPellivarkMain::ShowNotAvailable(ExerciseKind kind)
{
    if (IsKnownKind(kind))
        ShowInWorkArea(NotAvailableView(kind));
}

void TPellivarkMain::ShowSetupPageMaximized(SetupBlockType page, ExerciseKind kind)
{
    const auto it = m_setupPages.find(page);
    if (it != m_setupPages.end() && it->second)
        ShowInWorkArea(it->second);
    else if (IsKnownKind(kind))
        ShowInWorkArea(
            PlaceholderView(QStringLiteral("SetupNotAvailable%1").arg(KindNumber(kind)),
                            QStringLiteral("%1\n\nThe exercise setup page is not available yet.")
                                .arg(QString::fromLatin1(kKindNames[Slot(kind)]))));
}

void TPellivarkMain::ShowResultsMaximized()
{
    // Until the results view exists its place says so, rather than the exercise staying in
    // view under the results' caption.
    ShowInWorkArea(m_resultsWindow ? m_resultsWindow.data()
                                   : PlaceholderView(QStringLiteral("ResultsNotAvailable"),
                                                     QStringLiteral("The results view is not "
                                                                    "available yet.")));
}

void TPellivarkMain::FillResultsView(ExerciseKind kind, double fromDate)
{
    if (m_resultsWindow)
        m_resultsWindow->Fill(KindNumber(kind), fromDate);
}

void TPellivarkMain::SetResultsItemButtonsVisible(bool on)
{
    if (m_resultsWindow)
        m_resultsWindow->SetItemButtonsVisible(on);
}

void TPellivarkMain::SetResultsUserChooser(bool shown, int panelLeft)
{
    if (m_resultsWindow)
        m_resultsWindow->SetUserChooser(shown, panelLeft);
}

void TPellivarkMain::SetExportImportUserChooserEnabled(bool on)
{
    if (m_exportImport)
        m_exportImport->SetUserChoiceAllowed(on);
}

void TPellivarkMain::SetSetupChooserFolder(const QString& folder)
{
    m_setupChooserFolder = folder;
}

void TPellivarkMain::ShowSetupChooser()
{
    if (m_handlers.SetupChooser)
        m_handlers.SetupChooser();
}

// Controls ----------------------------------------------------------------------------------

void TPellivarkMain::SetEnabled(MainControl control, bool on)
{
    if (control == MainControl::Timer1) {
        m_timer1On = on;
        ArmTimer1();
        return;
    }
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    if (c->Action)
        c->Action->setEnabled(on);
    if (c->Button)
        c->Button->setEnabled(on);
    if (c->Label)
        c->Label->setEnabled(on);
    if (c->Widget)
        c->Widget->setEnabled(on);
    if (c->Timer) {
        if (on && !c->Timer->isActive())
            c->Timer->start();
        else if (!on)
            c->Timer->stop();
    }
}

bool TPellivarkMain::IsEnabled(MainControl control) const
{
    if (control == MainControl::Timer1)
        return m_timer1On;
    const Control* c = Find(control);
    if (c == nullptr)
        return false;
    if (c->Action)
        return c->Action->isEnabled();
    if (c->Button)
        return c->Button->isEnabled();
    if (c->Label)
        return c->Label->isEnabled();
    if (c->Widget)
        return c->Widget->isEnabled();
    if (c->Timer)
        return c->Timer->isActive();
    return false;
}

void TPellivarkMain::SetVisible(MainControl control, bool on)
{
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    if (c->Action)
        c->Action->setVisible(on);
    // A control inside a tool bar shows and hides only through the bar's action for it.
    for (QWidget* widget : {static_cast<QWidget*>(c->Button.data()),
                            static_cast<QWidget*>(c->Label.data()), c->Widget.data()}) {
        if (widget == nullptr)
            continue;
        const auto inBar = m_barActions.find(widget);
        if (inBar != m_barActions.end() && inBar->second)
            inBar->second->setVisible(on);
        else
            widget->setVisible(on);
    }
}

void TPellivarkMain::SetChecked(MainControl control, bool on)
{
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    if (c->Action) {
        c->Action->setCheckable(true);
        c->Action->setChecked(on);
    }
    if (c->Button && c->Button->isCheckable())
        c->Button->setChecked(on);
}

void TPellivarkMain::SetDown(MainControl control, bool on)
{
    const Control* c = Find(control);
    if (c == nullptr || !c->Button)
        return;
    QAbstractButton* button = c->Button;
    if (!button->isCheckable())
        return;
    // An exclusive group refuses to release its checked button; releasing is asked for when
    // no button of the group is to be down.
    QButtonGroup* group = button->group();
    const bool exclusive = group != nullptr && group->exclusive();
    if (!on && exclusive)
        group->setExclusive(false);
    button->setChecked(on);
    if (!on && exclusive)
        group->setExclusive(true);
}

bool TPellivarkMain::IsDown(MainControl control) const
{
    const Control* c = Find(control);
    return c != nullptr && c->Button && c->Button->isChecked();
}

void TPellivarkMain::SetText(MainControl control, const QString& text)
{
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    if (c->Action)
        c->Action->setText(text);
    if (c->Button)
        c->Button->setText(text);
    if (c->Label)
        c->Label->setText(text);
}

QString TPellivarkMain::Text(MainControl control) const
{
    const Control* c = Find(control);
    if (c == nullptr)
        return {};
    if (c->Action)
        return c->Action->text();
    if (c->Button)
        return c->Button->text();
    if (c->Label)
        return c->Label->text();
    return {};
}

void TPellivarkMain::SetWidth(MainControl control, int width)
{
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    QWidget* widget = c->Button  ? static_cast<QWidget*>(c->Button)
                      : c->Label ? static_cast<QWidget*>(c->Label)
                                 : c->Widget.data();
    // A bevel is only a divider here: its designed width would push the tool bar apart.
    if (widget != nullptr && control != MainControl::Bevel1)
        widget->setMinimumWidth(width);
    if (widget != nullptr)
        widget->setProperty("designedWidth", width);
}

int TPellivarkMain::Width(MainControl control) const
{
    const Control* c = Find(control);
    if (c == nullptr)
        return 0;
    QWidget* widget = c->Button  ? static_cast<QWidget*>(c->Button)
                      : c->Label ? static_cast<QWidget*>(c->Label)
                                 : c->Widget.data();
    if (widget == nullptr)
        return 0;
    const QVariant designed = widget->property("designedWidth");
    return designed.isValid() ? designed.toInt() : widget->width();
}

void TPellivarkMain::SetTempoPosition(int tempo)
{
    m_trackBar1->setValue(tempo);
}

QAction* TPellivarkMain::ViewEntry(ExerciseKind kind, MainView view) const
{
    const int v = static_cast<int>(view) - 1;
    if (!IsKnownKind(kind) || v < 0 || v > 3)
        return nullptr;
    return m_viewEntries[Slot(kind)][static_cast<std::size_t>(v)];
}

void TPellivarkMain::SetViewEntryText(ExerciseKind kind, MainView view, const QString& text)
{
    if (QAction* entry = ViewEntry(kind, view))
        entry->setText(text);
}

void TPellivarkMain::SetViewEntryEnabled(ExerciseKind kind, MainView view, bool on)
{
    if (QAction* entry = ViewEntry(kind, view))
        entry->setEnabled(on);
}

void TPellivarkMain::SetViewEntryVisible(ExerciseKind kind, MainView view, bool on)
{
    if (QAction* entry = ViewEntry(kind, view))
        entry->setVisible(on);
}

void TPellivarkMain::SetViewEntryChecked(ExerciseKind kind, MainView view, bool on)
{
    if (QAction* entry = ViewEntry(kind, view))
        entry->setChecked(on);
}

QAbstractButton* TPellivarkMain::Button(MainControl control) const
{
    const Control* c = Find(control);
    return c != nullptr ? c->Button.data() : nullptr;
}

QAction* TPellivarkMain::Action(MainControl control) const
{
    const Control* c = Find(control);
    return c != nullptr ? c->Action.data() : nullptr;
}

QLabel* TPellivarkMain::Label(MainControl control) const
{
    const Control* c = Find(control);
    return c != nullptr ? c->Label.data() : nullptr;
}

void TPellivarkMain::PumpMessages()
{
    QCoreApplication::processEvents();
}

// Tool windows ------------------------------------------------------------------------------

void TPellivarkMain::SetToolWindowAllowed(int n, bool allowed)
{
    if (n < 0 || n >= IToolWindows::kCount)
        return;
    m_toolWindowAllowed[static_cast<std::size_t>(n)] = allowed;
    if (QAction* toggle = m_toolWindowItems[static_cast<std::size_t>(n)]) {
        const QSignalBlocker block(toggle);
        toggle->setChecked(allowed);
    }
    ApplyToolWindow(n);
}

bool TPellivarkMain::ToolWindowAllowed(int n) const
{
    return n >= 0 && n < IToolWindows::kCount && m_toolWindowAllowed[static_cast<std::size_t>(n)];
}

bool TPellivarkMain::ToolWindowWanted(int n) const
{
    return n >= 0 && n < IToolWindows::kCount && m_toolWindowWanted[static_cast<std::size_t>(n)];
}

void TPellivarkMain::SetToolWindowVisible(int n, bool visible)
{
    if (n < 0 || n >= IToolWindows::kCount)
        return;
    m_toolWindowWanted[static_cast<std::size_t>(n)] = visible;
    ApplyToolWindow(n);
}

void TPellivarkMain::ApplyToolWindow(int n)
{
    const auto i = static_cast<std::size_t>(n);
    // The main tool bar carries the view and exercise buttons: without it nothing can be
    // switched, so it always shows.
    const bool show = n == 0 || (m_toolWindowWanted[i] && m_toolWindowAllowed[i]);
    m_toolWindows->SetToolWindowVisible(n, show);
}

void TPellivarkMain::LayoutScoreToolWindow() {}
void TPellivarkMain::AlignAnswerInputMenu(std::optional<ExerciseKind>) {}

void TPellivarkMain::FocusExercise(ExerciseKind kind)
{
    activateWindow();
    setFocus();
    auto* exercise = qobject_cast<TExerciseBaseClass*>(ExerciseWindow(kind));
    if (exercise == nullptr)
        return;
    exercise->setFocus();
    if (exercise->ControlButtons != nullptr)
        exercise->ControlButtons->setFocus();
}

QString TPellivarkMain::AskUserName(const QString& prompt)
{
    return m_prompts.AskText(QString(), prompt, QString()).value_or(QString());
}

void TPellivarkMain::AdaptButtonLook() {}

void TPellivarkMain::HideSplash()
{
    if (m_handlers.HideSplash)
        m_handlers.HideSplash();
}

// The exercise windows' host ------------------------------------------------------------------

void TPellivarkMain::FormKeyDown(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    // A key handed back carries no scan code; when it is the key being delivered now, its
    // physical digit is known from the delivery.
    const std::uint32_t scanCode =
        m_deliveredKey.Key == key && m_deliveredKey.Modifiers == modifiers ? m_deliveredKey.ScanCode
                                                                           : 0;
    (void)CarryOut(
        MainKeyTable::KeyDown(KeyOf(key, modifiers, autoRepeat, scanCode), KeyContext()));
}

void TPellivarkMain::FormKeyUp(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat)
{
    (void)CarryOut(MainKeyTable::KeyUp(KeyOf(key, modifiers, autoRepeat, 0), KeyContext()));
}

MainKeyEvent TPellivarkMain::KeyOf(int key, Qt::KeyboardModifiers modifiers, bool autoRepeat,
                                   std::uint32_t scanCode) const
{
    // X11 and Wayland both number the physical keys by the Linux input codes.
    static const bool evdev = QGuiApplication::platformName() == QLatin1String("xcb") ||
                              QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return MainKeyEvent{key, modifiers, autoRepeat,
                        MainKeyTable::DigitKey(key, modifiers, scanCode, evdev)};
}

TExerciseBaseClass* TPellivarkMain::CurrentExercise() const
{
    if (m_state == nullptr || !m_state->CurrentKind)
        return nullptr;
    return qobject_cast<TExerciseBaseClass*>(ExerciseWindow(*m_state->CurrentKind));
}

MainKeyContext TPellivarkMain::KeyContext() const
{
    MainKeyContext context;
    if (m_state != nullptr) {
        context.CurrentKind = m_state->CurrentKind;
        context.CurrentView = m_state->CurrentView;
        context.TutorActive = m_state->TutorActive;
    }
    QWidget* focused = QApplication::focusWidget();
    TExerciseBaseClass* exercise = CurrentExercise();
    if (exercise != nullptr && exercise->ControlButtons != nullptr &&
        focused == exercise->ControlButtons) {
        context.Focus = KeyFocus::ControlStrip;
        context.StripFocusIndex = exercise->ControlButtons->Model().FocusIndex;
    } else if (IsTextEntry(focused)) {
        context.Focus = KeyFocus::TextEntry;
    }
    context.IsEnabled = [this](MainControl control) { return IsEnabled(control); };
    return context;
}

bool TPellivarkMain::IsTextEntry(const QWidget* widget)
{
    if (widget == nullptr)
        return false;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
           qobject_cast<const QTextEdit*>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(widget) != nullptr;
}

bool TPellivarkMain::CarryOut(const MainKeyAction& action)
{
    switch (action.Type) {
    case MainKeyActionType::Pass:
        return false;
    case MainKeyActionType::Nothing:
        break;
    case MainKeyActionType::ViewTag:
        if (m_handlers.ViewTag)
            m_handlers.ViewTag(action.Value);
        break;
    case MainKeyActionType::EndTutor:
        SetDown(MainControl::SpeedButton10, false);
        if (m_handlers.ViewTag)
            m_handlers.ViewTag(action.Value);
        break;
    case MainKeyActionType::PressButton:
        if (TExerciseBaseClass* exercise = CurrentExercise())
            exercise->ControlButtons->Press(action.Value);
        break;
    case MainKeyActionType::ReleaseButton:
        if (TExerciseBaseClass* exercise = CurrentExercise())
            exercise->ControlButtonUpAction();
        break;
    case MainKeyActionType::TapDown:
    case MainKeyActionType::TapUp:
        if (const std::optional<ExerciseKind> kind = KindFromNumber(action.Value)) {
            if (auto* rhythm = qobject_cast<TRhythmWindow*>(ExerciseWindow(*kind)))
                rhythm->TapKey(action.Type == MainKeyActionType::TapDown);
        }
        break;
    }
    return true;
}

bool TPellivarkMain::IsOwnWindow(const QWidget* widget) const
{
    if (widget == nullptr)
        return false;
    const QWidget* top = widget->window();
    if (top == this)
        return true;
    // A tool window pulled out of the main window stays one of its windows.
    return (qobject_cast<const QToolBar*>(top) != nullptr ||
            qobject_cast<const QDockWidget*>(top) != nullptr) &&
           top->parentWidget() != nullptr && top->parentWidget()->window() == this;
}

void TPellivarkMain::Activatetutor1Click()
{
    // The menu entry works the tutor button: the switch reads the button.
    SetDown(MainControl::SpeedButton10, !IsDown(MainControl::SpeedButton10));
    if (m_handlers.ViewTag)
        m_handlers.ViewTag(kTutorTag);
}

bool TPellivarkMain::TutorActive() const
{
    return m_state != nullptr && m_state->TutorActive;
}

void TPellivarkMain::ShowTutorProgress()
{
    if (m_handlers.ShowTutorProgress)
        m_handlers.ShowTutorProgress();
}

bool TPellivarkMain::TutorTakesAnswer()
{
    return m_handlers.TutorTakesAnswer && m_handlers.TutorTakesAnswer();
}

bool TPellivarkMain::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease &&
        (watched == Label(MainControl::Label6) || watched == Label(MainControl::Label2))) {
        if (m_handlers.Panel2Click)
            m_handlers.Panel2Click();
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // A modal dialog, and a menu that is open, keep their keys.
    if (!IsOwnWindow(widget) || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr)
        return QMainWindow::eventFilter(watched, event);

    auto* keyEvent = static_cast<QKeyEvent*>(event);
    const MainKeyEvent key = KeyOf(keyEvent->key(), keyEvent->modifiers(), keyEvent->isAutoRepeat(),
                                   keyEvent->nativeScanCode());
    const MainKeyContext context = KeyContext();
    const MainKeyAction action = type == QEvent::KeyRelease ? MainKeyTable::KeyUp(key, context)
                                                            : MainKeyTable::KeyDown(key, context);

    if (type == QEvent::ShortcutOverride) {
        // The window's keys are not menu shortcuts: the key press comes to the window.
        if (!action.Taken())
            return false;
        event->accept();
        return true;
    }

    // Inside the exercise window the window has the key first: it keeps its own keys (the
    // accidentals, Insert, its strip's keys) and hands the rest back to FormKeyDown/FormKeyUp.
    // The filter sees the key again at every parent it passes on to, so this holds for each.
    TExerciseBaseClass* exercise = CurrentExercise();
    if (exercise != nullptr && exercise->Host() == this && exercise == m_shown &&
        (widget == exercise || exercise->isAncestorOf(widget))) {
        m_deliveredKey =
            DeliveredKey{keyEvent->key(), keyEvent->modifiers(), keyEvent->nativeScanCode()};
        return false;
    }
    if (!CarryOut(action))
        return false;
    event->accept();
    return true;
}

bool TPellivarkMain::ShowTip(int n)
{
    return m_handlers.ShowTip ? m_handlers.ShowTip(n) : true;
}

void TPellivarkMain::ApplyShownControls(std::uint32_t tipsMask)
{
    if (m_handlers.ApplyShownControls)
        m_handlers.ApplyShownControls(tipsMask);
}

QTimer* TPellivarkMain::ExerciseTimer(ExerciseHostTimer timer)
{
    switch (timer) {
    case ExerciseHostTimer::LightDisplaytime:
        return m_lightDisplaytime;
    case ExerciseHostTimer::AnswerbuttonBlink:
        return m_answerbuttonBlink;
    }
    return nullptr;
}

void TPellivarkMain::SetAutoNewQuestTimerEnabled(bool on)
{
    if (on)
        m_autoNewQuestTimer->start();
    else
        m_autoNewQuestTimer->stop();
}

void TPellivarkMain::ClockRepaintCurrentKind()
{
    // The clock timer repaints the strip at its next tick, with the time it shows then.
    if (m_state != nullptr)
        m_state->ClockRepaintKind = m_state->CurrentKind;
    ArmTimer1();
}

void TPellivarkMain::ShowScoreDisplay(int gauge, const QString& label)
{
    m_gauge15->setValue(gauge);
    m_label15->setText(label);
}

void TPellivarkMain::SetTimer1Enabled(bool on)
{
    SetEnabled(MainControl::Timer1, on);
}

void TPellivarkMain::ShowExerciseTime(const QString& text)
{
    if (QLabel* label = Label(MainControl::Label7))
        label->setText(text);
}

void TPellivarkMain::RepaintControlStrip(ExerciseKind kind)
{
    auto* exercise = qobject_cast<TExerciseBaseClass*>(ExerciseWindow(kind));
    if (exercise != nullptr && exercise->ControlButtons != nullptr)
        exercise->ControlButtons->update();
}

void TPellivarkMain::Timer1Fired()
{
    if (m_handlers.Timer1Timer)
        m_handlers.Timer1Timer();
    ArmTimer1();
}

void TPellivarkMain::ArmTimer1()
{
    // A clock that showed the time once a second would wake the program all the time it
    // stands still; it wakes when what it shows changes.
    constexpr int kEverySecondMs = 1000;
    const std::optional<int> due = !m_timer1On            ? std::nullopt
                                   : m_handlers.Timer1Due ? m_handlers.Timer1Due()
                                                          : std::optional<int>(kEverySecondMs);
    if (due)
        m_timer1->start(std::max(*due, 1));
    else
        m_timer1->stop();
}

// Program settings --------------------------------------------------------------------------

void TPellivarkMain::BeginDockUpdate()
{
    setUpdatesEnabled(false);
}

void TPellivarkMain::EndDockUpdate()
{
    setUpdatesEnabled(true);
}

void TPellivarkMain::PlaceToolWindow(int index, const ToolWindowPlace& place)
{
    if (!place.Dock)
        return;
    ToolWindowPlacement placement;
    placement.Left = place.Left;
    placement.Top = place.Top;
    placement.Width = place.Width;
    placement.Height = place.Height;
    placement.DockRow = place.DockRow;
    placement.DockPos = place.DockPos;
    placement.Dock = static_cast<std::uint8_t>(*place.Dock);
    m_toolWindows->RestorePlacement(index, placement);
}

ToolWindowPlace TPellivarkMain::ToolWindowPlaceOf(int index) const
{
    const ToolWindowPlacement placement = m_toolWindows->Placement(index);
    ToolWindowPlace place;
    place.Left = placement.Left;
    place.Top = placement.Top;
    place.Width = placement.Width;
    place.Height = placement.Height;
    place.DockRow = placement.DockRow;
    place.DockPos = placement.DockPos;
    place.Dock = static_cast<ToolDock>(placement.Dock);
    return place;
}

void TPellivarkMain::SetResultColumn(int index, const ResultColumn& column)
{
    if (index < 0 || index >= kResultColumnCount)
        return;
    m_resultColumns[static_cast<std::size_t>(index)] = column;
    if (m_resultsWindow) {
        m_resultsWindow->Model().SetColumn(index, column);
        m_resultsWindow->SetColumns();
    }
}

ResultColumn TPellivarkMain::ResultColumnOf(int index) const
{
    if (index < 0 || index >= kResultColumnCount)
        return {};
    // The view's table holds what the user changed since the settings were applied.
    if (m_resultsWindow)
        return m_resultsWindow->Model().Column(index);
    return m_resultColumns[static_cast<std::size_t>(index)];
}

namespace {

QFont FontOf(const FontSpec& spec, const QFont& base)
{
    QFont font = base;
    if (!spec.Name.isEmpty())
        font.setFamily(spec.Name);
    // A damaged record's size must not make the program unreadable.
    if (spec.Size >= 6 && spec.Size <= 48)
        font.setPointSize(spec.Size);
    font.setBold((spec.Style & 1U) != 0);
    font.setItalic((spec.Style & 2U) != 0);
    font.setUnderline((spec.Style & 4U) != 0);
    font.setStrikeOut((spec.Style & 8U) != 0);
    return font;
}

} // namespace

void TPellivarkMain::SetMainWindowFont(const FontSpec& font)
{
    setFont(FontOf(font, font.Name.isEmpty() ? this->font() : QApplication::font()));
    if (font.Size >= 6 && font.Size <= 48)
        m_programFontSize = font.Size;
}

void TPellivarkMain::ApplyFontToForms(const FontSpec& font)
{
    for (auto& [child, sub] : m_subWindows) {
        if (child != nullptr)
            child->setFont(FontOf(font, QApplication::font()));
    }
}

void TPellivarkMain::ApplyColorToForms(std::uint32_t colour)
{
    // A colour with its high byte set names a system colour, which the style already draws.
    if ((colour & 0xFF000000U) != 0)
        return;
    const QColor background(static_cast<int>(colour & 0xFFU),
                            static_cast<int>((colour >> 8) & 0xFFU),
                            static_cast<int>((colour >> 16) & 0xFFU));
    for (auto& [child, sub] : m_subWindows) {
        if (child == nullptr)
            continue;
        QPalette palette = child->palette();
        palette.setColor(QPalette::Window, background);
        child->setPalette(palette);
        child->setAutoFillBackground(true);
    }
}

void TPellivarkMain::SetMenuTick(SettingsMenuItem item, bool ticked)
{
    switch (item) {
    case SettingsMenuItem::Autonewquest1:
        SetChecked(MainControl::Autonewquest1, ticked);
        break;
    case SettingsMenuItem::Showkeyname1:
        SetChecked(MainControl::Showkeyname1, ticked);
        break;
    case SettingsMenuItem::MIDIin1:
        SetChecked(MainControl::MIDIin1, ticked);
        break;
    }
}

void TPellivarkMain::SetAutoNewQuestTimerInterval(int milliseconds)
{
    m_autoNewQuestTimer->setInterval(std::max(milliseconds, 100));
}

void TPellivarkMain::SetHelpFile(const QString& path)
{
    m_helpFile = path;
    m_help->SetHelpFile(path);
}

void TPellivarkMain::ShowHelpTopic(int context)
{
    m_help->Show(m_helpFile, context);
}

void TPellivarkMain::SpeedButton4Click()
{
    const pv::MainWindowState none;
    const pv::MainWindowState& state = m_state != nullptr ? *m_state : none;
    ShowHelpTopic(ContextHelpFor(state.CurrentKind, state.CurrentView, state.TutorActive));
}

void TPellivarkMain::SetMainWindowBounds(const WindowBounds& bounds)
{
    // A record from a larger screen, a screen no longer attached, or a damaged one, must not
    // put the window out of reach nor ask for a window larger than any screen.
    std::vector<ScreenArea> screens;
    QList<QScreen*> all = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen()) {
        all.removeAll(primary);
        all.prepend(primary);
    }
    for (const QScreen* screen : all) {
        const QRect area = screen->availableGeometry();
        screens.push_back({area.left(), area.top(), area.width(), area.height()});
    }
    const std::optional<WindowBounds> placed = PlaceOnScreens(bounds, screens);
    if (!placed)
        return;
    setGeometry(QRect(placed->Left, placed->Top, placed->Width, placed->Height));
}

WindowBounds TPellivarkMain::MainWindowBounds() const
{
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    return {normal.left(), normal.top(), normal.width(), normal.height()};
}

void TPellivarkMain::SetMainWindowState(WindowShowState state)
{
    // A program that starts minimised looks as if it had not started: it comes up normal.
    if (state == WindowShowState::Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
}

WindowShowState TPellivarkMain::MainWindowState() const
{
    if (isMaximized())
        return WindowShowState::Maximized;
    if (isMinimized())
        return WindowShowState::Minimized;
    return WindowShowState::Normal;
}

int TPellivarkMain::StatisticsPeriodCount() const
{
    return static_cast<int>(m_periodItems.size());
}

QString TPellivarkMain::StatisticsPeriodText(int index) const
{
    if (index < 0 || index >= StatisticsPeriodCount())
        return {};
    QString text = m_periodItems[static_cast<std::size_t>(index)]->text();
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

std::optional<int> TPellivarkMain::TickedStatisticsPeriod() const
{
    for (std::size_t i = 0; i < m_periodItems.size(); ++i) {
        if (m_periodItems[i]->isChecked())
            return static_cast<int>(i);
    }
    return std::nullopt;
}

void TPellivarkMain::ChooseStatisticsPeriod(int index)
{
    if (index < 0 || index >= StatisticsPeriodCount())
        return;
    m_periodItems[static_cast<std::size_t>(index)]->trigger();
}

// Window events -----------------------------------------------------------------------------

void TPellivarkMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous() || m_showPending)
        return;
    // The show step asks questions in boxes of their own and opens the sound devices: it runs
    // once the window has painted, so the user sees the program at once. A platform that
    // never paints still gets its show step.
    m_showPending = true;
    if (m_firstPaintSeen)
        QueueShowStep();
    else
        QTimer::singleShot(2000, this, [this] { QueueShowStep(); });
}

void TPellivarkMain::QueueShowStep()
{
    if (!m_showPending)
        return;
    m_showPending = false;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_handlers.Show)
                m_handlers.Show();
        },
        Qt::QueuedConnection);
}

void TPellivarkMain::closeEvent(QCloseEvent* event)
{
    if (m_handlers.CloseQuery && !m_handlers.CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TPellivarkMain::event(QEvent* event)
{
    if (!m_firstPaintSeen && event->type() == QEvent::Paint) {
        m_firstPaintSeen = true;
        const bool handled = QMainWindow::event(event);
        NoteFirstPaint();
        QueueShowStep();
        return handled;
    }
    if (event->type() == MidiInEvent::EventType()) {
        const auto* midi = static_cast<const MidiInEvent*>(event);
        if (m_handlers.MidiInData)
            m_handlers.MidiInData(midi->Message(), midi->Target());
        return true;
    }
    if (event->type() == SequencerNotifyEvent::Type()) {
        SequencerNotify(static_cast<const SequencerNotifyEvent*>(event)->Code());
        return true;
    }
    if (event->type() == WaveInPitchEvent::EventType()) {
        if (m_handlers.WaveInPitch)
            m_handlers.WaveInPitch(static_cast<const WaveInPitchEvent*>(event)->WParam());
        return true;
    }
    if (event->type() == WaveInOnsetEvent::EventType()) {
        const auto* onset = static_cast<const WaveInOnsetEvent*>(event);
        if (m_handlers.WaveInOnset)
            m_handlers.WaveInOnset(onset->WParam(), onset->LParam());
        return true;
    }
    return QMainWindow::event(event);
}

void TPellivarkMain::WaveInStop()
{
    if (m_handlers.WaveInStop)
        m_handlers.WaveInStop();
}

void TPellivarkMain::StopMidiInput()
{
    if (m_handlers.StopMidiInput)
        m_handlers.StopMidiInput();
}

} // namespace pv

namespace pv {

void TPellivarkMain::MetroClick()
{
    if (m_handlers.MetroClick)
        m_handlers.MetroClick(false);
}

void TPellivarkMain::SpeedButton12Click()
{
    if (m_handlers.SpeedButton12Click)
        m_handlers.SpeedButton12Click(false);
}

void TPellivarkMain::SequencerNotify(std::uint32_t code)
{
    const SequencerBeat beat = SequencerBeatOf(code);
    m_metronomeBeatsPerBar = beat.BeatsPerBar;
    PaintMetronome(beat.Beat, beat.BeatsPerBar);
}

void TPellivarkMain::PaintMetronome(int beat, int beatsPerBar)
{
    if (m_toolWindows->ToolWindowVisible(1))
        m_paintBox2->PaintMetronome(beat, beatsPerBar);
}

void TPellivarkMain::PaintBox2Paint()
{
    m_paintBox2->PaintBox2Paint();
}

void TPellivarkMain::MetronomeTimerTimer()
{
    PaintMetronome(0, m_metronomeBeatsPerBar);
    m_metronomeTimer->stop();
}

} // namespace pv
