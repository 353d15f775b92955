// UTF-8 and the system's UTF-16 for the console program's edges (its command line, its paths,
// the console).
#pragma once

#include <windows.h>

#include <string>

namespace os {

inline std::wstring WideFromUtf8(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                              length);
    return wide;
}

}  // namespace os
