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

AkkordPanelLayout LayoutAkkordPanels(int width, int height, const AkkordPanelsShown& shown)
{
    const int w = std::max(0, width);
    AkkordPanelLayout layout;
    layout.Top = {0, 0, w, kTopPanelHeight};
    layout.ResultLine = {kResultLineLeft, kResultLineTop, std::max(0, w - 2 * kResultLineLeft),
                         kResultLineHeight};
    const int barX = w - kPanelMargin - kPlayStyleBarWidth;
    if (shown.PlayStyleBar && barX >= kControlStripRect.Right() + kPanelMargin) {
        layout.PlayStyleBar =
            LayoutRect{barX, kPlayStyleBarTop, kPlayStyleBarWidth, kPlayStyleBarHeight};
    }

    const int answerHeight = shown.Buttons ? shown.AnswerAreaHeight : 0;
    const int barHeight = shown.AlterationBar ? kAlterationBarHeight : 0;
    const int heightLeft = height - kTopPanelHeight - answerHeight -
                           (shown.Staff ? kStaffPanelMinimum : 0) - barHeight;
    const InstrumentHeights instruments =
        LayoutInstrumentHeights(heightLeft, shown.Piano, shown.Guitar);

    // Top to bottom. The staff fills what the others leave; without it the answer area does.
    // Every panel is stacked under the one before, so none can reach up into the result line
    // (the alteration bar once sat on it when the answer area filled the window).
    struct Part
    {
        bool Shown;
        bool Fills;
        int Height;
        std::optional<LayoutRect>* Target;
    };
    const bool answersFill = shown.Buttons && !shown.Staff;
    Part parts[] = {
        {shown.Staff, true, 0, &layout.Staff},
        {shown.AlterationBar, false, kAlterationBarHeight, &layout.AlterationBar},
        {shown.Buttons, answersFill, answerHeight, &layout.Answers},
        {shown.Piano, false, instruments.Piano, &layout.Piano},
        {shown.Guitar, false, instruments.Guitar, &layout.Guitar},
    };
    int fixed = 0;
    bool anyFills = false;
    for (const Part& part : parts) {
        if (part.Shown) {
            fixed += part.Fills ? 0 : part.Height;
            anyFills = anyFills || part.Fills;
        }
    }
    const int room = std::max(0, height - kTopPanelHeight);
    const int spare = std::max(0, room - fixed);
    int y = kTopPanelHeight + (anyFills ? 0 : spare);
    for (Part& part : parts) {
        if (!part.Shown) {
            continue;
        }
        const int h = part.Fills ? spare : part.Height;
        *part.Target = LayoutRect{0, y, w, h};
        y += h;
    }
    if (layout.Staff) {
        layout.StaffBox = {kPanelMargin + 4, 4, std::max(0, w - 2 * kPanelMargin - 8),
                           std::max(0, layout.Staff->Height - 11)};
    }
    return layout;
}

std::vector<LayoutRect> LayoutAlterationButtons(int barWidth, int buttonCount)
{
    std::vector<LayoutRect> buttons;
    if (buttonCount <= 0 || barWidth < kMinimumLayoutWidth) {
        return buttons;
    }
    const int each = (barWidth - 2 * kPanelMargin) / buttonCount;
    buttons.reserve(static_cast<std::size_t>(buttonCount));
    for (int i = 0; i < buttonCount; ++i) {
        buttons.push_back({kPanelMargin + i * each, 2, std::max(0, each - 2), 25});
    }
    return buttons;
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
