#include "base/CString.h"

#include <cstdio>
#include <vector>

#include "res/StringIds.h"

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::FormatV(const char* format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length < 0) {
        m_text.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_text.assign(buffer.data(), static_cast<size_t>(length));
}

bool CString::LoadString(uint32_t id) {
    const char* text = vesk::LookupString(id);
    m_text = text ? text : "";
    return text != nullptr;
}

CString CString::Left(int count) const {
    if (count < 0) count = 0;
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString LoadStringText(uint32_t id) {
    CString text;
    text.LoadString(id);
    return text;
}
