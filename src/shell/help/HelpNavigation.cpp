// The help viewer's way through the pages.
#include "shell/help/HelpNavigation.h"

namespace pv {

void HelpNavigation::SetBook(HelpBook book)
{
    if (m_book && *m_book == book)
        return;
    m_book = std::move(book);
    m_current = kHelpContentsKey;
    m_back.clear();
    m_forward.clear();
}

const HelpPage& HelpNavigation::Current() const
{
    const HelpPage* page = m_book->Find(m_current);
    return page != nullptr ? *page : m_book->Contents();
}

void HelpNavigation::Show(const QString& key)
{
    if (!m_book)
        return;
    const QString target = m_book->Find(key) != nullptr ? key : kHelpContentsKey;
    if (target == m_current)
        return;
    m_back.push_back(m_current);
    m_forward.clear();
    m_current = target;
}

void HelpNavigation::ShowContext(int context)
{
    if (m_book)
        Show(m_book->PageFor(context).Key);
}

void HelpNavigation::Back()
{
    if (m_back.empty())
        return;
    m_forward.push_back(m_current);
    m_current = m_back.back();
    m_back.pop_back();
}

void HelpNavigation::Forward()
{
    if (m_forward.empty())
        return;
    m_back.push_back(m_current);
    m_current = m_forward.back();
    m_forward.pop_back();
}

} // namespace pv
