// The languages: every translation holds every text with English's formats, the choice among
// them follows the user's languages and the system's code page, and numbers are written the
// language's way.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/Shrink.h"
#include "model/BufferDepth.h"
#include "model/SyncText.h"
#include "res/PseudoLanguage.h"
#include "res/StringIds.h"

namespace {

using vesk::Language;

// The conversions of a printf format, in order ("%d", "%01d", "%s", ...).
std::vector<std::string> Conversions(const char* format) {
    std::vector<std::string> found;
    for (const char* p = std::strchr(format, '%'); p != nullptr; p = std::strchr(p, '%')) {
        const size_t length = std::strcspn(p + 1, "diouxXeEfgGcspn%") + 2;
        if (p[length - 1] != '%') found.emplace_back(p, length);
        p += length;
    }
    return found;
}

std::vector<const Language*> AllLanguages() {
    std::vector<const Language*> all;
    for (int i = 0; i < vesk::kLanguageCount; ++i) all.push_back(&vesk::kLanguages[i]);
    all.push_back(&vesk::PseudoLanguage());
    return all;
}

const char* TextIn(const Language& language, uint32_t id) {
    for (int i = 0; i < language.stringCount; ++i)
        if (language.strings[i].id == id) return language.strings[i].text;
    return nullptr;
}

// Shows `language` while in scope.
class Showing {
  public:
    explicit Showing(const Language& language) { vesk::SetCurrentLanguage(language); }
    ~Showing() { vesk::SetCurrentLanguage(vesk::kLanguages[0]); }
};

const Language& Tagged(const char* tag) {
    for (const Language* language : AllLanguages())
        if (std::strcmp(language->tag, tag) == 0) return *language;
    ADD_FAILURE() << tag;
    return vesk::kLanguages[0];
}

TEST(Languages, EveryTranslationHoldsEveryTextWithEnglishsFormats) {
    const Language& english = vesk::kLanguages[0];
    EXPECT_STREQ(english.tag, "en-US");
    std::set<uint16_t> langIds;
    for (const Language* language : AllLanguages()) {
        SCOPED_TRACE(language->tag);
        EXPECT_TRUE(langIds.insert(language->langId).second);
        ASSERT_EQ(language->stringCount, english.stringCount);
        for (int i = 0; i < english.stringCount; ++i) {
            const vesk::StringEntry& entry = english.strings[i];
            const char* text = TextIn(*language, entry.id);
            ASSERT_NE(text, nullptr) << entry.name;
            EXPECT_EQ(Conversions(text), Conversions(entry.text)) << entry.name;
        }
        // The product's name finds the first instance: the same in every language.
        EXPECT_STREQ(TextIn(*language, vesk::IDS_WINDOW_TITLE),
                     TextIn(english, vesk::IDS_WINDOW_TITLE));
    }
    // A translation is a translation: a page name differs from English.
    EXPECT_STRNE(TextIn(Tagged("de-DE"), vesk::IDS_PAGE_DEVICES), "Devices");
    EXPECT_STREQ(TextIn(vesk::PseudoLanguage(), vesk::IDS_PAGE_DEVICES),
                 "[\xD0\xE9v\xEE\xE7\xE9\x9A !]");
}

TEST(Languages, TheUsersFirstLanguageTheCodePageCanShowIsChosen) {
    struct Case {
        std::vector<uint16_t> preferred;
        uint32_t codePage;
        const char* expected;
    };
    const Case cases[] = {
        {{0x0407}, 1252, "de-DE"},
        {{0x0C07}, 1252, "de-DE"},          // German (Austria): the German texts
        {{0x080C, 0x0409}, 1252, "fr-FR"},  // French (Belgium)
        {{0x0411}, 932, "ja-JP"},
        {{0x0411}, 1252, "en-US"},          // Japanese on a Western system: never question marks
        {{0x0411, 0x0410}, 1252, "it-IT"},  // then the next language the system can show
        {{0x0407}, 932, "en-US"},           // German texts need code page 1252
        {{0x0804}, 936, "zh-CN"},
        {{0x1004}, 936, "zh-CN"},           // Singapore writes the simplified script
        {{0x0404}, 950, "en-US"},           // Taiwan writes the traditional one
        {{0x0C04}, 936, "en-US"},           // Hong Kong too
        {{0x0409, 0x0407}, 1252, "en-US"},  // the first the program has decides
        {{0x0419}, 1251, "en-US"},          // Russian: not among the languages
        {{}, 1252, "en-US"},
    };
    for (const Case& c : cases) {
        std::string list;
        for (uint16_t langId : c.preferred) list += std::to_string(langId) + " ";
        EXPECT_STREQ(vesk::ChooseLanguage(c.preferred, c.codePage).tag, c.expected)
            << list << "on code page " << c.codePage;
    }
    // The test build's pseudo-language comes first, where the code page can show it.
    vesk::SetTestLanguage(&vesk::PseudoLanguage());
    EXPECT_STREQ(vesk::ChooseLanguage({0x0407}, 1252).tag, "qps-ploc");
    EXPECT_STREQ(vesk::ChooseLanguage({0x0411}, 932).tag, "ja-JP");
    vesk::SetTestLanguage(nullptr);
}

TEST(Languages, NumbersAreWrittenTheLanguagesWay) {
    {
        Showing german(Tagged("de-DE"));
        EXPECT_EQ(vesk::SampleRateText(48000), "48,0 kHz");
        EXPECT_EQ(vesk::AudioDepthText(5200), "5,2 ms");
    }
    {
        Showing french(Tagged("fr-FR"));
        EXPECT_EQ(vesk::SampleRateText(44100), "44,1 kHz");
    }
    EXPECT_EQ(vesk::SampleRateText(48000), "48.0 kHz");
    EXPECT_EQ(vesk::AudioDepthText(5200), "5.2 ms");
}

}  // namespace

namespace {

// Panes and columns that do not fit give up room in proportion, never below their least
// widths, and the whole excess when there is room for it.
TEST(ShrinkInProportion, TakesTheExcessFromTheRoomAboveTheLeastWidths) {
    std::vector<int> widths = {200, 150, 100};
    EXPECT_EQ(vesk::ShrinkInProportion(widths, {100, 150, 40}, 41), 41);
    EXPECT_EQ(widths, (std::vector<int>{174, 150,
                                        85}));  // 25 + 15 of 41 by 100:60, the 1 left to the first
    EXPECT_EQ(vesk::ShrinkInProportion(widths, {100, 150, 40}, 1000), 119);
    EXPECT_EQ(widths, (std::vector<int>{100, 150, 40}));
    EXPECT_EQ(vesk::ShrinkInProportion(widths, {100, 150, 40}, -5), 0);
}

}  // namespace
