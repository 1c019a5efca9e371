// Checking and looking up the pages of the help.
#include "shell/help/HelpBook.h"

#include <set>

namespace pv {

bool IsHelpKey(const QString& text)
{
    if (text.isEmpty() || text.size() > kHelpKeyCapacity || text.front() == QLatin1Char('-'))
        return false;
    for (const QChar c : text) {
        const bool ok = (c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
                        (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-');
        if (!ok)
            return false;
    }
    return true;
}

Result<HelpBook, HelpBookError> HelpBook::Make(std::vector<HelpPage> pages)
{
    std::set<QString> keys;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const HelpPage& page = pages[i];
        const QString which = QStringLiteral("page %1 \"%2\"").arg(i + 1).arg(page.Key);
        if (!IsHelpKey(page.Key))
            return Fail(HelpBookError::BadKey, which);
        if (!keys.insert(page.Key).second)
            return Fail(HelpBookError::DuplicateKey, which);
        for (const std::int32_t context : page.Contexts) {
            if (context <= 0)
                return Fail(HelpBookError::BadContext, which);
        }
    }
    if (!keys.contains(kHelpContentsKey))
        return Fail(HelpBookError::NoContents, QString());
    return HelpBook(std::move(pages));
}

const HelpPage* HelpBook::Find(const QString& key) const
{
    for (const HelpPage& page : m_pages) {
        if (page.Key == key)
            return &page;
    }
    return nullptr;
}

const HelpPage* HelpBook::ForContext(std::int32_t context) const
{
    for (const HelpPage& page : m_pages) {
        for (const std::int32_t own : page.Contexts) {
            if (own == context)
                return &page;
        }
    }
    return nullptr;
}

const HelpPage& HelpBook::Contents() const
{
    // Make() refuses pages without it.
    return *Find(kHelpContentsKey);
}

const HelpPage& HelpBook::PageFor(std::int32_t context) const
{
    const HelpPage* page = ForContext(context);
    return page != nullptr ? *page : Contents();
}

} // namespace pv
