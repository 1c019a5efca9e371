// A picture for each exercise kind, drawn by code: a tile in the colour of the kind's family
// with a few notes on a staff that show what the exercise asks.
#pragma once

#include "music/base/ExerciseKind.h"

#include <QPixmap>
#include <QSize>

namespace pv {

/// The kind's picture at that size (clear from tool-button size up to the start menu's 64).
QPixmap KindPicture(ExerciseKind kind, QSize size);

} // namespace pv
