#include "platform/crt/WideString.h"

#include <cstdint>

namespace crt {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendUtf8(std::string& out, char32_t cp)
{
    auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (cp < 0x80) {
        put(cp);
    } else if (cp < 0x800) {
        put(0xC0 | (cp >> 6));
        put(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        put(0xE0 | (cp >> 12));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    } else {
        put(0xF0 | (cp >> 18));
        put(0x80 | ((cp >> 12) & 0x3F));
        put(0x80 | ((cp >> 6) & 0x3F));
        put(0x80 | (cp & 0x3F));
    }
}

void AppendUtf16(kxi_string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

// Shape of a UTF-8 sequence by its lead byte: how many continuation bytes
// follow and the smallest code point it may encode (anything below is overlong).
struct LeadByte {
    unsigned char mask, pattern;
    int continuations;
    char32_t minimum;
};

constexpr LeadByte kLeadBytes[] = {
    {0x80, 0x00, 0, 0x0},
    {0xE0, 0xC0, 1, 0x80},
    {0xF0, 0xE0, 2, 0x800},
    {0xF8, 0xF0, 3, 0x10000},
};

// Decodes one code point at text[pos], advancing pos. A malformed sequence
// yields U+FFFD and advances past its lead byte and any continuation bytes
// that belonged to it, so one bad sequence gives one replacement.
char32_t DecodeUtf8(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    for (const LeadByte& shape : kLeadBytes) {
        if ((lead & shape.mask) != shape.pattern)
            continue;
        char32_t cp = lead & static_cast<unsigned char>(~shape.mask);
        for (int i = 0; i < shape.continuations; ++i) {
            if (pos >= text.size() || !IsContinuation(static_cast<unsigned char>(text[pos])))
                return kReplacement;
            cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
        }
        const bool valid = cp >= shape.minimum && cp <= 0x10FFFF && !IsHighSurrogate(cp) && !IsLowSurrogate(cp);
        return valid ? cp : kReplacement;
    }
    return kReplacement; // a stray continuation byte or an invalid lead (F8..FF)
}

} // namespace

std::string ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
            continue;
        }
        AppendUtf8(out, (IsHighSurrogate(unit) || IsLowSurrogate(unit)) ? kReplacement : unit);
    }
    return out;
}

kxi_string FromUtf8(std::string_view text)
{
    kxi_string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();)
        AppendUtf16(out, DecodeUtf8(text, pos));
    return out;
}

kxi_string ToLowerAscii(std::u16string_view text)
{
    kxi_string out(text);
    for (char16_t& unit : out)
        if (unit >= u'A' && unit <= u'Z')
            unit = static_cast<char16_t>(unit - u'A' + u'a');
    return out;
}

} // namespace crt
