// The help source: pages, titles, contexts and bodies read from it, mistakes named by their
// line, and a printed book that reads back as it was.
#include "shell/help/HelpFile.h"
#include "shell/help/HelpSource.h"

#include <QFile>

#include <gtest/gtest.h>

namespace pv {
namespace {

QString ReadText(const char* path)
{
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

TEST(HelpSource, PagesTitlesContextsAndBodiesAreRead)
{
    const QString source = QStringLiteral("; a comment before the first page\r\n"
                                          "\r\n"
                                          "@page contents\r\n"
                                          "@title Pellivark help\r\n"
                                          "\r\n"
                                          "Read [[setup|the setup]].\r\n"
                                          "; a comment inside a body is no part of it\r\n"
                                          "## More\r\n"
                                          "\r\n"
                                          "\r\n"
                                          "@page setup\r\n"
                                          "@contexts 12, 22,32\r\n"
                                          "@title The setup page\r\n"
                                          "Tick **Ask**.\r\n");
    const auto book = ParseHelpSource(source);
    ASSERT_TRUE(book.Ok()) << book.Detail().toStdString();
    ASSERT_EQ(book.Value().Pages().size(), 2u);
    const HelpPage& contents = book.Value().Pages()[0];
    EXPECT_EQ(contents.Title, QStringLiteral("Pellivark help"));
    EXPECT_TRUE(contents.Contexts.empty());
    EXPECT_EQ(contents.Body, QStringLiteral("Read [[setup|the setup]].\n## More"));
    const HelpPage& setup = book.Value().Pages()[1];
    EXPECT_EQ(setup.Title, QStringLiteral("The setup page"));
    EXPECT_EQ(setup.Contexts, (std::vector<std::int32_t>{12, 22, 32}));
    EXPECT_EQ(setup.Body, QStringLiteral("Tick **Ask**."));
    EXPECT_EQ(book.Value().PageFor(22).Key, QStringLiteral("setup"));
}

TEST(HelpSource, MistakesNameTheirLine)
{
    const QString contents = QStringLiteral("@page contents\n@title Help\n");
    struct Case
    {
        const char* name;
        QString source;
        HelpSourceError code;
        const char* where;
    };
    const Case cases[] = {
        {"text before the first page", QStringLiteral("Hello\n") + contents,
         HelpSourceError::Syntax, "line 1"},
        {"a key of capitals", contents + QStringLiteral("@page Setup\n@title S\n"),
         HelpSourceError::BadPage, "line 3"},
        {"a second page of one key", contents + QStringLiteral("@page contents\n@title Again\n"),
         HelpSourceError::BadPage, "line 3"},
        {"a context answered twice",
         contents + QStringLiteral("@page a\n@title A\n@contexts 11\n@page b\n@title B\n"
                                   "@contexts 12, 11\n"),
         HelpSourceError::BadPage, "line 8"},
        {"a context that is no number",
         contents + QStringLiteral("@page a\n@title A\n@contexts x1\n"), HelpSourceError::Syntax,
         "line 5"},
        {"a context of zero", contents + QStringLiteral("@page a\n@title A\n@contexts 0\n"),
         HelpSourceError::Syntax, "line 5"},
        {"a directive inside a body", contents + QStringLiteral("Text\n@title Late\n"),
         HelpSourceError::Syntax, "line 4"},
        {"a page without a title", contents + QStringLiteral("@page a\nText\n"),
         HelpSourceError::BadPage, "line 3"},
        {"a link to no page", contents + QStringLiteral("@page a\n@title A\nSee [[b]].\n"),
         HelpSourceError::BadLink, "line 3"},
        {"no contents page", QStringLiteral("@page a\n@title A\n"), HelpSourceError::NoContents,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto book = ParseHelpSource(c.source);
        ASSERT_FALSE(book.Ok());
        EXPECT_EQ(book.Code(), c.code);
        EXPECT_TRUE(book.Detail().startsWith(QString::fromLatin1(c.where)))
            << book.Detail().toStdString();
    }
}

TEST(HelpSource, APrintedBookReadsBackTheSame)
{
    const auto english = ParseHelpSource(ReadText(PV_ENGLISH_HELP_SOURCE));
    ASSERT_TRUE(english.Ok()) << english.Detail().toStdString();
    const auto again = ParseHelpSource(PrintHelpSource(english.Value()));
    ASSERT_TRUE(again.Ok()) << again.Detail().toStdString();
    EXPECT_EQ(again.Value(), english.Value());
}

// The file the build ships is the source's book, so what a translator writes is what the
// program shows.
TEST(HelpSource, TheShippedEnglishFileHoldsTheSourcesPages)
{
    const auto english = ParseHelpSource(ReadText(PV_ENGLISH_HELP_SOURCE));
    ASSERT_TRUE(english.Ok());
    const auto shipped = ReadHelpFile(QString::fromUtf8(PV_ENGLISH_HELP_FILE));
    ASSERT_TRUE(shipped.Ok()) << shipped.Detail().toStdString();
    EXPECT_EQ(shipped.Value(), english.Value());
}

} // namespace
} // namespace pv
