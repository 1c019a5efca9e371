// Little-endian field access over a byte span, so record codecs read like their offset tables.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include <QString>

namespace pv {

static_assert(std::numeric_limits<double>::is_iec559, "records store IEEE doubles");

/// Reads fields at explicit offsets. A read that would pass the end gives 0 (or an empty
/// string) and marks the reader failed; it never touches a byte outside the span.
class ByteReader
{
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t Size() const { return m_bytes.size(); }
    bool Failed() const { return m_failed; }

    std::uint8_t U8(std::size_t offset) const;
    std::int8_t I8(std::size_t offset) const;
    std::uint16_t U16(std::size_t offset) const;
    std::int16_t I16(std::size_t offset) const;
    std::uint32_t U32(std::size_t offset) const;
    std::int32_t I32(std::size_t offset) const;
    double F64(std::size_t offset) const;
    bool Bool(std::size_t offset) const { return U8(offset) != 0; }
    /// A Pascal short string of the given capacity (length byte + capacity bytes) in
    /// Windows-1252; a length byte above the capacity is clamped to it.
    QString ShortString(std::size_t offset, std::size_t capacity) const;
    /// The raw bytes of a short string (length clamped), without decoding.
    std::vector<std::uint8_t> ShortStringBytes(std::size_t offset, std::size_t capacity) const;
    /// A copy of count bytes (zero-filled and failed when they pass the end).
    std::vector<std::uint8_t> Bytes(std::size_t offset, std::size_t count) const;

private:
    bool Fits(std::size_t offset, std::size_t count) const;
    std::span<const std::uint8_t> m_bytes;
    mutable bool m_failed = false;
};

/// Writes fields at explicit offsets; a write that would pass the end writes nothing and
/// marks the writer failed. Bytes not written keep what they held, so carried areas survive.
class ByteWriter
{
public:
    explicit ByteWriter(std::span<std::uint8_t> bytes) : m_bytes(bytes) {}

    std::size_t Size() const { return m_bytes.size(); }
    bool Failed() const { return m_failed; }

    void U8(std::size_t offset, std::uint8_t value);
    void I8(std::size_t offset, std::int8_t value);
    void U16(std::size_t offset, std::uint16_t value);
    void I16(std::size_t offset, std::int16_t value);
    void U32(std::size_t offset, std::uint32_t value);
    void I32(std::size_t offset, std::int32_t value);
    void F64(std::size_t offset, double value);
    void Bool(std::size_t offset, bool value) { U8(offset, value ? 1 : 0); }
    /// Encodes to Windows-1252, cuts to the capacity, writes the length byte and the text;
    /// the bytes after the text inside the field are left as they were.
    void ShortString(std::size_t offset, std::size_t capacity, const QString& text);
    /// The same with bytes already encoded.
    void ShortStringBytes(std::size_t offset, std::size_t capacity,
                          std::span<const std::uint8_t> text);
    void Bytes(std::size_t offset, std::span<const std::uint8_t> bytes);

private:
    bool Fits(std::size_t offset, std::size_t count);
    std::span<std::uint8_t> m_bytes;
    bool m_failed = false;
};

} // namespace pv
