// Pixel arithmetic of the identification window's panels: where each panel goes, the answer-button
// grid, the alteration buttons, the heights of the piano and guitar panels and the piano's octave
// count; no widgets.
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

/// The top panel: the control strip, the play-style bar at the right and the result line.
inline constexpr int kTopPanelHeight = 84;
inline constexpr LayoutRect kControlStripRect{4, 4, 641, 48};
inline constexpr int kResultLineLeft = 8; ///< left of the result picture
inline constexpr int kResultLineTop = 58;
inline constexpr int kResultLineHeight = 22;
inline constexpr int kPlayStyleBarWidth = 90;
inline constexpr int kPlayStyleBarHeight = 28;
inline constexpr int kPlayStyleBarTop = 14;
inline constexpr int kPanelMargin = 4;
inline constexpr int kStaffPanelMinimum = 205; ///< reserved for the staff before the instruments
inline constexpr int kAlterationBarHeight = 29;

/// What the window shows, for the placement of its panels.
struct AkkordPanelsShown
{
    bool Buttons = false;
    bool Piano = false;
    bool Guitar = false;
    bool Staff = false;
    bool AlterationBar = false;
    bool PlayStyleBar = false; ///< the mode has a play-style bar
    int AnswerAreaHeight = 0;  ///< the answer grid's panel height for the window's width
};

/// Where each panel of the window goes, in window coordinates; hidden panels have none.
struct AkkordPanelLayout
{
    LayoutRect Top;        ///< control strip and result line
    LayoutRect ResultLine; ///< result picture and label: no other panel may cover it
    std::optional<LayoutRect> PlayStyleBar;
    std::optional<LayoutRect> Staff;
    LayoutRect StaffBox; ///< the staff's paint box inside the staff panel
    std::optional<LayoutRect> AlterationBar;
    std::optional<LayoutRect> Answers;
    std::optional<LayoutRect> Piano;
    std::optional<LayoutRect> Guitar;
};

/// Places the panels of a width x height window. From the top: the top panel, then staff,
/// alteration bar, answer buttons, piano and guitar, each where shown. The staff (else the
/// answer area) takes the height the others leave; the panels sit at the bottom, and when the
/// window is too low for them they start under the result line and run past the bottom edge.
/// The play-style bar stands at the right edge while it clears the control strip.
AkkordPanelLayout LayoutAkkordPanels(int width, int height, const AkkordPanelsShown& shown);

/// The shown alteration buttons, left to right, in a bar of barWidth; none for a bar narrower
/// than 300 pixels or no buttons.
std::vector<LayoutRect> LayoutAlterationButtons(int barWidth, int buttonCount);

/// Progression mode: whether a staff box is too small for the staves (line spacing 8 and twelve
/// spacings below the top reach its height); the chords are then drawn as a grid of columns.
bool UsesCompactColumns(int lineSpacing, int top, int boxHeight);
/// Width of one column of that grid (at most 90 pixels); nothing without columns, when only the
/// empty frame is drawn.
std::optional<int> CompactColumnWidth(int boxWidth, int columns);

} // namespace pv
