// The English texts compiled into the program (generated at build time from the source table).
#pragma once

#include <span>

namespace pv {

struct BuiltInLanguageText
{
    int Id;
    const char* Text; ///< UTF-8
};

/// Every id of both language tables with its English text, ascending by id.
std::span<const BuiltInLanguageText> BuiltInLanguageTexts();

} // namespace pv
