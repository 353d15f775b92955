#include "res/StringIds.h"

namespace vesk {

const StringEntry kStringTable[] = {
#define VESK_STRING(name, id, text) {(id), #name, text},
#include "strings.def"
#undef VESK_STRING
};
const int kStringCount = sizeof(kStringTable) / sizeof(kStringTable[0]);

const char* LookupString(uint32_t id) {
    for (int i = 0; i < kStringCount; ++i)
        if (kStringTable[i].id == id) return kStringTable[i].text;
    return nullptr;
}

}  // namespace vesk
