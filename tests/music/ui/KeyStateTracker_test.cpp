// The held-key tracker follows presses and releases of the accidental letters.
#include "music/ui/KeyStateTracker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

namespace pv {
namespace {

void Send(QWidget& target, QEvent::Type type, int key, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(&target, &event);
}

TEST(KeyStateTracker, HoldsALetterFromPressToRelease)
{
    KeyStateTracker tracker;
    qApp->installEventFilter(&tracker);
    QWidget widget;

    Send(widget, QEvent::KeyPress, Qt::Key_V);
    Send(widget, QEvent::KeyPress, Qt::Key_A);
    EXPECT_TRUE(tracker.IsHeld(AccidentalKey::V));
    EXPECT_FALSE(tracker.IsHeld(AccidentalKey::Z));
    // A repeated release while the key stays down is not a release.
    Send(widget, QEvent::KeyRelease, Qt::Key_V, true);
    EXPECT_TRUE(tracker.IsHeld(AccidentalKey::V));
    Send(widget, QEvent::KeyRelease, Qt::Key_V);
    EXPECT_FALSE(tracker.IsHeld(AccidentalKey::V));

    Send(widget, QEvent::KeyPress, Qt::Key_Z);
    Send(widget, QEvent::KeyPress, Qt::Key_B);
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &deactivate);
    EXPECT_FALSE(tracker.IsHeld(AccidentalKey::Z));
    EXPECT_FALSE(tracker.IsHeld(AccidentalKey::B));
    qApp->removeEventFilter(&tracker);
}

} // namespace
} // namespace pv
