// The music font every staff, rhythm, picture and button of the program draws its symbols with.
#pragma once

#include <QFont>

namespace pv {

/// The Noto Music font at a pixel size (at least 1), loaded from its file the first time when
/// the system does not know it; one em is the height of its five-line staff.
QFont MusicSymbolFont(int pixelSize);
/// Whether the music font was found; without it the symbols come from a fallback font.
bool MusicFontAvailable();

} // namespace pv
