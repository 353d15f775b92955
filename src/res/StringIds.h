// Ids of the string table, one per text of strings.def.
#pragma once

#include <cstdint>

namespace vesk {

enum StringId : uint32_t {
#define VESK_STRING(name, id, text) name = (id),
#include "strings.def"
#undef VESK_STRING
};

// The text with string-table id `id`, or null when the table has none.
const char* LookupString(uint32_t id);


struct StringEntry {
    uint32_t id;
    const char* name;
    const char* text;
};
extern const StringEntry kStringTable[];
extern const int kStringCount;

}  // namespace vesk
