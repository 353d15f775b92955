// UTF-8 and UTF-16 without the system's help: the settings file may come in either, and the
// console program must name the character a code page cannot hold.
#pragma once

#include <cstddef>
#include <string>

namespace vesk {

// The length of the longest prefix of `text` that is UTF-8 (overlong forms, surrogates and
// values past U+10FFFF are not); `text.size()` when all of it is.
size_t Utf8ValidPrefix(const std::string& text);

// UTF-16 code units as UTF-8. False, with `utf8` undefined, at a surrogate without its pair.
bool Utf16ToUtf8(const char16_t* units, size_t count, std::string* utf8);

// UTF-8 as UTF-16 code units. False at anything that is not UTF-8.
bool Utf8ToUtf16(const std::string& utf8, std::u16string* units);

// The UTF-8 character at `pos` (which must start one in valid UTF-8), for messages:
// "\xC5\x81 (U+0141)".
std::string DescribeUtf8Character(const std::string& utf8, size_t pos);

// The size of the UTF-8 character that starts with `lead`.
size_t Utf8CharacterSize(unsigned char lead);

}  // namespace vesk
