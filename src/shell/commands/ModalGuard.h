// Whether a modal interaction is under way: a message box, a wait for a busy file or a modal
// dialog. While one is, what arrives meanwhile (MIDI input, the exercise timers' ticks, keys)
// must not change an exercise behind the box the user is answering.
#pragma once

namespace pv {

class ModalGuard
{
public:
    /// Holds the guard up from its making to its end; scopes nest.
    class Scope
    {
    public:
        explicit Scope(ModalGuard& guard) : m_guard(guard) { ++m_guard.m_depth; }
        ~Scope() { --m_guard.m_depth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ModalGuard& m_guard;
    };

    ModalGuard() = default;
    ModalGuard(const ModalGuard&) = delete;
    ModalGuard& operator=(const ModalGuard&) = delete;

    /// A box, wait or dialog is open now.
    bool Raised() const { return m_depth > 0; }

private:
    int m_depth = 0;
};

} // namespace pv
