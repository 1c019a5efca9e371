// The link launcher: each scheme's prefix before the address, no address asks nothing, the
// desktop's answer comes back, and the program's two links.
#include "shell/links/TURL.h"

#include <gtest/gtest.h>

namespace pv {
namespace {

class RecordingOpener final : public IDocumentOpener
{
public:
    bool OpenDocument(const QString& address) override
    {
        opened.push_back(address);
        return answer;
    }
    std::vector<QString> opened;
    bool answer = true;
};

TEST(TURL, EachSchemePutsItsPrefixBeforeTheAddress)
{
    const std::pair<TURLType, const char*> cases[] = {
        {TURLType::utFile, "file:///home/ann/notes.txt"},
        {TURLType::utFtp, "ftp:///home/ann/notes.txt"},
        {TURLType::utGopher, "gopher:///home/ann/notes.txt"},
        {TURLType::utHttp, "http:///home/ann/notes.txt"},
        {TURLType::utHttps, "https:///home/ann/notes.txt"},
        {TURLType::utMailto, "mailto:/home/ann/notes.txt"},
        {TURLType::utNews, "news:/home/ann/notes.txt"},
        {TURLType::utTelnet, "telnet:/home/ann/notes.txt"},
        {TURLType::utWais, "wais:/home/ann/notes.txt"},
    };
    RecordingOpener opener;
    TURL url(opener);
    EXPECT_EQ(url.URLType(), TURLType::utHttp) << "the default scheme";
    url.SetURL(QStringLiteral("/home/ann/notes.txt"));
    for (const auto& [type, expected] : cases) {
        SCOPED_TRACE(expected);
        url.SetURLType(type);
        EXPECT_TRUE(url.OpenURL());
        EXPECT_EQ(opener.opened.back(), QString::fromLatin1(expected));
    }
    url.SetURLType(TURLType::utMailto);
    url.SetURL(QStringLiteral("ann@example.org"));
    url.OpenURL();
    EXPECT_EQ(opener.opened.back(), QStringLiteral("mailto:ann@example.org")) << "no slashes";
}

TEST(TURL, NoAddressAsksNothingAndTheDesktopsRefusalComesBack)
{
    RecordingOpener opener;
    TURL url(opener);
    EXPECT_FALSE(url.OpenURL());
    EXPECT_TRUE(opener.opened.empty());

    // A long address is handed on whole: a cut one would open another page.
    const QString longPath = QStringLiteral("example.org/") + QString(120, QLatin1Char('a'));
    url.SetURL(longPath);
    opener.answer = false;
    EXPECT_FALSE(url.OpenURL());
    EXPECT_EQ(opener.opened.back(), QStringLiteral("http://") + longPath);
}

TEST(TURL, TheProgramsLinksOpenItsWebSiteAndAMailToItsSupport)
{
    RecordingOpener opener;
    TURL url(opener);
    EXPECT_TRUE(OpenProductWebSite(url));
    EXPECT_EQ(opener.opened.back(), QStringLiteral("https://www.pellivark.example"));
    EXPECT_TRUE(OpenSupportMail(url));
    EXPECT_EQ(opener.opened.back(), QStringLiteral("mailto:support@pellivark.example"));
}

} // namespace
} // namespace pv
