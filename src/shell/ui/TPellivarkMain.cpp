// The main window's widgets and their mirroring.
#include "shell/ui/TPellivarkMain.h"

#include "docking/ui/DockSite.h"
#include "docking/ui/TToolWindow.h"
#include "exercises/ui/TControlButton.h"
#include "exercises/ui/TExerciseBaseClass.h"
#include "exercises/ui/TRhythmWindow.h"
#include "music/base/ExerciseKindUi.h"
#include "music/base/Prompts.h"
#include "music/input/MidiInEvent.h"
#include "music/input/WaveInEvents.h"
#include "music/sequencer/SequencerNotifyEvent.h"
#include "music/strings/UIStrings.h"
#include "music/ui/MusicFont.h"
#include "shell/answerinput/ToolWindowLayouts.h"
#include "shell/answerinput/ui/ScorePanel.h"
#include "shell/commands/ModalGuard.h"
#include "shell/help/HelpContexts.h"
#include "shell/help/ui/HelpDesk.h"
#include "shell/language/ui/WidgetTexts.h"
#include "shell/results/ui/TUserResult.h"
#include "shell/settings/WindowPlacement.h"
#include "shell/transfer/ui/TExportImport.h"
#include "shell/ui/StartupProbe.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDockWidget>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace pv {

