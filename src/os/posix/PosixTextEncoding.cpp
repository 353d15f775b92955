// Native builds have no code page: 8-bit text is taken as Latin-1, which keeps every byte.
#include "os/TextEncoding.h"

namespace os {

std::string AnsiToUtf8(const std::string& text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            *ansi += static_cast<char>(byte);
            continue;
        }
        // Only the two-byte forms of U+0080 to U+00FF fit into Latin-1.
        if ((byte != 0xC2 && byte != 0xC3) || i + 1 >= utf8.size()) return false;
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if ((next & 0xC0) != 0x80) return false;
        *ansi += static_cast<char>(((byte & 0x03) << 6) | (next & 0x3F));
        ++i;
    }
    return true;
}

std::string AnsiCodePageName() {
    return "Latin-1";
}

}  // namespace os
