// The help viewer's way through the pages, as a browser keeps it.
#include "shell/help/HelpNavigation.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

HelpBook Book(const QString& extraKey = QStringLiteral("c"))
{
    std::vector<HelpPage> pages;
    for (const QString& key :
         {QStringLiteral("contents"), QStringLiteral("a"), QStringLiteral("b"), extraKey})
        pages.push_back(HelpPage{key, key.toUpper(), {}, QString()});
    pages[1].Contexts = {11};
    auto book = HelpBook::Make(std::move(pages));
    EXPECT_TRUE(book.Ok());
    return book.Value();
}

TEST(HelpNavigation, BackAndForwardRetraceThePagesAndANewPageDropsTheWayForward)
{
    HelpNavigation nav;
    nav.SetBook(Book());
    EXPECT_EQ(nav.Current().Key, QStringLiteral("contents"));
    EXPECT_FALSE(nav.CanGoBack());
    nav.ShowContext(11);
    nav.Show(QStringLiteral("b"));
    nav.Show(QStringLiteral("b")); // the page shown already: no second step back
    nav.Back();
    EXPECT_EQ(nav.Current().Key, QStringLiteral("a"));
    nav.Back();
    EXPECT_EQ(nav.Current().Key, QStringLiteral("contents"));
    EXPECT_FALSE(nav.CanGoBack());
    nav.Forward();
    EXPECT_EQ(nav.Current().Key, QStringLiteral("a"));
    EXPECT_TRUE(nav.CanGoForward());
    nav.Show(QStringLiteral("c"));
    EXPECT_FALSE(nav.CanGoForward());
    nav.Back();
    EXPECT_EQ(nav.Current().Key, QStringLiteral("a"));
}

TEST(HelpNavigation, AnUnknownPageOrContextShowsTheContents)
{
    HelpNavigation nav;
    nav.SetBook(Book());
    nav.Show(QStringLiteral("a"));
    nav.Show(QStringLiteral("missing"));
    EXPECT_EQ(nav.Current().Key, QStringLiteral("contents"));
    nav.Show(QStringLiteral("a"));
    nav.ShowContext(99);
    EXPECT_EQ(nav.Current().Key, QStringLiteral("contents"));
}

TEST(HelpNavigation, TheSameBookKeepsTheWayAnotherStartsAnew)
{
    HelpNavigation nav;
    nav.SetBook(Book());
    nav.Show(QStringLiteral("a"));
    nav.Show(QStringLiteral("b"));
    nav.SetBook(Book());
    EXPECT_EQ(nav.Current().Key, QStringLiteral("b"));
    EXPECT_TRUE(nav.CanGoBack());
    nav.SetBook(Book(QStringLiteral("d")));
    EXPECT_EQ(nav.Current().Key, QStringLiteral("contents"));
    EXPECT_FALSE(nav.CanGoBack());
    EXPECT_FALSE(nav.CanGoForward());
}

} // namespace
} // namespace pv
