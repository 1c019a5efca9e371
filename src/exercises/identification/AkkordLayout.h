// Pixel arithmetic of the identification window's panels: the answer-button grid, the heights of
// the piano and guitar panels and the piano's octave count; no widgets.
#pragma once

#include <optional>
#include <vector>

namespace pv {

/// One rectangle in the coordinates of its panel.
struct LayoutRect
{
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return X + Width; }
    int Bottom() const { return Y + Height; }
    friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

/// Where every answer button of the button area goes.
struct AnswerGridLayout
{
    int Columns = 0;
    int Rows = 0;
    int ButtonWidth = 0;           ///< width of each button's frame panel
    std::vector<LayoutRect> Cells; ///< frame panel of button b at index b - 1
    int PanelHeight = 0;           ///< last button's bottom + 15; 0 without buttons
    bool TipShown = false;
    LayoutRect Tip; ///< the tip button at the right end of the last row, when shown
};

inline constexpr int kAnswerCellHeight = 33;
inline constexpr int kAnswerRowPitch = 42;
inline constexpr int kAnswerColumnGap = 11;
inline constexpr int kAnswerTopMargin = 5;
inline constexpr int kAnswerButtonInset = 4; ///< the button sits 4 pixels inside its frame
inline constexpr int kTipButtonSize = 25;
inline constexpr int kMinimumLayoutWidth = 300; ///< narrower panels keep their old layout

/// Columns of the grid for a panel width: 4 below 701, 5 up to 850, 6 from 851; one fewer in
/// the progression mode, whose names are long.
int AnswerGridColumns(int panelWidth, bool progressions);

/// Lays out buttonCount answer buttons in a panel of panelWidth; leftMargin is the left of the
/// result picture, mirrored on the right. tipAllowed: the tips mask and the answer input allow
/// the tip button (it is then shown only when the last row has a free cell). Nothing for a
/// panel narrower than 300 pixels.
std::optional<AnswerGridLayout> LayoutAnswerGrid(int panelWidth, int leftMargin, int buttonCount,
                                                 bool progressions, bool tipAllowed);

/// Heights of the piano and guitar panels for the height left to the input panels.
struct InstrumentHeights
{
    int Piano = 155;
    int Guitar = 144;
};
InstrumentHeights LayoutInstrumentHeights(int heightLeft, bool pianoShown, bool guitarShown);

/// Octaves of the on-screen piano for its panel width (4..6); nothing below 300 pixels.
std::optional<int> PianoOctaves(int panelWidth);

/// Progression mode: whether a staff box is too small for the staves (line spacing 8 and twelve
/// spacings below the top reach its height); the chords are then drawn as a grid of columns.
bool UsesCompactColumns(int lineSpacing, int top, int boxHeight);
/// Width of one column of that grid (at most 90 pixels); nothing without columns, when only the
/// empty frame is drawn.
std::optional<int> CompactColumnWidth(int boxWidth, int columns);

} // namespace pv
