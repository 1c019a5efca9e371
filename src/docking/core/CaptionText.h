// Shortening a floating bar's caption to its width.
#pragma once

#include <functional>

#include <QString>

namespace pv::docking {

/// The caption as it fits width: whole when it fits, else as many of its first characters as
/// fit followed by "...", never fewer than the first character and the dots (which may then be
/// clipped). An empty caption stays empty. textWidth measures a text.
QString ElideCaption(const QString& caption, int width,
                     const std::function<int(const QString&)>& textWidth);

} // namespace pv::docking
