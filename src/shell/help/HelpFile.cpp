// Reading and writing the help file's container.
#include "shell/help/HelpFile.h"

#include "music/files/ByteIO.h"
#include "music/files/RegularFile.h"

#include <algorithm>
#include <array>
#include <optional>

#include <QByteArray>
#include <QSaveFile>
#include <QStringDecoder>

namespace pv {

namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'P', 'V', 'H', 'E', 'L', 'P', '\r', '\n'};

/// The UTF-8 text of count bytes at offset; nothing when the bytes are no valid UTF-8.
std::optional<QString> Utf8At(std::span<const std::uint8_t> bytes, std::size_t offset,
                              std::size_t count)
{
    const auto* start = reinterpret_cast<const char*>(bytes.data() + offset);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(start, static_cast<qsizetype>(count)));
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

Failure<HelpFileError> Damaged(const QString& why)
{
    return Fail(HelpFileError::Damaged, why);
}

/// One page's record of size bytes; the caller has checked that they lie inside the file.
Result<HelpPage, HelpFileError> DecodeRecord(std::span<const std::uint8_t> record, std::size_t n)
{
    const QString which = QStringLiteral("page %1").arg(n + 1);
    if (record.size() < kHelpRecordFixedSize)
        return Damaged(which + QStringLiteral(" is cut short"));
    const ByteReader in(record);
    const std::size_t keyLength = in.U16(0);
    const std::size_t titleLength = in.U16(2);
    const std::size_t contextCount = in.U16(4);
    if (contextCount > kMaxHelpPageContexts || titleLength > kMaxHelpTitleBytes ||
        keyLength > static_cast<std::size_t>(kHelpKeyCapacity))
        return Damaged(which + QStringLiteral(" has a field beyond its limit"));
    // Every length is at most 16 bits: the sum cannot wrap.
    const std::size_t keyAt = kHelpRecordFixedSize + 4 * contextCount;
    const std::size_t titleAt = keyAt + keyLength;
    const std::size_t bodyAt = titleAt + titleLength;
    if (bodyAt > record.size())
        return Damaged(which + QStringLiteral(" is cut short"));

    HelpPage page;
    for (std::size_t c = 0; c < contextCount; ++c)
        page.Contexts.push_back(in.I32(kHelpRecordFixedSize + 4 * c));
    auto key = Utf8At(record, keyAt, keyLength);
    auto title = Utf8At(record, titleAt, titleLength);
    auto body = Utf8At(record, bodyAt, record.size() - bodyAt);
    if (!key || !title || !body)
        return Damaged(which + QStringLiteral(" holds text that is no UTF-8"));
    page.Key = std::move(*key);
    page.Title = std::move(*title);
    page.Body = std::move(*body);
    return page;
}

} // namespace

Result<HelpBook, HelpFileError> DecodeHelpFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > kMaxHelpFileSize)
        return Fail(HelpFileError::TooLarge);
    if (bytes.size() < kMagic.size() || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
        return Fail(HelpFileError::NotHelpFile);
    if (bytes.size() < kHelpHeaderSize)
        return Damaged(QStringLiteral("the header is cut short"));
    const ByteReader in(bytes);
    if (in.U16(8) != kHelpFormat)
        return in.U16(8) > kHelpFormat ? Fail(HelpFileError::NewerFormat)
                                       : Damaged(QStringLiteral("format 0"));
    const std::size_t pageCount = in.U16(10);
    if (in.U32(12) != bytes.size())
        return Damaged(QStringLiteral("the file is %1 bytes long, its header says %2")
                           .arg(bytes.size())
                           .arg(in.U32(12)));
    if (pageCount == 0 || pageCount > kMaxHelpPages)
        return Damaged(QStringLiteral("%1 pages").arg(pageCount));
    const std::size_t directoryEnd = kHelpHeaderSize + pageCount * kHelpDirectoryEntrySize;
    if (directoryEnd > bytes.size())
        return Damaged(QStringLiteral("the page directory is cut short"));

    std::vector<HelpPage> pages;
    pages.reserve(pageCount);
    for (std::size_t n = 0; n < pageCount; ++n) {
        const std::size_t entry = kHelpHeaderSize + n * kHelpDirectoryEntrySize;
        const std::size_t offset = in.U32(entry);
        const std::size_t length = in.U32(entry + 4);
        // Both are below the file size (at most 4 MiB) when they pass: no sum can wrap.
        if (offset < directoryEnd || offset > bytes.size() || length > bytes.size() - offset)
            return Damaged(QStringLiteral("page %1 lies outside the file").arg(n + 1));
        auto page = DecodeRecord(bytes.subspan(offset, length), n);
        if (!page)
            return page.Err();
        pages.push_back(std::move(page.Value()));
    }
    auto book = HelpBook::Make(std::move(pages));
    if (!book) {
        return Damaged(book.Code() == HelpBookError::NoContents
                           ? QStringLiteral("it has no contents page")
                           : book.Detail() + QStringLiteral(" has a bad key or context"));
    }
    return std::move(book.Value());
}

