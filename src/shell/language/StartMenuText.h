// What the language loader writes into the start menu: the welcome text's lines and where its
// scrolling stops.
#pragma once

#include <QString>

namespace pv {

class IStartMenuText
{
public:
    virtual ~IStartMenuText() = default;
    /// Empties the welcome text (at the start of every full load).
    virtual void ClearDescriptions() = 0;
    /// Adds the text unchanged as one line.
    virtual void AddLine(QString text) = 0;
    /// Adds the text word-wrapped into lines that fit the menu's text area.
    virtual void AddDescription(QString text) = 0;
    /// Scrolling stops when the line added next has become the first line shown.
    virtual void MarkScrollStop() = 0;
};

} // namespace pv
