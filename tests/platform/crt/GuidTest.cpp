#include "platform/crt/Guid.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_set>

namespace {

constexpr std::uint8_t kSampleBytes[16] = {0x67, 0x45, 0x23, 0x01, 0xAB, 0x89, 0xEF, 0xCD,
                                           0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
constexpr const char* kSampleText = "{01234567-89AB-CDEF-0123-456789ABCDEF}";

TEST(Guid, MemoryFormAndTextFormUseWindowsByteOrder)
{
    const crt::Guid guid = crt::GuidFromBytes(kSampleBytes);
    EXPECT_EQ(guid.Data1, 0x01234567u);
    EXPECT_EQ(guid.Data2, 0x89ABu);
    EXPECT_EQ(guid.Data3, 0xCDEFu);
    EXPECT_EQ(guid.Data4[0], 0x01u);
    EXPECT_EQ(guid.Data4[7], 0xEFu);
    EXPECT_EQ(crt::FormatGuid(guid), kSampleText);
    EXPECT_EQ(crt::FormatGuidWide(guid), u"{01234567-89AB-CDEF-0123-456789ABCDEF}");

    const auto bytes = crt::GuidToBytes(guid);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), std::begin(kSampleBytes)));
}

TEST(Guid, ParsesBothCasesAndBothWidths)
{
    const crt::Guid expected = crt::GuidFromBytes(kSampleBytes);
    EXPECT_EQ(crt::ParseGuid(std::string_view(kSampleText)), expected);
    EXPECT_EQ(crt::ParseGuid(std::string_view("{01234567-89ab-cdef-0123-456789abcdef}")), expected);
    EXPECT_EQ(crt::ParseGuid(std::u16string_view(u"{01234567-89AB-cdef-0123-456789ABCDEF}")), expected);
}

TEST(Guid, MalformedTextGivesTheZeroGuid)
{
    const char* cases[] = {
        "",
        "01234567-89AB-CDEF-0123-456789ABCDEF",     // no braces
        "{01234567-89AB-CDEF-0123-456789ABCDE}",    // one digit short
        "{01234567-89AB-CDEF-0123-456789ABCDEF0}",  // one digit long
        "{01234567-89AB-CDEF-0123-456789ABCDEF} ",  // trailing space
        "(01234567-89AB-CDEF-0123-456789ABCDEF)",   // wrong brackets
        "{01234567+89AB-CDEF-0123-456789ABCDEF}",   // wrong separator
        "{0123456789AB-CDEF-0123-456789ABCDEF-}",   // hyphen misplaced
        "{01234567-89AB-CDEF-0123-456789ABCDEG}",   // non-hex digit
        "{01234567-89AB-CDEF-0123-4567 9ABCDEF}",   // space inside
        "{-1234567-89AB-CDEF-0123-456789ABCDEF}",   // sign
    };
    for (const char* text : cases)
        EXPECT_TRUE(crt::ParseGuid(std::string_view(text)).IsNull()) << text;

    // A UTF-16 unit whose low byte is a hex digit must not pass as one.
    EXPECT_TRUE(crt::ParseGuid(std::u16string_view(u"{01234567-89AB-CDEF-0123-456789ABCD\u0145F}")).IsNull());
}

TEST(Guid, CreatedGuidsAreVersionFourDistinctAndRoundTrip)
{
    std::unordered_set<crt::Guid> seen;
    for (int i = 0; i < 100; ++i) {
        const crt::Guid guid = crt::CreateGuid();
        EXPECT_EQ(guid.Data3 >> 12, 4);
        EXPECT_EQ(guid.Data4[0] & 0xC0, 0x80);
        EXPECT_TRUE(seen.insert(guid).second);

        const std::string text = crt::FormatGuid(guid);
        ASSERT_EQ(text.size(), crt::kGuidStringLength);
        EXPECT_EQ(crt::ParseGuid(std::string_view(text)), guid);
        EXPECT_EQ(crt::ParseGuid(std::u16string_view(crt::FormatGuidWide(guid))), guid);
    }
}

TEST(Guid, OrderingFollowsFields)
{
    crt::Guid a, b;
    b.Data4[7] = 1;
    EXPECT_LT(a, b);
    a.Data1 = 1;
    EXPECT_GT(a, b);
    EXPECT_NE(std::hash<crt::Guid>{}(a), std::hash<crt::Guid>{}(b));
}

} // namespace
