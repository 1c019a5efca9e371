// What the help viewer shows: the book in force, the page shown and the pages to go back and
// forward to, as a browser keeps them.
#pragma once

#include "shell/help/HelpBook.h"

#include <optional>
#include <vector>

#include <QString>

namespace pv {

class HelpNavigation
{
public:
    /// Puts book in force. The same book again keeps the page and the history; another one
    /// starts on its contents with no history (its pages may be other pages).
    void SetBook(HelpBook book);
    bool HasBook() const { return m_book.has_value(); }
    /// Only with HasBook().
    const HelpBook& Book() const { return *m_book; }
    const HelpPage& Current() const;

    /// Goes to the page of key, the contents for a key of no page. The page shown so far goes
    /// onto the way back and the way forward is dropped; the page shown already stays as it is.
    void Show(const QString& key);
    /// Goes to the page that answers context, the contents when none does.
    void ShowContext(int context);
    bool CanGoBack() const { return !m_back.empty(); }
    bool CanGoForward() const { return !m_forward.empty(); }
    void Back();
    void Forward();

private:
    std::optional<HelpBook> m_book;
    QString m_current = kHelpContentsKey;
    std::vector<QString> m_back;
    std::vector<QString> m_forward;
};

} // namespace pv
