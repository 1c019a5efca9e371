// Which accidental letter keys are held, learnt from the application's key events.
#pragma once

#include "music/staff/KeyState.h"

#include <array>

#include <QObject>

namespace pv {

/// An application-wide event filter that remembers the letter keys Z, X, C, V and B while they
/// are held. Everything is released when the application loses the focus, since the releases
/// then go to another program.
class KeyStateTracker final : public QObject, public IKeyState
{
public:
    explicit KeyStateTracker(QObject* parent = nullptr);

    bool IsHeld(AccidentalKey key) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<bool, 5> m_held{};
};

} // namespace pv
