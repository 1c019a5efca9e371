// Little-endian field access over a byte span, so record codecs read like their offset tables.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
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
    /// A length-prefixed string of the given capacity (length byte + capacity bytes) in
    /// Windows-1252; a length byte above the capacity is clamped to it.
    QString LengthPrefixedString(std::size_t offset, std::size_t capacity) const;
    /// The raw bytes of a length-prefixed string (length clamped), without decoding.
    std::vector<std::uint8_t> LengthPrefixedBytes(std::size_t offset, std::size_t capacity) const;
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
    void LengthPrefixedString(std::size_t offset, std::size_t capacity, const QString& text);
    /// The same with bytes already encoded.
    void LengthPrefixedBytes(std::size_t offset, std::size_t capacity,
                             std::span<const std::uint8_t> text);
    void Bytes(std::size_t offset, std::span<const std::uint8_t> bytes);

private:
    bool Fits(std::size_t offset, std::size_t count);
    std::span<std::uint8_t> m_bytes;
    bool m_failed = false;
};

// A record's layout is written once, as a field list that a FieldReader fills from the bytes
// and a FieldWriter stores into them:
//
//     template <class IO, class Rec> void ClassFields(IO& io, Rec& rec)
//     {
//         io.LengthPrefixedString(0, 31, rec.Name);
//         io.I32(32, rec.ClassId);
//     }
//
// Rec is the record when reading and the const record when writing, so a field list that
// changed a record while writing would not compile. Every field call names the field's own
// type: a field of another width or signedness is a compile error, not a silent conversion.
// Nested entries and tables of them read like their own tables (Nested, Table, Block); a value
// mended only on the way in (a clamp, an unknown code) is mended under `if constexpr
// (IO::kReading)` after its field.

/// Fills fields from their offsets. A field past the end reads as 0 (or empty) and marks the
/// reader failed; blocks taken from it share that mark.
class FieldReader
{
public:
    static constexpr bool kReading = true;

    explicit FieldReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes), m_in(bytes) {}
    FieldReader(const FieldReader&) = delete;
    FieldReader& operator=(const FieldReader&) = delete;

    bool Failed() const { return *m_failed; }
    /// The size bytes at offset at, as a reader whose offsets count from there, so a nested
    /// entry reads like its own table.
    FieldReader Block(std::size_t at, std::size_t size);

    void U8(std::size_t at, std::uint8_t& field) { field = Checked(m_in.U8(at)); }
    void I8(std::size_t at, std::int8_t& field) { field = Checked(m_in.I8(at)); }
    void U16(std::size_t at, std::uint16_t& field) { field = Checked(m_in.U16(at)); }
    void I16(std::size_t at, std::int16_t& field) { field = Checked(m_in.I16(at)); }
    void U32(std::size_t at, std::uint32_t& field) { field = Checked(m_in.U32(at)); }
    void I32(std::size_t at, std::int32_t& field) { field = Checked(m_in.I32(at)); }
    void Double(std::size_t at, double& field) { field = Checked(m_in.F64(at)); }
    /// Any byte other than 0 is true.
    void Bool(std::size_t at, bool& field) { field = Checked(m_in.Bool(at)); }
    void LengthPrefixedString(std::size_t at, std::size_t capacity, QString& field)
    {
        field = Checked(m_in.LengthPrefixedString(at, capacity));
    }
    template <std::size_t N> void Bytes(std::size_t at, std::array<std::uint8_t, N>& field)
    {
        const std::vector<std::uint8_t> bytes = Checked(m_in.Bytes(at, N));
        std::copy(bytes.begin(), bytes.end(), field.begin());
    }

private:
    FieldReader(std::span<const std::uint8_t> bytes, bool* failed)
        : m_bytes(bytes), m_in(bytes), m_failed(failed)
    {
    }
    template <class T> T Checked(T value)
    {
        *m_failed = *m_failed || m_in.Failed();
        return value;
    }

    std::span<const std::uint8_t> m_bytes;
    ByteReader m_in;
    bool m_ownFailed = false;
    bool* m_failed = &m_ownFailed;
};

