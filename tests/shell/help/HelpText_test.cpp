// The help markup as HTML: blocks, bold, links between pages, and text that is never taken as
// HTML.
#include "shell/help/HelpText.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

HelpBook Book(const QString& body)
{
    auto book = HelpBook::Make(
        {HelpPage{QStringLiteral("contents"), QStringLiteral("Help"), {}, body},
         HelpPage{QStringLiteral("scales"), QStringLiteral("Scales & modes"), {81}, QString()}});
    EXPECT_TRUE(book.Ok());
    return book.Value();
}

QString Html(const QString& body)
{
    const HelpBook book = Book(body);
    return HelpPageHtml(book, book.Contents());
}

TEST(HelpText, BlocksBecomeParagraphsHeadingsListsAndTables)
{
    struct Case
    {
        const char* name;
        QString body;
        QString html; ///< what the page's HTML holds after its title
    };
    const Case cases[] = {
        {"lines join into one paragraph", QStringLiteral("One\ntwo\n\nThree"),
         QStringLiteral("<p>One two</p>\n<p>Three</p>\n")},
        {"a heading ends the paragraph", QStringLiteral("Text\n## Keys\nMore"),
         QStringLiteral("<p>Text</p>\n<h3>Keys</h3>\n<p>More</p>\n")},
        {"list items go on on indented lines", QStringLiteral("- one\n  more\n- two\nAfter"),
         QStringLiteral("<ul>\n<li>one more</li>\n<li>two</li>\n</ul>\n<p>After</p>\n")},
        {"table rows", QStringLiteral("| **F1** | help |\n| F2 | open |"),
         QStringLiteral("<table cellspacing=\"0\" cellpadding=\"3\">\n"
                        "<tr><td><b>F1</b></td><td>help</td></tr>\n"
                        "<tr><td>F2</td><td>open</td></tr>\n</table>\n")},
        {"bold left open ends with its block", QStringLiteral("**bold\n\nplain"),
         QStringLiteral("<p><b>bold</b></p>\n<p>plain</p>\n")},
        {"a link under the page's title", QStringLiteral("See [[scales]]."),
         QStringLiteral("<p>See <a href=\"page:scales\">Scales &amp; modes</a>.</p>\n")},
        {"a link under its own text", QStringLiteral("See [[ scales |the <scales>]]."),
         QStringLiteral("<p>See <a href=\"page:scales\">the &lt;scales&gt;</a>.</p>\n")},
        {"a link to no page is its text", QStringLiteral("See [[chords|chords]] and [[modes]]."),
         QStringLiteral("<p>See chords and modes.</p>\n")},
        {"text is never HTML", QStringLiteral("<script>alert(1)</script> & \"x\""),
         QStringLiteral("<p>&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;</p>\n")},
        {"brackets that are no link stay", QStringLiteral("[[Two Words]] and [[open"),
         QStringLiteral("<p>[[Two Words]] and [[open</p>\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Html(c.body), QStringLiteral("<h2>Help</h2>\n") + c.html);
    }
}

TEST(HelpText, ATitleIsEscapedToo)
{
    const HelpBook book = Book(QString());
    EXPECT_TRUE(HelpPageHtml(book, *book.Find(QStringLiteral("scales")))
                    .startsWith(QStringLiteral("<h2>Scales &amp; modes</h2>")));
}

TEST(HelpText, LinksAreListedOnceInTheOrderTheyComeAndOnlyPageAddressesLeadToPages)
{
    EXPECT_EQ(HelpLinks(QStringLiteral("[[b]] [[a|x]] [[b|again]] [[Bad]] [[c")),
              (std::vector<QString>{QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(HelpLinkKey(HelpLinkAddress(QStringLiteral("chord-setup"))),
              QStringLiteral("chord-setup"));
    for (const char* address : {"http://example.com", "page:", "page:../x", "file:///etc"}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(HelpLinkKey(QString::fromLatin1(address)), std::nullopt);
    }
}

} // namespace
} // namespace pv
