// The letter keys held down while a staff note is dragged, as the sheet asks for them.
#pragma once

namespace pv {

/// The five keys that choose an accidental while a note is dragged on the staff.
enum class AccidentalKey : int
{
    Z = 0, ///< double flat
    X = 1, ///< flat
    C = 2, ///< natural
    V = 3, ///< sharp
    B = 4, ///< double sharp
};

/// Whether one of the accidental keys is held at this moment.
class IKeyState
{
public:
    virtual ~IKeyState() = default;
    virtual bool IsHeld(AccidentalKey key) const = 0;
};

/// A keyboard on which nothing is ever held (sheets that are only drawn).
class NoKeysHeld final : public IKeyState
{
public:
    bool IsHeld(AccidentalKey) const override { return false; }
};

} // namespace pv
