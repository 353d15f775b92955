// 8-bit text value with the operations the panel uses: formatting, string-table loading,
// concatenation and cutting.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like the framework's
    CString(const char* text, int length) : m_text(text ? std::string(text, length) : "") {}
    CString(const std::string& text) : m_text(text) {}  // NOLINT

    // printf-style formatting into this string; never truncates.
    void Format(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FormatV(const char* format, va_list args);

    // Loads string-table entry `id`; returns false (and leaves the text empty) if there is none.
    bool LoadString(uint32_t id);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    CString Left(int count) const;

    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }  // NOLINT
    const std::string& str() const { return m_text; }

    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        m_text += text ? text : "";
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }

private:
    std::string m_text;
};

// A string-table entry as a value; empty when the table has none.
CString LoadStringText(uint32_t id);
