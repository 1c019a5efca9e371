// Feeds arbitrary bytes to the help file's reader and checks that what it accepts is whole: it
// writes back to a file that reads as the same pages, every context and key lookup ends on a
// page of the book, and every page's HTML links only to pages the book has.
#include "shell/help/HelpFile.h"
#include "shell/help/HelpText.h"

#include <cstdint>
#include <cstdlib>
#include <span>

#include <QRegularExpression>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto read = pv::DecodeHelpFile(std::span<const std::uint8_t>(data, size));
    if (!read)
        return 0;
    const pv::HelpBook& book = read.Value();

    const auto written = pv::EncodeHelpFile(book);
    if (!written)
        std::abort();
    const auto again = pv::DecodeHelpFile(written.Value());
    if (!again || !(again.Value() == book))
        std::abort();

    static const QRegularExpression anchor(QStringLiteral("<a href=\"([^\"]*)\">"));
    for (const pv::HelpPage& page : book.Pages()) {
        for (const std::int32_t context : page.Contexts) {
            if (book.ForContext(context) == nullptr)
                std::abort();
        }
        if (book.Find(page.Key) == nullptr)
            std::abort();
        const QString html = pv::HelpPageHtml(book, page);
        auto links = anchor.globalMatch(html);
        while (links.hasNext()) {
            const auto key = pv::HelpLinkKey(links.next().captured(1));
            if (!key || book.Find(*key) == nullptr)
                std::abort();
        }
    }
    (void)book.PageFor(-1);
    return 0;
}