Result<std::vector<std::uint8_t>, HelpFileError> EncodeHelpFile(const HelpBook& book)
{
    const std::vector<HelpPage>& pages = book.Pages();
    if (pages.size() > kMaxHelpPages)
        return Fail(HelpFileError::TooManyPages, QStringLiteral("%1 pages").arg(pages.size()));

    std::vector<std::vector<std::uint8_t>> records;
    for (const HelpPage& page : pages) {
        const QByteArray key = page.Key.toUtf8();
        const QByteArray title = page.Title.toUtf8();
        const QByteArray body = page.Body.toUtf8();
        if (page.Contexts.size() > kMaxHelpPageContexts ||
            static_cast<std::size_t>(title.size()) > kMaxHelpTitleBytes)
            return Fail(HelpFileError::TooManyPages,
                        QStringLiteral("page \"%1\" has too many contexts or too long a title")
                            .arg(page.Key));
        const std::size_t keyAt = kHelpRecordFixedSize + 4 * page.Contexts.size();
        const std::size_t titleAt = keyAt + static_cast<std::size_t>(key.size());
        const std::size_t bodyAt = titleAt + static_cast<std::size_t>(title.size());
        std::vector<std::uint8_t> record(bodyAt + static_cast<std::size_t>(body.size()), 0);
        ByteWriter out(record);
        out.U16(0, static_cast<std::uint16_t>(key.size()));
        out.U16(2, static_cast<std::uint16_t>(title.size()));
        out.U16(4, static_cast<std::uint16_t>(page.Contexts.size()));
        for (std::size_t c = 0; c < page.Contexts.size(); ++c)
            out.I32(kHelpRecordFixedSize + 4 * c, page.Contexts[c]);
        const auto bytesOf = [](const QByteArray& text) {
            return std::span<const std::uint8_t>(
                reinterpret_cast<const std::uint8_t*>(text.constData()),
                static_cast<std::size_t>(text.size()));
        };
        out.Bytes(keyAt, bytesOf(key));
        out.Bytes(titleAt, bytesOf(title));
        out.Bytes(bodyAt, bytesOf(body));
        records.push_back(std::move(record));
    }

    std::size_t size = kHelpHeaderSize + pages.size() * kHelpDirectoryEntrySize;
    for (const auto& record : records)
        size += record.size();
    if (size > kMaxHelpFileSize)
        return Fail(HelpFileError::TooLarge, QStringLiteral("%1 bytes").arg(size));

    std::vector<std::uint8_t> bytes(size, 0);
    ByteWriter out(bytes);
    out.Bytes(0, kMagic);
    out.U16(8, kHelpFormat);
    out.U16(10, static_cast<std::uint16_t>(pages.size()));
    out.U32(12, static_cast<std::uint32_t>(size));
    std::size_t at = kHelpHeaderSize + pages.size() * kHelpDirectoryEntrySize;
    for (std::size_t n = 0; n < records.size(); ++n) {
        const std::size_t entry = kHelpHeaderSize + n * kHelpDirectoryEntrySize;
        out.U32(entry, static_cast<std::uint32_t>(at));
        out.U32(entry + 4, static_cast<std::uint32_t>(records[n].size()));
        out.Bytes(at, records[n]);
        at += records[n].size();
    }
    return bytes;
}

Result<HelpBook, HelpFileError> ReadHelpFile(const QString& path)
{
    auto bytes = ReadRegularFile(path, kMaxHelpFileSize, LinkRule::Follow);
    if (!bytes) {
        switch (bytes.Code()) {
        case FileRefusal::Missing:
            return Fail(HelpFileError::Missing, bytes.Detail());
        case FileRefusal::TooLarge:
            return Fail(HelpFileError::TooLarge, bytes.Detail());
        default:
            return Fail(HelpFileError::Unreadable, bytes.Detail());
        }
    }
    return DecodeHelpFile(bytes.Value());
}

Status<HelpFileError> WriteHelpFile(const QString& path, const HelpBook& book)
{
    auto bytes = EncodeHelpFile(book);
    if (!bytes)
        return bytes.Err();
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(HelpFileError::WriteFailed, file.errorString());
    const auto& data = bytes.Value();
    const auto size = static_cast<qint64>(data.size());
    if (file.write(reinterpret_cast<const char*>(data.data()), size) != size || !file.commit())
        return Fail(HelpFileError::WriteFailed, file.errorString());
    return {};
}

} // namespace pv
