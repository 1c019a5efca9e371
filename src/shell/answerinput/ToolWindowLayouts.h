// The score tool window's layout and the main window's size label, apart from any widget.
#pragma once

#include "music/base/ExerciseKind.h"

#include <optional>

#include <QRect>
#include <QSize>
#include <QString>

namespace pv {

/// What the score tool window holds and how big its client area is.
struct ScoreLayoutInput
{
    int Width = 0;  ///< client width
    int Height = 0; ///< client height
    /// Where the score text starts; the others line up with it.
    int Label15Left = 0;
    int Label15Top = 2;
    /// The total label shows for the rhythm kinds only.
    bool Label4Visible = false;
    int Label4Width = 0;
    std::optional<ExerciseKind> Kind;
};

struct ScoreLayout
{
    /// The client width the window takes: the input's, or the least it needs.
    int ClientWidth = 0;
    QRect Label15; ///< the score text
    QRect Label4;  ///< the total label (where it would be when hidden)
    QRect Gauge15; ///< the score gauge

    bool operator==(const ScoreLayout&) const = default;
};

/// `ToolWindow3Resize`: two lines (text above, total and gauge below) when the window is
/// taller than 40 pixels, else one line of text, total and gauge. A window narrower than its
/// least width is widened; this layout still uses the width it was given.
ScoreLayout ToolWindow3Layout(const ScoreLayoutInput& in);

/// `Label9`: the main window's size as "<width>x<height>".
QString WindowSizeText(int width, int height);
/// The next of the label's three sizes (tag 0, 1, 2, then 0 again); another tag starts at 0.
int NextWindowSizeTag(int tag);
/// The main window's size at tag: 640 x 480, 800 x 574 or 1024 x 742.
QSize WindowSizeOfTag(int tag);

} // namespace pv
