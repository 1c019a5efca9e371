// Joining an address with its scheme and opening it.
#include "shell/links/TURL.h"

#include <array>

namespace pv {

QString URLPrefix(TURLType type)
{
    static constexpr std::array<const char*, 9> kPrefixes = {
        "file://", "ftp://", "gopher://", "http://", "https://",
        "mailto:", "news:",  "telnet:",   "wais:"};
    const auto index = static_cast<std::size_t>(type);
    return index < kPrefixes.size() ? QString::fromLatin1(kPrefixes[index]) : QString();
}

QString TURL::FullAddress() const
{
    return URLPrefix(m_type) + m_url;
}

bool TURL::OpenURL()
{
    if (m_url.isEmpty())
        return false;
    // The whole address goes to the desktop: cut to a buffer's length it would open another
    // page than the one named.
    return m_opener.OpenDocument(FullAddress());
}

bool OpenProductWebSite(TURL& url)
{
    // The site answers on its secure scheme; the plain one would only be redirected there.
    url.SetURLType(TURLType::utHttps);
    url.SetURL(QString::fromLatin1(kProductWebAddress));
    return url.OpenURL();
}

bool OpenSupportMail(TURL& url)
{
    url.SetURLType(TURLType::utMailto);
    url.SetURL(QString::fromLatin1(kSupportMailAddress));
    return url.OpenURL();
}

} // namespace pv
