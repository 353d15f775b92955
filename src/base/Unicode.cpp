#include "base/Unicode.h"

#include <cstdio>

namespace vesk {

size_t Utf8CharacterSize(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    return 2;
}

size_t Utf8ValidPrefix(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    size_t i = 0;
    while (i < size) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        char32_t value = 0;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, value = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, value = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, value = lead & 0x07, minimum = 0x10000;
        } else {
            return i;
        }
        if (size - i < length) return i;
        for (size_t k = 1; k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return i;
            value = (value << 6) | (bytes[i + k] & 0x3F);
        }
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return i;
        i += length;
    }
    return size;
}

bool Utf16ToUtf8(const char16_t* units, size_t count, std::string* utf8) {
    utf8->clear();
    utf8->reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char32_t value = units[i];
        if (value >= 0xDC00 && value <= 0xDFFF) return false;
        if (value >= 0xD800 && value <= 0xDBFF) {
            if (i + 1 >= count || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) return false;
            value = 0x10000 + ((value - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (value < 0x80) {
            *utf8 += static_cast<char>(value);
        } else if (value < 0x800) {
            *utf8 += static_cast<char>(0xC0 | (value >> 6));
            *utf8 += static_cast<char>(0x80 | (value & 0x3F));
        } else if (value < 0x10000) {
            *utf8 += static_cast<char>(0xE0 | (value >> 12));
            *utf8 += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            *utf8 += static_cast<char>(0x80 | (value & 0x3F));
        } else {
            *utf8 += static_cast<char>(0xF0 | (value >> 18));
            *utf8 += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
            *utf8 += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
            *utf8 += static_cast<char>(0x80 | (value & 0x3F));
        }
    }
    return true;
}

bool Utf8ToUtf16(const std::string& utf8, std::u16string* units) {
    units->clear();
    if (Utf8ValidPrefix(utf8) != utf8.size()) return false;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = Utf8CharacterSize(lead);
        char32_t value = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k)
            value = (value << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (value >= 0x10000) {
            units->push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            units->push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            units->push_back(static_cast<char16_t>(value));
        }
    }
    return true;
}

std::string DescribeUtf8Character(const std::string& utf8, size_t pos) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    const size_t length = Utf8CharacterSize(lead);
    char32_t value = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (size_t k = 1; k < length && pos + k < utf8.size(); ++k)
        value = (value << 6) | (static_cast<unsigned char>(utf8[pos + k]) & 0x3F);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(value));
    // A control character is named by its code alone: shown, it would break the message.
    if (value < 0x20 || value == 0x7F) return code;
    return utf8.substr(pos, length) + " (" + code + ")";
}

}  // namespace vesk
