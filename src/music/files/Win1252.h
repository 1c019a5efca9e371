// Windows-1252 text, the 8-bit encoding of every data, setup, tutor and language file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace pv {

/// Decodes Windows-1252 bytes. The five bytes the code page leaves undefined (0x81, 0x8D,
/// 0x8F, 0x90, 0x9D) map to the control characters of the same number, so they round-trip.
QString FromWin1252(std::span<const std::uint8_t> bytes);
/// Encodes to Windows-1252; a character the code page lacks becomes '?'.
std::vector<std::uint8_t> ToWin1252(const QString& text);
/// The Unicode character of one byte.
char16_t Win1252ToUnicode(std::uint8_t byte);

} // namespace pv
