// Which accidental letter keys are held, learnt from the application's key events.
#include "music/ui/KeyStateTracker.h"

#include <optional>

#include <QEvent>
#include <QKeyEvent>

namespace pv {

namespace {

std::optional<AccidentalKey> KeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Z:
        return AccidentalKey::Z;
    case Qt::Key_X:
        return AccidentalKey::X;
    case Qt::Key_C:
        return AccidentalKey::C;
    case Qt::Key_V:
        return AccidentalKey::V;
    case Qt::Key_B:
        return AccidentalKey::B;
    default:
        return std::nullopt;
    }
}

} // namespace

KeyStateTracker::KeyStateTracker(QObject* parent) : QObject(parent) {}

bool KeyStateTracker::IsHeld(AccidentalKey key) const
{
    return m_held[static_cast<std::size_t>(key)];
}

bool KeyStateTracker::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (const auto key = KeyOf(keyEvent->key()); key && !keyEvent->isAutoRepeat())
            m_held[static_cast<std::size_t>(*key)] = event->type() == QEvent::KeyPress;
        break;
    }
    case QEvent::ApplicationDeactivate:
        m_held.fill(false);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pv
