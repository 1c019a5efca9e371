// Little-endian field access over byte spans.
#include "music/files/ByteIO.h"

#include "music/files/Win1252.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace pv {

bool ByteReader::Fits(std::size_t offset, std::size_t count) const
{
    if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
        m_failed = true;
        return false;
    }
    return true;
}

std::uint8_t ByteReader::U8(std::size_t offset) const
{
    return Fits(offset, 1) ? m_bytes[offset] : 0;
}

std::int8_t ByteReader::I8(std::size_t offset) const
{
    return static_cast<std::int8_t>(U8(offset));
}

std::uint16_t ByteReader::U16(std::size_t offset) const
{
    if (!Fits(offset, 2))
        return 0;
    return static_cast<std::uint16_t>(m_bytes[offset] | (m_bytes[offset + 1] << 8));
}

std::int16_t ByteReader::I16(std::size_t offset) const
{
    return static_cast<std::int16_t>(U16(offset));
}

std::uint32_t ByteReader::U32(std::size_t offset) const
{
    if (!Fits(offset, 4))
        return 0;
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(m_bytes[offset + i]) << (8 * i);
    return v;
}

std::int32_t ByteReader::I32(std::size_t offset) const
{
    return static_cast<std::int32_t>(U32(offset));
}

double ByteReader::F64(std::size_t offset) const
{
    if (!Fits(offset, 8))
        return 0.0;
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(m_bytes[offset + i]) << (8 * i);
    return std::bit_cast<double>(v);
}

std::vector<std::uint8_t> ByteReader::LengthPrefixedBytes(std::size_t offset,
                                                          std::size_t capacity) const
{
    if (!Fits(offset, capacity + 1))
        return {};
    // A damaged length byte must never pull in the neighbouring fields.
    const std::size_t length = std::min<std::size_t>(m_bytes[offset], capacity);
    const auto first = m_bytes.begin() + static_cast<std::ptrdiff_t>(offset + 1);
    return {first, first + static_cast<std::ptrdiff_t>(length)};
}

QString ByteReader::LengthPrefixedString(std::size_t offset, std::size_t capacity) const
{
    return FromWin1252(LengthPrefixedBytes(offset, capacity));
}

std::vector<std::uint8_t> ByteReader::Bytes(std::size_t offset, std::size_t count) const
{
    if (!Fits(offset, count))
        return std::vector<std::uint8_t>(count, 0);
    const auto first = m_bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    return {first, first + static_cast<std::ptrdiff_t>(count)};
}

bool ByteWriter::Fits(std::size_t offset, std::size_t count)
{
    if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
        m_failed = true;
        return false;
    }
    return true;
}

void ByteWriter::U8(std::size_t offset, std::uint8_t value)
{
    if (Fits(offset, 1))
        m_bytes[offset] = value;
}

void ByteWriter::I8(std::size_t offset, std::int8_t value)
{
    U8(offset, static_cast<std::uint8_t>(value));
}

void ByteWriter::U16(std::size_t offset, std::uint16_t value)
{
    if (!Fits(offset, 2))
        return;
    m_bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    m_bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void ByteWriter::I16(std::size_t offset, std::int16_t value)
{
    U16(offset, static_cast<std::uint16_t>(value));
}

void ByteWriter::U32(std::size_t offset, std::uint32_t value)
{
    if (!Fits(offset, 4))
        return;
    for (std::size_t i = 0; i < 4; ++i)
        m_bytes[offset + i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

void ByteWriter::I32(std::size_t offset, std::int32_t value)
{
    U32(offset, static_cast<std::uint32_t>(value));
}

void ByteWriter::F64(std::size_t offset, double value)
{
    if (!Fits(offset, 8))
        return;
    const auto v = std::bit_cast<std::uint64_t>(value);
    for (std::size_t i = 0; i < 8; ++i)
        m_bytes[offset + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

void ByteWriter::LengthPrefixedBytes(std::size_t offset, std::size_t capacity,
                                     std::span<const std::uint8_t> text)
{
    if (!Fits(offset, capacity + 1))
        return;
    const std::size_t length = std::min({text.size(), capacity, std::size_t{255}});
    m_bytes[offset] = static_cast<std::uint8_t>(length);
    std::copy_n(text.begin(), length, m_bytes.begin() + static_cast<std::ptrdiff_t>(offset + 1));
}

void ByteWriter::LengthPrefixedString(std::size_t offset, std::size_t capacity, const QString& text)
{
    // Cut after encoding: the capacity counts bytes of the file, not characters.
    const std::vector<std::uint8_t> encoded = ToWin1252(text);
    LengthPrefixedBytes(offset, capacity, encoded);
}

void ByteWriter::Bytes(std::size_t offset, std::span<const std::uint8_t> bytes)
{
    if (Fits(offset, bytes.size()))
        std::copy(bytes.begin(), bytes.end(),
                  m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

namespace {

// The block of size bytes at offset at, or nothing when it does not fit.
template <class Byte>
std::optional<std::span<Byte>> BlockOf(std::span<Byte> bytes, std::size_t at, std::size_t size)
{
    if (at > bytes.size() || size > bytes.size() - at)
        return std::nullopt;
    return bytes.subspan(at, size);
}

} // namespace

FieldReader FieldReader::Block(std::size_t at, std::size_t size)
{
    const auto block = BlockOf(m_bytes, at, size);
    // A block that does not fit reads as empty: each of its fields then fails as well.
    *m_failed = *m_failed || !block;
    return FieldReader(block.value_or(std::span<const std::uint8_t>{}), m_failed);
}

FieldWriter FieldWriter::Block(std::size_t at, std::size_t size)
{
    const auto block = BlockOf(m_bytes, at, size);
    *m_failed = *m_failed || !block;
    return FieldWriter(block.value_or(std::span<std::uint8_t>{}), m_failed);
}

void FieldWriter::Bool(std::size_t at, const bool& field)
{
    if (at < m_bytes.size() && (m_bytes[at] != 0) == field)
        return;
    m_out.Bool(at, field);
    Note();
}

void FieldWriter::LengthPrefixedString(std::size_t at, std::size_t capacity, const QString& field)
{
    m_out.LengthPrefixedString(at, capacity, field);
    Note();
}

} // namespace pv
