#include "settings/SettingsEncoding.h"

#include <cstdio>
#include <vector>

#include "base/Unicode.h"

namespace vesk {

namespace {

bool StartsWith(const std::string& bytes, const char* mark, size_t size) {
    return bytes.size() >= size && bytes.compare(0, size, mark, size) == 0;
}

bool FromUtf16(const std::string& bytes, bool bigEndian, std::string& utf8, std::string& error) {
    const char* name = bigEndian ? "UTF-16 BE" : "UTF-16 LE";
    if (bytes.size() % 2 != 0) {
        error = std::string(name) + " with an odd number of bytes: the file is cut short";
        return false;
    }
    std::vector<char16_t> units(bytes.size() / 2 - 1);
    for (size_t i = 0; i < units.size(); ++i) {
        const auto first = static_cast<unsigned char>(bytes[2 + 2 * i]);
        const auto second = static_cast<unsigned char>(bytes[3 + 2 * i]);
        units[i] = static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    if (Utf16ToUtf8(units.data(), units.size(), &utf8)) return true;
    error = std::string(name) + " with a broken surrogate pair";
    return false;
}

}  // namespace

bool DecodeSettingsBytes(const std::string& bytes, std::string& utf8, std::string& error) {
    // UTF-32's marks begin with UTF-16's: they are looked at first.
    if (StartsWith(bytes, "\xFF\xFE\0\0", 4) || StartsWith(bytes, "\0\0\xFE\xFF", 4)) {
        error = std::string(bytes[0] == 0 ? "UTF-32 BE" : "UTF-32 LE") +
                ", which is not read: save the file as UTF-8 or UTF-16";
        return false;
    }
    if (StartsWith(bytes, "\xFF\xFE", 2)) return FromUtf16(bytes, false, utf8, error);
    if (StartsWith(bytes, "\xFE\xFF", 2)) return FromUtf16(bytes, true, utf8, error);
    const size_t start = StartsWith(bytes, "\xEF\xBB\xBF", 3) ? 3 : 0;
    utf8.assign(bytes, start, std::string::npos);
    if (utf8.find('\0') != std::string::npos) {
        error =
            "UTF-16 or UTF-32 without a byte-order mark, which is not read: save the file "
            "as UTF-8 or as UTF-16 with a byte-order mark";
        return false;
    }
    const size_t valid = Utf8ValidPrefix(utf8);
    if (valid == utf8.size()) return true;
    char where[64];
    std::snprintf(where, sizeof where, "byte 0x%02X at offset %zu",
                  static_cast<unsigned>(static_cast<unsigned char>(utf8[valid])), valid + start);
    error = std::string("not UTF-8 (") + where +
            "): 8-bit text of a code page such as Windows-1252 or Latin-1 is not read; save "
            "the file as UTF-8";
    utf8.clear();
    return false;
}

}  // namespace vesk
