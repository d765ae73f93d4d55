#include <gtest/gtest.h>

#include <map>

#include "player/LocalisedStrings.h"
#include "player/StringTable.h"

namespace {

TEST(LocalisedStrings, ProgramTablesHoldTheEnglishTexts)
{
    LocalisedStrings strings; // the program's own tables
    const struct {
        std::uint16_t id;
        const char16_t* text;
    } cases[] = {
        {6, u"\n"},
        {300, u"Settings"},
        {301, u"Animated wallpaper is running"},
        {302, u"Animated Wallpaper"},
        {308, u"Don\u2019t show this at startup"},
        {309, u"Show desktop icons"},
        {311, u"Start at login"},
        {313, u"Get more wallpapers\u2026"},
        {314, u"Open FAQ"},
        {315, u"Hide this window"},
        {316, u"High"}, {317, u"Normal"}, {318, u"Low"},
        {320, u"Picture position:"},
        {321, u"Stretch"}, {322, u"Fit"}, {323, u"Fill"},
        {326, u"Mute sound"},
        {5, u""},   // no FAQ address
        {303, u""}, // no tray tip
    };
    for (const auto& c : cases)
        EXPECT_EQ(strings.LoadLocalisedWideString(c.id), c.text) << c.id;
    EXPECT_FALSE(strings.LoadLocalisedWideString(3).empty());
}

TEST(LocalisedStrings, EveryLanguageTableParsesAndHasTheEnglishIds)
{
    LocalisedStrings english;
    for (const LANGID language : {1031, 1034, 1036}) {
        LocalisedStrings strings;
        strings.SetLanguage(language);
        for (std::uint16_t id : {6, 300, 301, 302, 308, 309, 311, 313, 314, 315, 316, 317, 318, 320, 321, 322, 323, 326})
            EXPECT_FALSE(strings.LoadLocalisedWideString(id).empty()) << language << " " << id;
        EXPECT_NE(strings.LoadLocalisedWideString(300), english.LoadLocalisedWideString(300)) << language;
        // The autostart entry is the desktop's login start-up, in every language.
        EXPECT_EQ(strings.LoadLocalisedWideString(311).find(u"Windows"), std::u16string::npos) << language;
    }
    EXPECT_EQ(LanguageToLangId(0), kLangEnglish);
    EXPECT_EQ(LanguageToLangId(99), kLangEnglish);
}

TEST(LocalisedStrings, MissingBlockFallsBackToEnglishMissingStringDoesNot)
{
    // 300..303 share block 19; 320 is in block 21.
    const std::map<LANGID, std::string> tables = {
        {1033, "300\tSettings\n301\tRunning\n320\tPicture position:\n"},
        {1031, "300\tEinstellungen\n"},
    };
    LocalisedStrings strings([&](LANGID language) -> std::optional<std::string> {
        const auto found = tables.find(language);
        if (found == tables.end())
            return std::nullopt;
        return found->second;
    });
    strings.SetLanguage(1031);
    EXPECT_EQ(strings.LoadLocalisedWideString(300), u"Einstellungen");
    EXPECT_EQ(strings.LoadLocalisedWideString(301), u"");                  // block exists in German
    EXPECT_EQ(strings.LoadLocalisedWideString(320), u"Picture position:"); // block missing: English
    strings.SetLanguage(1036);                                             // no table at all
    EXPECT_EQ(strings.LoadLocalisedWideString(301), u"Running");
}

TEST(LocalisedStrings, LongTextIsCutTo259Units)
{
    std::string table = "1\t" + std::string(300, 'a') + "\n2\t" + std::string(258, 'b') + "\xF0\x9F\x98\x80\n";
    LocalisedStrings strings([&](LANGID) -> std::optional<std::string> { return table; });
    std::array<char16_t, kLocalisedStringBuffer> out{};
    out.fill(u'#');
    strings.LoadLocalisedString(1, out);
    EXPECT_EQ(std::u16string(out.data()), std::u16string(259, u'a'));
    EXPECT_EQ(out[259], 0);
    // A character of two units at the cut is left out whole.
    EXPECT_EQ(strings.LoadLocalisedWideString(2), std::u16string(258, u'b'));
    strings.LoadLocalisedString(7, out);
    EXPECT_EQ(out[0], 0);
}

TEST(StringTable, ParsesEscapesAndRefusesBadLines)
{
    const auto table = StringTable::Parse("# comment\r\n\n6\t\\n\n7\ta\\tb\\\\c\r\n");
    ASSERT_TRUE(table);
    EXPECT_EQ(*table->Find(6), u"\n");
    EXPECT_EQ(*table->Find(7), u"a\tb\\c");
    EXPECT_EQ(table->Find(8), nullptr);

    const char* bad[] = {"300 Settings\n", "x\ttext\n", "65536\ttext\n", "-1\ttext\n", "1\tbad\\q\n", "1\tend\\",
                         "1\ta\n1\tb\n"};
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(StringTable::Parse(text, &error)) << text;
        EXPECT_NE(error.find("line"), std::string::npos) << text;
    }
}

} // namespace
