// The languages and the choice among them. A program that never chooses (veskcfg, which
// speaks English to scripts) links none of the translations.
#include <atomic>

#include "res/StringIds.h"

namespace vesk {

// The other languages' tables and the list of languages, generated from their translations.
#include "StringTables.inc"
const int kLanguageCount = sizeof(kLanguages) / sizeof(kLanguages[0]);

namespace {

constexpr uint16_t kPrimaryMask = 0x3FF;
constexpr uint16_t kChinese = 0x04;

std::atomic<const Language*> g_testLanguage{nullptr};

bool IsSimplifiedChinese(uint16_t langId) {
    // zh-Hans (neutral), zh-CN and zh-SG write the simplified script; zh-TW, zh-HK and zh-MO
    // the traditional one, which these texts are not.
    const uint16_t sub = langId >> 10;
    return sub == 0x00 || sub == 0x02 || sub == 0x04;
}

}  // namespace

bool Speaks(const Language& language, uint16_t langId) {
    if ((language.langId & kPrimaryMask) != (langId & kPrimaryMask)) return false;
    return (langId & kPrimaryMask) != kChinese || IsSimplifiedChinese(langId);
}

const Language& ChooseLanguage(const std::vector<uint16_t>& preferredLangIds,
                               uint32_t ansiCodePage) {
    const Language* test = g_testLanguage.load();
    if (test && test->codePage == ansiCodePage) return *test;
    for (uint16_t langId : preferredLangIds) {
        for (int i = 0; i < kLanguageCount; ++i) {
            // English is what every system shows, whatever its code page.
            if (Speaks(kLanguages[i], langId) && (i == 0 || kLanguages[i].codePage == ansiCodePage))
                return kLanguages[i];
        }
    }
    return kLanguages[0];
}

const Language& CurrentLanguage() {
    const Language* chosen = ChosenLanguage();
    return chosen ? *chosen : kLanguages[0];
}

void SetTestLanguage(const Language* language) {
    g_testLanguage.store(language);
}

}  // namespace vesk
