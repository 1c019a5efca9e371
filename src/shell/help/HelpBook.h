// The program's help as pages: each page has a key that links name it by, a title, the help
// contexts it answers and a body in the help markup (HelpText.h).
#pragma once

#include "music/base/Result.h"

#include <cstdint>
#include <vector>

#include <QString>

namespace pv {

/// The page every help file has: the contents, shown for a context no page answers.
inline const QString kHelpContentsKey = QStringLiteral("contents");
/// A key is 1..40 of a-z, 0-9 and "-", starting with a letter or digit.
inline constexpr int kHelpKeyCapacity = 40;

struct HelpPage
{
    QString Key;
    QString Title;
    /// The help contexts the page answers (each a positive number).
    std::vector<std::int32_t> Contexts;
    QString Body;
    bool operator==(const HelpPage&) const = default;
};

enum class HelpBookError : int
{
    BadKey = 1,       ///< a key that is empty, too long or of other characters
    DuplicateKey = 2, ///< two pages of one key
    NoContents = 3,   ///< no page of the contents key
    BadContext = 4,   ///< a context of zero or below
};

/// Pages whose keys are well formed and unique, with the contents page among them: a lookup
/// always ends on a page.
class HelpBook
{
public:
    /// Checks the pages; the detail of a failure names the page.
    static Result<HelpBook, HelpBookError> Make(std::vector<HelpPage> pages);

    const std::vector<HelpPage>& Pages() const { return m_pages; }
    /// The page of key, or null.
    const HelpPage* Find(const QString& key) const;
    /// The first page that answers context, or null.
    const HelpPage* ForContext(std::int32_t context) const;
    const HelpPage& Contents() const;
    /// The page for context, the contents when no page answers it.
    const HelpPage& PageFor(std::int32_t context) const;

    bool operator==(const HelpBook&) const = default;

private:
    explicit HelpBook(std::vector<HelpPage> pages) : m_pages(std::move(pages)) {}
    std::vector<HelpPage> m_pages;
};

/// Whether text is a well-formed page key.
bool IsHelpKey(const QString& text);

} // namespace pv
