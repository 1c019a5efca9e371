// The small vocabulary of docks and bars: edges, handle styles, modes and dock types.
#pragma once

#include <cstdint>
#include <optional>

namespace pv::docking {

/// The edge of the form a dock lies along.
enum class TDockPosition : std::uint8_t
{
    dpTop = 0,
    dpBottom = 1,
    dpLeft = 2,
    dpRight = 3,
};

/// A set of dock positions (`DockableTo`): bit n stands for position n.
class DockPositionSet
{
public:
    constexpr DockPositionSet() = default;
    static constexpr DockPositionSet All() { return DockPositionSet(0x0F); }
    constexpr bool Contains(TDockPosition p) const
    {
        return (m_bits & (1U << static_cast<unsigned>(p))) != 0;
    }
    constexpr DockPositionSet With(TDockPosition p) const
    {
        return DockPositionSet(
            static_cast<std::uint8_t>(m_bits | (1U << static_cast<unsigned>(p))));
    }
    constexpr bool operator==(const DockPositionSet&) const = default;

private:
    constexpr explicit DockPositionSet(std::uint8_t bits) : m_bits(bits) {}
    std::uint8_t m_bits = 0;
};

/// The one-pixel lines a dock draws on its edges (`BoundLines`).
struct TDockBoundLines
{
    bool blTop = false;
    bool blBottom = false;
    bool blLeft = false;
    bool blRight = false;
    bool operator==(const TDockBoundLines&) const = default;
};

enum class TDragHandleStyle : std::uint8_t
{
    dhDouble = 0,
    dhNone = 1,
    dhSingle = 2,
};

/// What dragging a bar may do.
enum class TToolWindowDockMode : std::uint8_t
{
    dmCanFloat = 0,
    dmCannotFloat = 1,
    dmCannotFloatOrChangeDocks = 2,
};

/// How a floating bar is stacked.
enum class TToolWindowFloatingMode : std::uint8_t
{
    fmOnTopOfParentForm = 0,
    fmOnTopOfAllForms = 1,
};

/// The docked frame of a bar.
enum class TBorderStyle : std::uint8_t
{
    bsNone = 0,
    bsSingle = 1,
};

/// `GetDockTypeOf`: where a bar is, as its client arrangement sees it.
enum class DockType : std::uint8_t
{
    Floating = 0,
    Horizontal = 1,
    Vertical = 2,
};

constexpr bool IsVertical(TDockPosition position)
{
    return position == TDockPosition::dpLeft || position == TDockPosition::dpRight;
}

/// Floating for no dock, vertical for a left or right dock, else horizontal.
constexpr DockType GetDockTypeOf(std::optional<TDockPosition> dock)
{
    if (!dock)
        return DockType::Floating;
    return IsVertical(*dock) ? DockType::Vertical : DockType::Horizontal;
}

} // namespace pv::docking
