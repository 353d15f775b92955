#include "os/TextEncoding.h"

#include <windows.h>

#include <string>
#include <vector>

namespace os {

namespace {

std::wstring Widen(UINT codePage, DWORD flags, const std::string& text, bool* ok) {
    *ok = true;
    if (text.empty()) return {};
    const int length = ::MultiByteToWideChar(codePage, flags, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) {
        *ok = false;
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), &wide[0],
                          length);
    return wide;
}

}  // namespace

std::string AnsiToUtf8(const std::string& text) {
    bool ok = false;
    const std::wstring wide = Widen(CP_ACP, 0, text, &ok);
    if (wide.empty()) return {};
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                              length, nullptr, nullptr);
    return utf8;
}

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    bool ok = false;
    const std::wstring wide = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, &ok);
    if (!ok) return false;
    if (wide.empty()) return true;
    BOOL usedDefault = FALSE;
    const int length =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                              static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return false;
    ansi->assign(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          &(*ansi)[0], length, nullptr, &usedDefault);
    return !usedDefault;
}

std::string AnsiCodePageName() {
    return "code page " + std::to_string(::GetACP());
}

}  // namespace os