/// Stores fields at their offsets into bytes that already hold the stored image, so every byte
/// no field names (padding, carried areas, the tail of a text) keeps what it held. A field past
/// the end writes nothing and marks the writer failed; blocks taken from it share that mark.
class FieldWriter
{
public:
    static constexpr bool kReading = false;

    explicit FieldWriter(std::span<std::uint8_t> bytes) : m_bytes(bytes), m_out(bytes) {}
    FieldWriter(const FieldWriter&) = delete;
    FieldWriter& operator=(const FieldWriter&) = delete;

    bool Failed() const { return *m_failed; }
    /// The size bytes at offset at, as a writer whose offsets count from there.
    FieldWriter Block(std::size_t at, std::size_t size);

    void U8(std::size_t at, const std::uint8_t& field) { Checked(&ByteWriter::U8, at, field); }
    void I8(std::size_t at, const std::int8_t& field) { Checked(&ByteWriter::I8, at, field); }
    void U16(std::size_t at, const std::uint16_t& field) { Checked(&ByteWriter::U16, at, field); }
    void I16(std::size_t at, const std::int16_t& field) { Checked(&ByteWriter::I16, at, field); }
    void U32(std::size_t at, const std::uint32_t& field) { Checked(&ByteWriter::U32, at, field); }
    void I32(std::size_t at, const std::int32_t& field) { Checked(&ByteWriter::I32, at, field); }
    void Double(std::size_t at, const double& field) { Checked(&ByteWriter::F64, at, field); }
    /// A stored byte that already means the value stays (a stored 2 still reads as true, and
    /// an untouched record must come back byte for byte); else 1 or 0.
    void Bool(std::size_t at, const bool& field);
    void LengthPrefixedString(std::size_t at, std::size_t capacity, const QString& field);
    template <std::size_t N> void Bytes(std::size_t at, const std::array<std::uint8_t, N>& field)
    {
        m_out.Bytes(at, field);
        Note();
    }

    // A field of another type must not be converted on its way to the file.
    template <class T> void U8(std::size_t, const T&) = delete;
    template <class T> void I8(std::size_t, const T&) = delete;
    template <class T> void U16(std::size_t, const T&) = delete;
    template <class T> void I16(std::size_t, const T&) = delete;
    template <class T> void U32(std::size_t, const T&) = delete;
    template <class T> void I32(std::size_t, const T&) = delete;
    template <class T> void Double(std::size_t, const T&) = delete;
    template <class T> void Bool(std::size_t, const T&) = delete;

private:
    FieldWriter(std::span<std::uint8_t> bytes, bool* failed)
        : m_bytes(bytes), m_out(bytes), m_failed(failed)
    {
    }
    template <class T> void Checked(void (ByteWriter::*put)(std::size_t, T), std::size_t at, T v)
    {
        (m_out.*put)(at, v);
        Note();
    }
    void Note() { *m_failed = *m_failed || m_out.Failed(); }

    std::span<std::uint8_t> m_bytes;
    ByteWriter m_out;
    bool m_ownFailed = false;
    bool* m_failed = &m_ownFailed;
};

/// Visits one nested entry of size bytes at offset at: fields(block, element), the block's
/// offsets counting from the entry's first byte.
template <class IO, class Element, class Fields>
void Nested(IO& io, std::size_t at, std::size_t size, Element& element, Fields fields)
{
    IO block = io.Block(at, size);
    fields(block, element);
}

/// Visits a table of equal entries of stride bytes from offset at: fields(block, element) for
/// each element, as Nested does.
template <class IO, class Array, class Fields>
void Table(IO& io, std::size_t at, std::size_t stride, Array& elements, Fields fields)
{
    for (std::size_t i = 0; i < std::size(elements); ++i)
        Nested(io, at + stride * i, stride, elements[i], fields);
}

} // namespace pv
