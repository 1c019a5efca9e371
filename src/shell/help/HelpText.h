// The help markup of a page's body and its HTML for the viewer.
//
// Blocks are separated by blank lines: "## " starts a heading, "- " a list item (lines indented
// by two blanks go on with it), "| a | b |" a table row; other lines make paragraphs. Inside a
// block "**" switches bold on and off, "[[key]]" links to a page under its title and
// "[[key|text]]" under the text. Everything else is text: it is escaped, never taken as HTML.
#pragma once

#include "shell/help/HelpBook.h"

#include <optional>
#include <vector>

#include <QString>

namespace pv {

/// The keys the body links to, each once, in the order they first appear.
std::vector<QString> HelpLinks(const QString& body);

/// The page as HTML: the title as a heading, then the body. A link to a page the book does
/// not have shows as its text alone.
QString HelpPageHtml(const HelpBook& book, const HelpPage& page);

/// The address of a link to the page of key in the HTML, and the key of such an address
/// (nothing for any other address).
QString HelpLinkAddress(const QString& key);
std::optional<QString> HelpLinkKey(const QString& address);

} // namespace pv
