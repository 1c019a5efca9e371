// What the language loader asks of the start menu's description text.
#pragma once

#include <QString>

namespace pv {

class IStartMenuText
{
public:
    virtual ~IStartMenuText() = default;
    /// Empties the description list (the next text starts a new welcome).
    virtual void ClearDescriptions() = 0;
    /// Adds the text unchanged as one line.
    virtual void AddLine(const QString& text) = 0;
    /// Adds the text word-wrapped into lines that fit the menu.
    virtual void AddDescription(const QString& text) = 0;
    /// Stores the current number of lines as the line at which scrolling stops.
    virtual void MarkScrollStop() = 0;
};

} // namespace pv