namespace {

std::size_t Slot(ExerciseKind kind)
{
    return static_cast<std::size_t>(KindNumber(kind) - 1);
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
    m_toolWindows = std::make_unique<DockToolWindows>(*this, m_mdi);
    setCentralWidget(&m_toolWindows->Site());
    // A bar the user closes is one the user no longer wants, as its unticked View entry says.
    m_toolWindows->SetOnUserClose([this](int n) {
        SetToolWindowAllowed(n, false);
        if (m_handlers.ToolWindowFlag)
            m_handlers.ToolWindowFlag(n, false);
        // The View entries tick from the settings byte just cleared.
        if (m_commands != nullptr)
            m_commands->Refresh();
    });

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
    Register(ControlId(MainControl::LightDisplaytime), m_lightDisplaytime);
    Register(ControlId(MainControl::AnswerbuttonBlink), m_answerbuttonBlink);
    Register(ControlId(MainControl::MetronomeTimer), m_metronomeTimer);

    m_help = std::make_unique<HelpDesk>(m_prompts, m_strings, *this);
    MakeSlots();
    m_toolWindows->Bar(2)->SetCaption(QStringLiteral("Tutor"));
    m_toolWindows->Bar(3)->SetCaption(QStringLiteral("Score"));
    m_toolWindows->Bar(4)->SetCaption(QStringLiteral("Tempo"));
    m_toolWindows->Bar(5)->SetCaption(QStringLiteral("Metronome"));
    for (int n = 1; n < IToolWindows::kCount; ++n)
        ApplyToolWindow(n);
    // The window sees every key of its own windows first, wherever the focus is.
    qApp->installEventFilter(this);
}

TPellivarkMain::~TPellivarkMain()
{
    if (m_commands != nullptr)
        m_commands->SetView(nullptr);
}

QString TPellivarkMain::ControlId(MainControl control)
{
    return UiName(ControlName(control));
}

void TPellivarkMain::Register(const QString& name, QAction* action)
{
    m_controls[name].Action = action;
}

void TPellivarkMain::Register(const QString& name, QAbstractButton* button)
{
    m_controls[name].Button = button;
}

void TPellivarkMain::Register(const QString& name, QLabel* label)
{
    m_controls[name].Label = label;
}

void TPellivarkMain::Register(const QString& name, QWidget* widget)
{
    m_controls[name].Widget = widget;
}

void TPellivarkMain::Register(const QString& name, QTimer* timer)
{
    m_controls[name].Timer = timer;
}

const TPellivarkMain::Control* TPellivarkMain::Find(MainControl control) const
{
    const auto it = m_controls.find(ControlId(control));
    return it == m_controls.end() ? nullptr : &it->second;
}

void TPellivarkMain::RegisterTextTargets(const TextTargetSink& sink)
{
    const QString form = objectName();
    sink(form, [this](const QString& text) { setWindowTitle(text); });
    // The commands under the keys their rows name.
    if (m_commands != nullptr) {
        for (const QString& id : m_commands->Ids()) {
            const CommandRow* row = m_commands->Find(id);
            QPointer<QAction> target(CommandAction(id));
            if (row == nullptr || row->TextId.isEmpty() || !target)
                continue;
            sink(row->TextId, [target](const QString& text) {
                if (target)
                    target->setText(text);
            });
        }
    }
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
        QPointer<docking::TToolWindow> bar(m_toolWindows->Bar(n));
        sink(form + QStringLiteral(".ToolWindow%1").arg(n), [bar](const QString& text) {
            if (bar)
                bar->SetCaption(text);
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
        const docking::TToolWindow* bar = m_toolWindows->Bar(n);
        if (!bar->isVisible())
            continue;
        for (QAbstractButton* button : bar->findChildren<QAbstractButton*>()) {
            if (button->isVisible())
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
    return PlaceholderView(
        QStringLiteral("NotAvailable%1").arg(KindNumber(kind)),
        QStringLiteral("%1\n\nThis exercise is not available yet.").arg(UiName(KindUi(kind).Name)));
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
                                .arg(UiName(KindUi(kind).Name))));
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
    // A command's button follows its action.
    if (c->Action)
        c->Action->setEnabled(on);
    else if (c->Button)
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
    // A command's button shows and hides with its action.
    if (c->Action) {
        c->Action->setVisible(on);
        return;
    }
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
    } else if (c->Button && c->Button->isCheckable()) {
        c->Button->setChecked(on);
    }
}

void TPellivarkMain::SetDown(MainControl control, bool on)
{
    const Control* c = Find(control);
    if (c == nullptr || !c->Button)
        return;
    // A grouped action releases the others of its group as it goes down; released directly,
    // the group is left with none down (the tutor's kind choice needs it).
    if (c->Action) {
        if (c->Action->isCheckable())
            c->Action->setChecked(on);
        return;
    }
    if (c->Button->isCheckable())
        c->Button->setChecked(on);
}

bool TPellivarkMain::IsDown(MainControl control) const
{
    const Control* c = Find(control);
    if (c == nullptr || !c->Button)
        return false;
    return c->Action ? c->Action->isChecked() : c->Button->isChecked();
}

void TPellivarkMain::SetText(MainControl control, const QString& text)
{
    const Control* c = Find(control);
    if (c == nullptr)
        return;
    const bool button = c->Button && c->Button->objectName() == ControlId(control);
    if (c->Action && button)
        // The button's caption; the menu entry keeps its text.
        c->Action->setIconText(text);
    else if (c->Action)
        c->Action->setText(text);
    else if (c->Button)
        c->Button->setText(text);
    if (c->Label)
        c->Label->setText(text);
}

QString TPellivarkMain::Text(MainControl control) const
{
    const Control* c = Find(control);
    if (c == nullptr)
        return {};
    const bool button = c->Button && c->Button->objectName() == ControlId(control);
    if (c->Action)
        return button ? c->Action->iconText() : c->Action->text();
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
    // A bevel is only a divider here, and the view's caption stands in the tool bar's row as
    // wide as its text: a designed width for either would push the bar apart.
    if (widget != nullptr && control != MainControl::Bevel1 && control != MainControl::Label1)
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

void TPellivarkMain::LayoutScoreToolWindow()
{
    if (m_scorePanel != nullptr)
        m_scorePanel->Relayout();
}

void TPellivarkMain::AlignAnswerInputMenu(std::optional<ExerciseKind>)
{
    // The answer-input feature reads the view and kind from the state, committed by now.
    if (m_handlers.AnswerInputFollowsView)
        m_handlers.AnswerInputFollowsView();
}

void TPellivarkMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (QLabel* label9 = m_slots.contains(QStringLiteral("Label9"))
                             ? qobject_cast<QLabel*>(m_slots.value(QStringLiteral("Label9")))
                             : nullptr)
        label9->setText(WindowSizeText(width(), height()));
}

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

// Qt draws the tool buttons in the style of the desktop in use; there is no older look of the
// system's controls to adapt to.
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
    return (qobject_cast<const docking::TCustomToolWindow*>(top) != nullptr ||
            qobject_cast<const QDockWidget*>(top) != nullptr) &&
           top->parentWidget() != nullptr && top->parentWidget()->window() == this;
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
    if (type == QEvent::ToolTip && watched == Label(MainControl::Label7)) {
        // The running time moves on: the hint is made as the pointer comes to rest.
        const std::optional<QString> hint =
            m_handlers.Label7Hint ? m_handlers.Label7Hint() : std::nullopt;
        if (QLabel* label = Label(MainControl::Label7))
            label->setToolTip(hint.value_or(QString()));
        return QMainWindow::eventFilter(watched, event);
    }
    if (type == QEvent::MouseButtonRelease &&
        (watched == Label(MainControl::Label6) || watched == Label(MainControl::Label2))) {
        if (m_handlers.Panel2Click)
            m_handlers.Panel2Click();
        return true;
    }
    if (type == QEvent::MouseButtonRelease && watched == m_slots.value(QStringLiteral("Label9"))) {
        // The click sizes the window by the tag it finds, then steps the tag on.
        const int tag = watched->property("tag").toInt();
        const QSize size = WindowSizeOfTag(tag);
        watched->setProperty("tag", NextWindowSizeTag(tag));
        showNormal();
        resize(size);
        return true;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    // A modal dialog, and a menu that is open, keep their keys.
    if (!IsOwnWindow(widget) || QApplication::activeModalWidget() != nullptr ||
        QApplication::activePopupWidget() != nullptr)
        return QMainWindow::eventFilter(watched, event);
    // A box or a busy wait handles events while it is open: a key that arrives meanwhile
    // belongs to no exercise.
    if (m_modalGuard != nullptr && m_modalGuard->Raised()) {
        event->accept();
        return true;
    }

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
    m_toolWindows->BeginUpdate();
}

void TPellivarkMain::EndDockUpdate()
{
    m_toolWindows->EndUpdate();
}

void TPellivarkMain::PlaceToolWindow(int index, const ToolWindowPlacement& place)
{
    // An unknown dock code still places the bar's row and bounds; the bar stays in its dock.
    m_toolWindows->RestorePlacement(index, place);
}

ToolWindowPlacement TPellivarkMain::ToolWindowPlaceOf(int index) const
{
    return m_toolWindows->Placement(index);
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
        m_handlers.MetroClick();
}

void TPellivarkMain::SpeedButton12Click()
{
    if (m_handlers.SpeedButton12Click)
        m_handlers.SpeedButton12Click();
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
