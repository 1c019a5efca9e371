// The help window: the contents beside the page, Back, Forward and Contents above them, links
// between the pages. It only mirrors its navigation; the pages come from the help file.
#pragma once

#include "shell/help/HelpNavigation.h"
#include "shell/help/HelpService.h"

#include <QWidget>

class QListWidget;
class QTextBrowser;
class QToolButton;

namespace pv {

struct UIStringTable;

class THelpViewer final : public QWidget
{
    Q_OBJECT

public:
    /// strings must outlive the window. A parent keeps the window above it, not inside it.
    explicit THelpViewer(const UIStringTable& strings, QWidget* parent = nullptr);

    /// Puts the topic's book in force and goes to its page.
    void ShowTopic(HelpTopic topic);
    const HelpNavigation& Navigation() const { return m_navigation; }
    /// The key of the page shown.
    QString CurrentKey() const { return m_navigation.Current().Key; }
    /// Follows a link of the page (its address in the page's HTML).
    void FollowLink(const QString& address);

    QToolButton* BackButton = nullptr;
    QToolButton* ForwardButton = nullptr;
    QToolButton* ContentsButton = nullptr;
    /// The pages by title, the one shown selected.
    QListWidget* ContentsList = nullptr;
    QTextBrowser* PageView = nullptr;

private:
    void Mirror();
    void FillContents();

    const UIStringTable& m_strings;
    HelpNavigation m_navigation;
    /// The book the contents list was filled from.
    std::optional<HelpBook> m_listed;
};

} // namespace pv
