// The start menu's text area without any widget: the welcome text's lines and their word wrap,
// the upward scrolling and where it stops, and the description of the kind under the pointer.
#pragma once

#include "shell/language/StartMenuText.h"

#include <functional>

#include <QString>
#include <QStringList>

namespace pv {

class StartMenuModel final : public IStartMenuText
{
public:
    /// The width in pixels of a text in the text area's font.
    using TextWidth = std::function<int(const QString&)>;
    /// A kind's description by its number 1..10.
    using KindDescription = std::function<QString(int kind)>;

    /// Words wrap to lines no wider than the text area's width less this margin.
    static constexpr int kWrapMargin = 13;
    static constexpr int kNoKind = 0;
    /// The first lines of the welcome text are drawn in bold, whatever they hold.
    static constexpr int kBoldLines = 3;

    /// paintBoxWidth and paintBoxHeight: the text area in pixels. ignoreHover: the program was
    /// started with "+" as its first argument (the pointer then never changes the text).
    StartMenuModel(TextWidth textWidth, int paintBoxWidth, int paintBoxHeight,
                   bool ignoreHover = false);

    static bool BoldLine(int index) { return index >= 0 && index < kBoldLines; }
    /// True when the first command-line argument (after the program) is "+".
    static bool HoverIgnoredFor(const QStringList& arguments);

    QStringList Descriptions;   ///< the welcome text's lines
    QStringList HoverLines;     ///< the wrapped description of the kind under the pointer
    int ScrollStopLine = 0;     ///< scrolling ends once this line is the first one drawn
    int FirstLine = 0;          ///< index of the first line of Descriptions drawn
    int ScrollY = 0;            ///< y of the first drawn line
    int LineHeight = 10;        ///< pixels from one line to the next
    int HoverKind = kNoKind;    ///< the kind whose button is under the pointer, 0 = none
    bool Timer1Enabled = false; ///< the 100 ms scroll timer runs
    int Timer1Tag = 0;          ///< 1 once the menu was started

    // IStartMenuText
    void ClearDescriptions() override;
    void AddLine(const QString& text) override;
    void AddDescription(const QString& text) override;
    void MarkScrollStop() override;

    /// Splits text at blanks into words and adds them to list in lines that fit the text area;
    /// a word wider than a line gets a line of its own.
    void WrapText(const QString& text, QStringList& list) const;

    /// Starts the menu: the line height of the text area's font, the scrolling, and where it
    /// stops when no language text said so (the last non-empty line, -1 for none).
    void Start(int lineHeight);
    /// One step of the scrolling (every 100 ms while Timer1Enabled).
    void Timer1Timer();
    /// The pointer moved over the button of kind tag (1..10) or over the panel (0). Returns
    /// whether the text area must be repainted.
    bool Hover(int tag, const KindDescription& description);
    /// The menu became the active window.
    void FormActivate();
    /// Another window became active.
    void FormDeactivate();

    /// The stop line is the first line drawn, at the top of the area (or the text is gone).
    bool StopReached() const;

    int PaintBoxWidth() const { return m_paintBoxWidth; }
    int PaintBoxHeight() const { return m_paintBoxHeight; }

private:
    TextWidth m_textWidth;
    int m_paintBoxWidth;
    int m_paintBoxHeight;
    bool m_ignoreHover;
};

} // namespace pv
