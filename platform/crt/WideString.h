#pragma once
// The wide (UTF-16) string of stored names and texts, and its conversions.

#include <string>
#include <string_view>

// The wide string type of parameters and stored names: UTF-16 code units.
using kxi_string = std::u16string;

namespace crt {

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// UTF-8 to UTF-16. Every malformed sequence (bad lead or continuation byte,
// truncated, overlong, surrogate code point, above U+10FFFF) becomes one U+FFFD.
kxi_string FromUtf8(std::string_view text);

// Lower-cases A-Z only; every other code unit is kept as it is.
kxi_string ToLowerAscii(std::u16string_view text);

} // namespace crt
