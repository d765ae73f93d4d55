#include "platform/crt/Guid.h"

#include <cstdio>
#include <cstring>
#include <random>

namespace crt {

namespace {

// The text form: braces at 0 and 37, hyphens at 9, 14, 19, 24; the 32 hex
// digits between them give the 16 bytes of Data1 (as a number), Data2,
// Data3 (as numbers) and Data4 (in order).
constexpr std::size_t kHyphens[] = {9, 14, 19, 24};

bool IsHyphenPosition(std::size_t pos)
{
    for (std::size_t hyphen : kHyphens)
        if (pos == hyphen)
            return true;
    return false;
}

int HexValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return int(c - '0');
    if (c >= 'A' && c <= 'F')
        return int(c - 'A' + 10);
    if (c >= 'a' && c <= 'f')
        return int(c - 'a' + 10);
    return -1;
}

// Reads the 32 hex digits as a big-endian run of 16 "display" bytes.
template <class Char>
bool ParseDisplayBytes(std::basic_string_view<Char> text, std::uint8_t (&display)[16])
{
    if (text.size() != kGuidStringLength || text.front() != Char('{') || text.back() != Char('}'))
        return false;
    std::size_t nibble = 0;
    for (std::size_t pos = 1; pos + 1 < text.size(); ++pos) {
        if (IsHyphenPosition(pos)) {
            if (text[pos] != Char('-'))
                return false;
            continue;
        }
        const int value = HexValue(static_cast<char32_t>(text[pos]));
        if (value < 0)
            return false;
        display[nibble / 2] = static_cast<std::uint8_t>((display[nibble / 2] << 4) | value);
        ++nibble;
    }
    return true;
}

Guid FromDisplayBytes(const std::uint8_t (&d)[16])
{
    Guid guid;
    guid.Data1 = (std::uint32_t(d[0]) << 24) | (std::uint32_t(d[1]) << 16) | (std::uint32_t(d[2]) << 8) | d[3];
    guid.Data2 = static_cast<std::uint16_t>((d[4] << 8) | d[5]);
    guid.Data3 = static_cast<std::uint16_t>((d[6] << 8) | d[7]);
    std::memcpy(guid.Data4, d + 8, 8);
    return guid;
}

template <class Char>
Guid Parse(std::basic_string_view<Char> text)
{
    std::uint8_t display[16] = {};
    if (!ParseDisplayBytes(text, display))
        return Guid{};
    return FromDisplayBytes(display);
}

} // namespace

Guid CreateGuid()
{
    // std::random_device reads the kernel's cryptographic source on Linux.
    std::random_device source;
    std::uint8_t bytes[16];
    for (std::size_t i = 0; i < 16; i += 4) {
        const std::uint32_t word = source();
        std::memcpy(bytes + i, &word, 4);
    }
    Guid guid = GuidFromBytes(bytes);
    guid.Data3 = static_cast<std::uint16_t>((guid.Data3 & 0x0FFF) | 0x4000);      // version 4
    guid.Data4[0] = static_cast<std::uint8_t>((guid.Data4[0] & 0x3F) | 0x80); // RFC 4122 variant
    return guid;
}

std::string FormatGuid(const Guid& guid)
{
    char text[kGuidStringLength + 1];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(guid.Data1),
                  unsigned(guid.Data2), unsigned(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2],
                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return std::string(text, kGuidStringLength);
}

kxi_string FormatGuidWide(const Guid& guid)
{
    const std::string narrow = FormatGuid(guid);
    return kxi_string(narrow.begin(), narrow.end()); // ASCII only
}

Guid ParseGuid(std::string_view text) { return Parse(text); }
Guid ParseGuid(std::u16string_view text) { return Parse(text); }

Guid GuidFromBytes(const std::uint8_t (&b)[16])
{
    Guid guid;
    guid.Data1 = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
                 (std::uint32_t(b[3]) << 24);
    guid.Data2 = static_cast<std::uint16_t>(b[4] | (b[5] << 8));
    guid.Data3 = static_cast<std::uint16_t>(b[6] | (b[7] << 8));
    std::memcpy(guid.Data4, b + 8, 8);
    return guid;
}

std::array<std::uint8_t, 16> GuidToBytes(const Guid& guid)
{
    std::array<std::uint8_t, 16> b{};
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<std::uint8_t>(guid.Data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        b[4 + i] = static_cast<std::uint8_t>(guid.Data2 >> (8 * i));
        b[6 + i] = static_cast<std::uint8_t>(guid.Data3 >> (8 * i));
    }
    std::memcpy(b.data() + 8, guid.Data4, 8);
    return b;
}

} // namespace crt

std::size_t std::hash<crt::Guid>::operator()(const crt::Guid& guid) const noexcept
{
    // FNV-1a over the 16 bytes: cheap and spreads random GUIDs well.
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t byte : crt::GuidToBytes(guid)) {
        h ^= byte;
        h *= 1099511628211ull;
    }
    return static_cast<std::size_t>(h);
}
