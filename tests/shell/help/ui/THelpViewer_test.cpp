// The help window as a user sees it: the contents beside the page, links that lead to the
// pages, Back and Forward, and the shipped pages shown as text, never as their markup.
#include "music/strings/UIStrings.h"
#include "shell/help/HelpFile.h"
#include "shell/help/HelpText.h"
#include "shell/help/ui/THelpViewer.h"
#include "support/QStringPrinting.h"
#include "support/TestOutput.h"

#include <algorithm>

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>

#include <gtest/gtest.h>

namespace pv {
namespace {

HelpBook English()
{
    auto book = ReadHelpFile(QString::fromUtf8(PV_ENGLISH_HELP_FILE));
    EXPECT_TRUE(book.Ok()) << book.Detail().toStdString();
    return book.Value();
}

UIStringTable Strings()
{
    UIStringTable strings;
    strings.StrHelp = QStringLiteral("Help");
    return strings;
}

/// Clicks the first link whose text is text in the page, where the user would.
bool ClickLink(THelpViewer& viewer, const QString& text)
{
    QTextDocument* document = viewer.PageView->document();
    QTextCursor inside(document);
    for (QTextCursor found = document->find(text); !found.isNull();
         found = document->find(text, found)) {
        inside.setPosition(found.selectionStart() + 1);
        if (inside.charFormat().isAnchor())
            break;
    }
    if (!inside.charFormat().isAnchor())
        return false;
    const QPoint at = viewer.PageView->cursorRect(inside).center();
    QWidget* port = viewer.PageView->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, port->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, port->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(port, &release);
    return true;
}

TEST(THelpViewer, ContentsLinksBackAndForwardLeadThroughThePages)
{
    const UIStringTable strings = Strings();
    const HelpBook book = English();
    THelpViewer viewer(strings);
    viewer.ShowTopic(HelpTopic{book, kHelpContentsKey});
    viewer.show();
    QApplication::processEvents();
    EXPECT_EQ(viewer.ContentsList->count(), static_cast<int>(book.Pages().size()));
    EXPECT_EQ(viewer.ContentsList->currentRow(), 0);
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("Help - Pellivark help"));
    EXPECT_FALSE(viewer.BackButton->isEnabled());
    EXPECT_TRUE(
        viewer.grab().toImage().save(test::TestOutputDir() + QStringLiteral("help-contents.png")));

    ASSERT_TRUE(ClickLink(viewer, QStringLiteral("Chord identification")));
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("chord-identification"));
    EXPECT_EQ(viewer.ContentsList->currentItem()->text(), QStringLiteral("Chord identification"));
    QApplication::processEvents();
    EXPECT_TRUE(viewer.grab().toImage().save(test::TestOutputDir() +
                                             QStringLiteral("help-chord-identification.png")));
    ASSERT_TRUE(ClickLink(viewer, QStringLiteral("How to answer")));
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("answering"));

    viewer.BackButton->click();
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("chord-identification"));
    viewer.BackButton->click();
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("contents"));
    EXPECT_FALSE(viewer.BackButton->isEnabled());
    viewer.ForwardButton->click();
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("chord-identification"));
    EXPECT_TRUE(viewer.ForwardButton->isEnabled());

    // A page chosen in the contents list is a step of its own: Forward is gone.
    const int tutorRow = static_cast<int>(
        std::find_if(book.Pages().begin(), book.Pages().end(),
                     [](const HelpPage& p) { return p.Key == QStringLiteral("tutor"); }) -
        book.Pages().begin());
    QListWidgetItem* tutor = viewer.ContentsList->item(tutorRow);
    viewer.ContentsList->scrollToItem(tutor);
    QApplication::processEvents();
    const QPoint shown = viewer.ContentsList->visualItemRect(tutor).center();
    QWidget* port = viewer.ContentsList->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, shown, port->mapToGlobal(shown), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, shown, port->mapToGlobal(shown), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(port, &release);
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("tutor"));
    EXPECT_FALSE(viewer.ForwardButton->isEnabled());
    viewer.ContentsButton->click();
    EXPECT_EQ(viewer.CurrentKey(), QStringLiteral("contents"));
}

// Every shipped page shows its title and its words: no markup left over, every link a link.
TEST(THelpViewer, EveryShippedPageShowsAsTextWithWorkingLinks)
{
    const UIStringTable strings = Strings();
    const HelpBook book = English();
    THelpViewer viewer(strings);
    for (const HelpPage& page : book.Pages()) {
        SCOPED_TRACE(page.Key.toStdString());
        viewer.ShowTopic(HelpTopic{book, page.Key});
        ASSERT_EQ(viewer.CurrentKey(), page.Key);
        const QString text = viewer.PageView->toPlainText();
        EXPECT_TRUE(text.startsWith(page.Title));
        for (const char* markup : {"[[", "]]", "**", "@page", "| "})
            EXPECT_FALSE(text.contains(QString::fromLatin1(markup))) << markup;
        EXPECT_GT(text.size(), page.Title.size() + 40) << "a page says something";
        if (page.Key == QStringLiteral("keyboard-shortcuts")) {
            viewer.show();
            QApplication::processEvents();
            EXPECT_TRUE(viewer.grab().toImage().save(
                test::TestOutputDir() + QStringLiteral("help-keyboard-shortcuts.png")));
        }
        // Every anchor of the page leads to a page of the book.
        for (QTextBlock block = viewer.PageView->document()->begin(); block.isValid();
             block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString href = it.fragment().charFormat().anchorHref();
                if (href.isEmpty())
                    continue;
                THelpViewer probe(strings);
                probe.ShowTopic(HelpTopic{book, page.Key});
                probe.FollowLink(href);
                const auto key = HelpLinkKey(href);
                ASSERT_TRUE(key.has_value()) << href.toStdString();
                EXPECT_EQ(probe.CurrentKey(), *key);
            }
        }
    }
}

} // namespace
} // namespace pv
