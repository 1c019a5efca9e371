// Bringing stored window bounds onto the screens there are now: a settings record may come
// from a larger screen, a screen no longer attached, or be damaged.
#pragma once

#include "shell/settings/ProgramSettingsUi.h"

#include <cstdint>
#include <optional>
#include <span>

namespace pv {

/// The part of a screen windows may use, in the desktop's coordinates.
struct ScreenArea
{
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

/// The smallest main window worth placing: anything smaller is a damaged record.
inline constexpr std::int32_t kMinimumPlacedWidth = 200;
inline constexpr std::int32_t kMinimumPlacedHeight = 150;
/// The main window's size when its stored bounds cannot be placed (that of the default
/// settings).
inline constexpr std::int32_t kDefaultPlacedWidth = 640;
inline constexpr std::int32_t kDefaultPlacedHeight = 480;

/// Where stored bounds go: onto the screen they overlap most (the first screen, centred, when
/// they overlap none), at most that screen's size and wholly on it. Bounds that cannot be
/// placed (a size below the minimum) get the default placement: the default size, centred on
/// the first screen. Nothing when no screen is usable. screens: the primary screen first.
std::optional<WindowBounds> PlaceOnScreens(const WindowBounds& stored,
                                           std::span<const ScreenArea> screens);

} // namespace pv
