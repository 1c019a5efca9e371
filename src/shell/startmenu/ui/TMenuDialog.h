// The start menu: ten large buttons, one per exercise kind, beside a text area that scrolls a
// welcome text or shows the picture, name and description of the kind under the pointer.
#pragma once

#include "music/base/ExerciseKind.h"
#include "shell/startmenu/StartMenuModel.h"

#include <array>
#include <functional>

#include <QColor>
#include <QFont>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPainter;
class QToolButton;

namespace pv {

class StartMenuIntro;

class TMenuDialog final : public QWidget
{
    Q_OBJECT

public:
    /// What the menu needs of the main window; every function may be empty.
    struct Context
    {
        /// A kind button was clicked; the tag is the kind's number (the main window's switch).
        std::function<void(int tag)> KindClicked;
        /// The caption of the kind's menu item, shown in bold over its description.
        std::function<QString(ExerciseKind)> KindCaption;
        /// The exercise window's description of the kind.
        std::function<QString(ExerciseKind)> KindDescription;
        /// The web-page line under the text area was clicked.
        std::function<void()> WebLinkClicked;
        /// The intro music; none: the menu plays none.
        StartMenuIntro* Intro = nullptr;
        /// The program's command line: "+" as its first argument keeps the welcome text.
        QStringList Arguments;
    };

    /// Flags for the menu's MDI sub-window: no frame, so no system command reaches it.
    static constexpr Qt::WindowFlags kSubWindowFlags = Qt::FramelessWindowHint;
    /// Background of the text area.
    static QColor StartMenuColour();

    explicit TMenuDialog(Context context, QWidget* parent = nullptr);
    ~TMenuDialog() override;

    /// The welcome text's target for the language loader.
    StartMenuModel& Model() { return m_model; }
    const StartMenuModel& Model() const { return m_model; }

    /// Run once by the main window's first show: scrolling starts and the intro may play.
    void Start();
    /// Ends the intro (at its end and when the main window switches views).
    void StopIntro();
    /// The buttons and the text area take the font's family.
    void SetMenuFont(const QFont& font);
    /// The menu became the active window / another one did (the MDI area tells).
    void FormActivate();
    void FormDeactivate();

    QToolButton* KindButton(ExerciseKind kind) const;
    QWidget* Panel1() const { return m_panel; }
    QWidget* PaintBox1() const { return m_paintBox; }
    QLabel* Label4() const { return m_label4; }
    bool ScrollTimerRunning() const { return m_timer.isActive(); }
    /// One step of the scroll timer, as its timeout runs it.
    void Timer1Timer();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class DescriptionBox;

    void PaintDescription(QPainter& painter);
    void HoverOver(int tag);
    void SyncTimer();

    Context m_context;
    QFont m_bitmapFont;
    StartMenuModel m_model;
    QWidget* m_panel = nullptr;
    QWidget* m_paintBox = nullptr; ///< the DescriptionBox
    QLabel* m_label4 = nullptr;
    /// KindButtons[kind - 1]: the button of each kind, its tag the kind's number.
    std::array<QToolButton*, 10> m_kindButtons{};
    QTimer m_timer;
};

} // namespace pv
