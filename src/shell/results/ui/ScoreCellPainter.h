// Drawing a score cell of the results view: the counts, a grey frame, a blue bar over the
// percentage of its width and the percentage, white on the bar and blue beside it.
#pragma once

#include "shell/results/ResultsViewModel.h"

class QPainter;
class QRect;

namespace pv {

/// Draws the score cell of kind in cell with the painter's font.
void DrawScoreCell(QPainter& painter, int kind, std::uint16_t right, std::uint16_t asked,
                   const QRect& cell, bool withText);

} // namespace pv
