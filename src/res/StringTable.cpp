#include <atomic>

#include "res/StringIds.h"

namespace vesk {

const StringEntry kStringTable[] = {
#define VESK_STRING(name, id, text) {(id), #name, text},
#define VESK_KEPT_STRING(name, id, text) {(id), #name, text},
#define VESK_TEMPLATE_TEXT(name, text)
#include "strings.def"
#undef VESK_TEMPLATE_TEXT
#undef VESK_KEPT_STRING
#undef VESK_STRING
};
const int kStringCount = sizeof(kStringTable) / sizeof(kStringTable[0]);

namespace {

std::atomic<const Language*> g_chosen{nullptr};

const char* Find(const StringEntry* entries, int count, uint32_t id) {
    for (int i = 0; i < count; ++i)
        if (entries[i].id == id) return entries[i].text;
    return nullptr;
}

}  // namespace

const Language* ChosenLanguage() {
    return g_chosen.load();
}

void SetCurrentLanguage(const Language& language) {
    g_chosen.store(&language);
}

const char* LookupString(uint32_t id) {
    const Language* chosen = ChosenLanguage();
    const char* text = chosen ? Find(chosen->strings, chosen->stringCount, id) : nullptr;
    return text ? text : Find(kStringTable, kStringCount, id);
}

}  // namespace vesk
