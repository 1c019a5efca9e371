// Opening the help at a context: the help file read anew (the language may have changed it),
// the page that answers the context, or the words for why the help cannot be shown.
#pragma once

#include "music/base/Result.h"
#include "shell/help/HelpBook.h"
#include "shell/help/HelpFile.h"

#include <optional>

#include <QString>

namespace pv {

struct UIStringTable;

struct HelpTopic
{
    HelpBook Book;
    /// The page to show: the context's, or the contents when no page answers it.
    QString PageKey;
};

/// The help file at path opened at context; no context: at the contents.
Result<HelpTopic, HelpFileError> OpenHelpTopic(const QString& path, std::optional<int> context);

/// The message for a help file that could not be opened.
QString HelpFailureText(const QString& path, const Failure<HelpFileError>& failure,
                        const UIStringTable& strings);

} // namespace pv
