// Pixel arithmetic of the identification window's panels.
#include "exercises/identification/AkkordLayout.h"

#include <algorithm>

namespace pv {

int AnswerGridColumns(int panelWidth, bool progressions)
{
    int columns = panelWidth < 701 ? 4 : 5;
    if (panelWidth >= 851) {
        ++columns;
    }
    if (progressions) {
        --columns;
    }
    return columns;
}

std::optional<AnswerGridLayout> LayoutAnswerGrid(int panelWidth, int leftMargin, int buttonCount,
                                                 bool progressions, bool tipAllowed)
{
    if (panelWidth < kMinimumLayoutWidth) {
        return std::nullopt;
    }
    AnswerGridLayout grid;
    grid.Columns = AnswerGridColumns(panelWidth, progressions);
    grid.ButtonWidth = std::max(
        0, (panelWidth - 2 * leftMargin - (grid.Columns - 1) * kAnswerColumnGap) / grid.Columns);
    const int count = std::max(0, buttonCount);
    grid.Cells.reserve(static_cast<std::size_t>(count));
    for (int b = 0; b < count; ++b) {
        grid.Cells.push_back(
            {(b % grid.Columns) * (grid.ButtonWidth + kAnswerColumnGap) + leftMargin,
             (b / grid.Columns) * kAnswerRowPitch + kAnswerTopMargin, grid.ButtonWidth,
             kAnswerCellHeight});
    }
    if (count == 0) {
        return grid;
    }
    grid.Rows = (count + grid.Columns - 1) / grid.Columns;
    grid.PanelHeight = grid.Cells.back().Bottom() + 15;
    const bool lastRowFull = count % grid.Columns == 0;
    if (tipAllowed && !lastRowFull) {
        const int lastColumnRight = (grid.Columns - 1) * (grid.ButtonWidth + kAnswerColumnGap) +
                                    leftMargin + grid.ButtonWidth;
        const LayoutRect& last = grid.Cells.back();
        grid.TipShown = true;
        grid.Tip = {lastColumnRight - kTipButtonSize - kAnswerButtonInset,
                    last.Y + (kAnswerCellHeight - kTipButtonSize) / 2, kTipButtonSize,
                    kTipButtonSize};
    }
    return grid;
}

InstrumentHeights LayoutInstrumentHeights(int heightLeft, bool pianoShown, bool guitarShown)
{
    InstrumentHeights heights;
    if (pianoShown && guitarShown) {
        heights.Piano = std::clamp(heightLeft / 2, 107, 172);
        heights.Guitar = std::clamp((heightLeft / 24) * 12, 96, 144);
    } else if (pianoShown) {
        heights.Piano = std::clamp((heightLeft / 6) * 6, 107, 172);
    } else if (guitarShown) {
        heights.Guitar = std::clamp((heightLeft / 12) * 12, 108, 156);
    }
    return heights;
}

std::optional<int> PianoOctaves(int panelWidth)
{
    if (panelWidth < kMinimumLayoutWidth) {
        return std::nullopt;
    }
    return std::clamp((panelWidth - 10) / 154, 4, 6);
}

bool UsesCompactColumns(int lineSpacing, int top, int boxHeight)
{
    return lineSpacing <= 8 && 12 * lineSpacing + top >= boxHeight;
}

std::optional<int> CompactColumnWidth(int boxWidth, int columns)
{
    // No question yet (or a progression without chords) has no columns to share the width.
    if (columns <= 0) {
        return std::nullopt;
    }
    return std::min(90, std::max(0, boxWidth) / columns);
}

} // namespace pv
