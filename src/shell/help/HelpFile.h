// The help file (".HLP"): the pages of a HelpBook in a small container, every field read and
// written little-endian at its offset.
//
// Layout: a 16-byte header (0: the 8 bytes "PVHELP\r\n"; 8: u16 format 1; 10: u16 page count;
// 12: u32 size of the whole file), a directory of one 8-byte entry per page (u32 offset and
// u32 length of the page's record) and the records. A record: u16 key length, u16 title
// length, u16 context count, u16 zero, the contexts as i32, then the key, the title and, to
// the record's end, the body, all UTF-8.
#pragma once

#include "music/base/Result.h"
#include "shell/help/HelpBook.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace pv {

inline constexpr std::size_t kHelpHeaderSize = 16;
inline constexpr std::size_t kHelpDirectoryEntrySize = 8;
inline constexpr std::size_t kHelpRecordFixedSize = 8;
inline constexpr std::uint16_t kHelpFormat = 1;
/// Files above this size are refused unread: a help of every page the program has is a small
/// part of it.
inline constexpr std::size_t kMaxHelpFileSize = 4u * 1024u * 1024u;
inline constexpr std::size_t kMaxHelpPages = 1000;
inline constexpr std::size_t kMaxHelpPageContexts = 200;
inline constexpr std::size_t kMaxHelpTitleBytes = 200;

enum class HelpFileError : int
{
    Missing = 1,      ///< no file of the name
    Unreadable = 2,   ///< there, but it cannot be opened or read
    TooLarge = 3,     ///< larger than any help file
    NotHelpFile = 4,  ///< does not begin as a help file does
    NewerFormat = 5,  ///< a help file of a later format
    Damaged = 6,      ///< cut short, or a field that points outside the file or breaks a rule
    TooManyPages = 7, ///< the book does not fit the format (writing)
    WriteFailed = 8,
};

/// Reads a help file's bytes; nothing outside the span is ever touched.
Result<HelpBook, HelpFileError> DecodeHelpFile(std::span<const std::uint8_t> bytes);
/// The bytes of a help file that holds book.
Result<std::vector<std::uint8_t>, HelpFileError> EncodeHelpFile(const HelpBook& book);

/// Reads the help file at path (a regular file only, never a pipe or a device).
Result<HelpBook, HelpFileError> ReadHelpFile(const QString& path);
/// Writes book to path, replacing the file whole.
Status<HelpFileError> WriteHelpFile(const QString& path, const HelpBook& book);

} // namespace pv
