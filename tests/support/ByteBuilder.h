// Builds expected record images at literal offsets, independently of the codecs under test.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace pv::test {

class ByteBuilder
{
public:
    explicit ByteBuilder(std::size_t size, std::uint8_t fill = 0) : m_bytes(size, fill) {}

    ByteBuilder& U8(std::size_t at, std::uint8_t v) { return Put(at, v, 1); }
    ByteBuilder& U16(std::size_t at, std::uint16_t v) { return Put(at, v, 2); }
    ByteBuilder& U32(std::size_t at, std::uint32_t v) { return Put(at, v, 4); }
    ByteBuilder& I32(std::size_t at, std::int32_t v)
    {
        return Put(at, static_cast<std::uint32_t>(v), 4);
    }
    ByteBuilder& F64(std::size_t at, double v)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        return Put(at, bits, 8);
    }
    /// A length-prefixed string: the length byte, then the (already 1252-encoded) bytes.
    ByteBuilder& Str(std::size_t at, const std::string& text)
    {
        m_bytes.at(at) = static_cast<std::uint8_t>(text.size());
        for (std::size_t i = 0; i < text.size(); ++i)
            m_bytes.at(at + 1 + i) = static_cast<std::uint8_t>(text[i]);
        return *this;
    }
    ByteBuilder& Fill(std::size_t at, std::size_t count, std::uint8_t v)
    {
        for (std::size_t i = 0; i < count; ++i)
            m_bytes.at(at + i) = v;
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    ByteBuilder& Put(std::size_t at, std::uint64_t v, std::size_t n)
    {
        for (std::size_t i = 0; i < n; ++i)
            m_bytes.at(at + i) = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
        return *this;
    }
    std::vector<std::uint8_t> m_bytes;
};

} // namespace pv::test
