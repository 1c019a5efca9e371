// The readable source a help file is written from (data/help/<language>.txt), and back.
//
// A line "@page <key>" starts a page; the lines "@title <text>" and "@contexts <n>, <n>, ..."
// right after it give its title and contexts; the lines up to the next page are its body in
// the help markup (HelpText.h). Lines that begin with ";" are comments, anywhere.
#pragma once

#include "music/base/Result.h"
#include "shell/help/HelpBook.h"

#include <QString>

namespace pv {

enum class HelpSourceError : int
{
    Syntax = 1,     ///< a line that breaks the rules above
    BadPage = 2,    ///< a page without a title, a duplicate key or context, a bad key
    BadLink = 3,    ///< a link to a page the source does not have
    NoContents = 4, ///< no contents page
};

/// The book of a source; the detail of a failure names the line or the page.
Result<HelpBook, HelpSourceError> ParseHelpSource(const QString& text);

/// A source that parses back to book.
QString PrintHelpSource(const HelpBook& book);

} // namespace pv
