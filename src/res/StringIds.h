// Ids of the string table, one per text of strings.def, and the languages of its texts.
#pragma once

#include <cstdint>
#include <vector>

namespace vesk {

enum StringId : uint32_t {
#define VESK_STRING(name, id, text) name = (id),
#define VESK_KEPT_STRING(name, id, text) name = (id),
#define VESK_TEMPLATE_TEXT(name, text)
#include "strings.def"
#undef VESK_TEMPLATE_TEXT
#undef VESK_KEPT_STRING
#undef VESK_STRING
};

// The text with string-table id `id` in the current language (English where that language
// has none), or null when the table has none.
const char* LookupString(uint32_t id);

struct StringEntry {
    uint32_t id;
    const char* name;
    const char* text;
};
// The English texts, as strings.def has them.
extern const StringEntry kStringTable[];
extern const int kStringCount;

// A language of the user interface: the LANGID its resources are tagged with and the code
// page of its 8-bit texts.
struct Language {
    const char* tag;
    uint16_t langId;
    uint32_t codePage;
    const StringEntry* strings;
    int stringCount;
};
// Every language the program ships, English first.
extern const Language kLanguages[];
extern const int kLanguageCount;

// Whether `language` is the one a user asks for with the UI language `langId`: the same
// primary language, and for Chinese the simplified script.
bool Speaks(const Language& language, uint16_t langId);

// The language to show: the first of the user's UI languages, in their order of preference,
// that the program has and that the system's ANSI code page can show (the 8-bit texts are in
// the language's own code page); English when there is none.
const Language& ChooseLanguage(const std::vector<uint16_t>& preferredLangIds,
                               uint32_t ansiCodePage);

// The language LookupString answers in; English until it is set.
const Language& CurrentLanguage();
void SetCurrentLanguage(const Language& language);
// The language set, or null while none is (LookupString then answers in English).
const Language* ChosenLanguage();

// Test builds: a language preferred above the user's (the pseudo-language), shown where the
// code page can; null takes it away.
void SetTestLanguage(const Language* language);

}  // namespace vesk
