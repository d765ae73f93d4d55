#include "platform/crt/WideString.h"

#include <gtest/gtest.h>

namespace {

struct ValidCase {
    const char* name;
    std::string utf8;
    kxi_string utf16;
};

// Well-formed text converts both ways without loss, one to four bytes.
TEST(WideString, WellFormedTextRoundTrips)
{
    const ValidCase cases[] = {
        {"empty", "", u""},
        {"ascii", "Slide 1", u"Slide 1"},
        {"two bytes", "caf\xC3\xA9", u"caf\u00E9"},
        {"three bytes", "\xE2\x82\xAC 5", u"\u20AC 5"},
        {"surrogate pair", "\xF0\x9F\x98\x80!", u"\U0001F600!"},
        {"highest", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"embedded nul", std::string("a\0b", 3), kxi_string(u"a\0b", 3)},
    };
    for (const ValidCase& c : cases) {
        EXPECT_EQ(crt::FromUtf8(c.utf8), c.utf16) << c.name;
        EXPECT_EQ(crt::ToUtf8(c.utf16), c.utf8) << c.name;
    }
}

// Each malformed sequence becomes one U+FFFD; the text around it survives.
TEST(WideString, MalformedUtf8IsReplaced)
{
    const struct {
        const char* name;
        std::string utf8;
        kxi_string utf16;
    } cases[] = {
        {"stray continuation", "a\x80z", u"a\uFFFDz"},
        {"truncated at end", "a\xE2\x82", u"a\uFFFD"},
        {"truncated before ascii", "\xE2\x82z", u"\uFFFDz"},
        {"overlong slash", "\xC0\xAF", u"\uFFFD"},
        {"overlong three bytes", "\xE0\x80\x80", u"\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD"},
        {"invalid lead", "\xFF\xFEx", u"\uFFFD\uFFFDx"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(crt::FromUtf8(c.utf8), c.utf16) << c.name;
}

TEST(WideString, UnpairedSurrogatesBecomeReplacementInUtf8)
{
    const kxi_string lone_high{u'a', char16_t(0xD83D), u'b'};
    const kxi_string lone_low{char16_t(0xDE00), u'b'};
    const kxi_string reversed{char16_t(0xDE00), char16_t(0xD83D)};
    const kxi_string high_at_end{u'a', char16_t(0xD83D)};
    EXPECT_EQ(crt::ToUtf8(lone_high), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(crt::ToUtf8(lone_low), "\xEF\xBF\xBD" "b");
    EXPECT_EQ(crt::ToUtf8(reversed), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(crt::ToUtf8(high_at_end), "a\xEF\xBF\xBD");
}

TEST(WideString, LowerCasingTouchesAsciiLettersOnly)
{
    EXPECT_EQ(crt::ToLowerAscii(u"Common_RES.DLL @[Z]"), u"common_res.dll @[z]");
    EXPECT_EQ(crt::ToLowerAscii(u"\u00C9T\u00C9 \u0130 \u0391"), u"\u00C9t\u00C9 \u0130 \u0391");
}

} // namespace
