// Placing stored bounds, in 64-bit arithmetic: a stored left of 2e9 plus a width of 2e9 must
// not wrap round into a small number.
#include "shell/settings/WindowPlacement.h"

#include <algorithm>

namespace pv {

namespace {

struct Span64
{
    std::int64_t Left;
    std::int64_t Top;
    std::int64_t Right;  ///< one past the last column
    std::int64_t Bottom; ///< one past the last row
};

Span64 SpanOf(std::int64_t left, std::int64_t top, std::int64_t width, std::int64_t height)
{
    return {left, top, left + width, top + height};
}

std::int64_t Overlap(const Span64& a, const Span64& b)
{
    const std::int64_t width = std::min(a.Right, b.Right) - std::max(a.Left, b.Left);
    const std::int64_t height = std::min(a.Bottom, b.Bottom) - std::max(a.Top, b.Top);
    return width > 0 && height > 0 ? width * height : 0;
}

} // namespace

std::optional<WindowBounds> PlaceOnScreens(const WindowBounds& stored,
                                           std::span<const ScreenArea> screens)
{
    const bool placeable =
        stored.Width >= kMinimumPlacedWidth && stored.Height >= kMinimumPlacedHeight;
    // The default placement overlaps no screen, so it is centred on the first.
    const Span64 wanted = placeable ? SpanOf(stored.Left, stored.Top, stored.Width, stored.Height)
                                    : SpanOf(0, 0, 0, 0);
    const std::int64_t wantedWidth = placeable ? stored.Width : kDefaultPlacedWidth;
    const std::int64_t wantedHeight = placeable ? stored.Height : kDefaultPlacedHeight;

    const ScreenArea* target = nullptr;
    std::int64_t best = 0;
    for (const ScreenArea& screen : screens) {
        if (screen.Width < kMinimumPlacedWidth || screen.Height < kMinimumPlacedHeight)
            continue;
        const std::int64_t overlap =
            Overlap(wanted, SpanOf(screen.Left, screen.Top, screen.Width, screen.Height));
        // The first usable screen stands in until another is overlapped more.
        if (target == nullptr || overlap > best) {
            target = &screen;
            best = overlap;
        }
    }
    if (target == nullptr)
        return std::nullopt;

    const std::int64_t width = std::min<std::int64_t>(wantedWidth, target->Width);
    const std::int64_t height = std::min<std::int64_t>(wantedHeight, target->Height);
    const std::int64_t lastLeft = std::int64_t{target->Left} + target->Width - width;
    const std::int64_t lastTop = std::int64_t{target->Top} + target->Height - height;
    std::int64_t left = 0;
    std::int64_t top = 0;
    if (best > 0) {
        left = std::clamp<std::int64_t>(stored.Left, target->Left, lastLeft);
        top = std::clamp<std::int64_t>(stored.Top, target->Top, lastTop);
    } else {
        // Stored on a screen that is gone, or not placeable: the middle of the first one.
        left = target->Left + (target->Width - width) / 2;
        top = target->Top + (target->Height - height) / 2;
    }
    // Every value now lies within a screen's own 32-bit coordinates.
    return WindowBounds{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                        static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

} // namespace pv
