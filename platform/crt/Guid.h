#pragma once
// 128-bit identities with the Windows GUID layout: Data1..Data3 are numbers
// (stored little-endian in the 16-byte form), Data4 is eight bytes in order.
// The text form is the 38-character registry form with upper-case digits:
// {01234567-89AB-CDEF-0123-456789ABCDEF}.

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/crt/WideString.h"

namespace crt {

struct Guid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    bool IsNull() const { return *this == Guid{}; }

    friend bool operator==(const Guid&, const Guid&) = default;
    friend auto operator<=>(const Guid&, const Guid&) = default;
};

static_assert(sizeof(Guid) == 16);

inline constexpr std::size_t kGuidStringLength = 38;

// A new random GUID (version 4, RFC 4122 variant) from the system's
// cryptographic random source.
Guid CreateGuid();

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case.
std::string FormatGuid(const Guid& guid);
kxi_string FormatGuidWide(const Guid& guid);

// Parses the 38-character form (hex digits in either case). Anything else
// gives the all-zero GUID.
Guid ParseGuid(std::string_view text);
Guid ParseGuid(std::u16string_view text);

// The 16-byte memory form: Data1, Data2, Data3 little-endian, then Data4.
Guid GuidFromBytes(const std::uint8_t (&bytes)[16]);
std::array<std::uint8_t, 16> GuidToBytes(const Guid& guid);

} // namespace crt

template <>
struct std::hash<crt::Guid> {
    std::size_t operator()(const crt::Guid& guid) const noexcept;
};
