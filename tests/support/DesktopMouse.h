// A mouse and a keyboard that reach the windows through the window system, as a user's do, and
// a picture of the whole screen with the floating windows over the main window.
#pragma once

#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

// The window system's entry for input events, as Qt's test library reaches it; declared here so
// tests that declare Qt's shortcut entry themselves need not include the test library.
QT_BEGIN_NAMESPACE
Q_GUI_EXPORT void qt_handleMouseEvent(QWindow* window, const QPointF& local, const QPointF& global,
                                      Qt::MouseButtons state, Qt::MouseButton button,
                                      QEvent::Type type, Qt::KeyboardModifiers mods, int timestamp);
Q_GUI_EXPORT void qt_handleKeyEvent(QWindow* w, QEvent::Type t, int k, Qt::KeyboardModifiers mods,
                                    const QString& text, bool autorep, ushort count);
QT_END_NAMESPACE

namespace pv::test {

/// Mouse events through the window system, as they arrive from a real mouse: a press goes to
/// the window under it, moves and the release go on to that window wherever the cursor is.
class Mouse
{
public:
    void Press(QWidget& widget, QPoint local, Qt::KeyboardModifiers modifiers = {})
    {
        m_window = widget.window()->windowHandle();
        m_buttons = Qt::LeftButton;
        Send(widget.mapToGlobal(local), Qt::LeftButton, QEvent::MouseButtonPress, modifiers);
    }
    void MoveTo(QPoint global, Qt::KeyboardModifiers modifiers = {})
    {
        Send(global, Qt::NoButton, QEvent::MouseMove, modifiers);
    }
    void Release(QPoint global, Qt::KeyboardModifiers modifiers = {})
    {
        m_buttons = Qt::NoButton;
        Send(global, Qt::LeftButton, QEvent::MouseButtonRelease, modifiers);
        // The next press is a new click, not the second of a double click.
        m_time += 2000;
    }
    void Drag(QWidget& widget, QPoint local, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        Press(widget, local, modifiers);
        const QPoint from = widget.mapToGlobal(local);
        MoveTo((from + to) / 2, modifiers);
        MoveTo(to, modifiers);
        Release(to, modifiers);
    }
    void DoubleClick(QWidget& widget, QPoint local)
    {
        Press(widget, local);
        m_buttons = Qt::NoButton;
        Send(widget.mapToGlobal(local), Qt::LeftButton, QEvent::MouseButtonRelease, {});
        Press(widget, local);
        Release(widget.mapToGlobal(local));
    }
    /// A key pressed or released while the window that holds the mouse has it.
    void Key(QEvent::Type type, Qt::Key key)
    {
        qt_handleKeyEvent(m_window, type, key,
                          key == Qt::Key_Control ? Qt::ControlModifier : Qt::NoModifier, QString(),
                          false, 1);
        QCoreApplication::processEvents();
    }

private:
    void Send(QPoint global, Qt::MouseButton button, QEvent::Type type,
              Qt::KeyboardModifiers modifiers)
    {
        // A window that went while the button was down (a bar docked by the double click)
        // leaves the rest of the click to the window now under the cursor.
        if (m_window.isNull())
            m_window = QGuiApplication::topLevelAt(global);
        if (m_window.isNull())
            return;
        m_time += 20;
        const QPointF local = m_window->mapFromGlobal(QPointF(global));
        qt_handleMouseEvent(m_window, local, QPointF(global), m_buttons, button, type, modifiers,
                            m_time);
        QCoreApplication::processEvents();
    }

    QPointer<QWindow> m_window;
    Qt::MouseButtons m_buttons;
    int m_time = 100000;
};

/// The program's activity as the window system would report it; back to active at the end.
class ApplicationActivity
{
public:
    ~ApplicationActivity() { Set(Qt::ApplicationActive); }
    void Set(Qt::ApplicationState state)
    {
        auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        emit app->applicationStateChanged(state);
        QCoreApplication::processEvents();
    }
};

/// What the screen shows: the main windows, the floating tool windows over them and the drag
/// outline over everything.
inline QImage DesktopPicture()
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QImage image(screen.size(), QImage::Format_RGB32);
    image.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter painter(&image);
    const auto layer = [](const QWidget* w) {
        if (w->objectName() == QStringLiteral("DragOutline"))
            return 2;
        return w->windowType() == Qt::Tool ? 1 : 0;
    };
    for (int level = 0; level < 3; ++level) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || layer(w) != level)
                continue;
            painter.save();
            if (!w->mask().isEmpty())
                painter.setClipRegion(w->mask().translated(w->geometry().topLeft()));
            painter.drawPixmap(w->geometry().topLeft(), w->grab());
            painter.restore();
        }
    }
    return image;
}

} // namespace pv::test
