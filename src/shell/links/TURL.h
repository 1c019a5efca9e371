// The link launcher: an address without its scheme and a scheme kind, joined and handed to the
// desktop to open; and where the program's own links lead.
#pragma once

#include <cstdint>

#include <QString>

namespace pv {

/// The schemes, each with its prefix.
enum class TURLType : std::uint8_t
{
    utFile = 0,   ///< "file://"
    utFtp = 1,    ///< "ftp://"
    utGopher = 2, ///< "gopher://"
    utHttp = 3,   ///< "http://"
    utHttps = 4,  ///< "https://"
    utMailto = 5, ///< "mailto:"
    utNews = 6,   ///< "news:"
    utTelnet = 7, ///< "telnet:"
    utWais = 8,   ///< "wais:"
};

/// What a scheme puts in front of the address.
QString URLPrefix(TURLType type);

/// The desktop's "open" for an address (its browser, mail program or file manager).
class IDocumentOpener
{
public:
    virtual ~IDocumentOpener() = default;
    /// False when the desktop could not open it.
    virtual bool OpenDocument(const QString& address) = 0;
};

class TURL
{
public:
    /// opener must outlive the object.
    explicit TURL(IDocumentOpener& opener) : m_opener(opener) {}

    const QString& URL() const { return m_url; }
    void SetURL(const QString& url) { m_url = url; }
    TURLType URLType() const { return m_type; }
    void SetURLType(TURLType type) { m_type = type; }

    /// The prefix of the scheme, then the address.
    QString FullAddress() const;
    /// Hands the full address to the desktop; false without an address (nothing is asked) or
    /// when the desktop could not open it. Nothing is shown to the user here.
    bool OpenURL();

private:
    IDocumentOpener& m_opener;
    QString m_url;
    TURLType m_type = TURLType::utHttp;
};

/// The product's web site, without its scheme.
inline constexpr const char* kProductWebAddress = "www.pellivark.example";
/// Where bug reports and suggestions are mailed.
inline constexpr const char* kSupportMailAddress = "support@pellivark.example";

/// `PellivarkWeb1Click`: the product's web site.
bool OpenProductWebSite(TURL& url);
/// `Reportbugsandsuggestions1Click`: a mail to the maker's support.
bool OpenSupportMail(TURL& url);

} // namespace pv
