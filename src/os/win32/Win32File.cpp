#include "os/File.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "os/win32/Utf16.h"

namespace os {

namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : m_handle(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { Close(); }
    bool Valid() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != nullptr; }
    HANDLE Get() const { return m_handle; }
    bool Close() {
        const bool closed = !Valid() || ::CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE m_handle;
};

std::string TooLargeText(size_t limit) {
    return "larger than " + std::to_string(limit / (1024 * 1024)) + " MiB";
}

ReadResult Failed(std::string* error) {
    *error = SystemErrorText(::GetLastError());
    return ReadResult::Failed;
}

}  // namespace

ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string* bytes,
                         std::string* error) {
    bytes->clear();
    const bool standardInput = path == "-";
    Handle owned(standardInput
                     ? INVALID_HANDLE_VALUE
                     : ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const HANDLE file = standardInput ? ::GetStdHandle(STD_INPUT_HANDLE) : owned.Get();
    if (file == INVALID_HANDLE_VALUE || file == nullptr) return Failed(error);
    LARGE_INTEGER size{};
    if (!standardInput && ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size) &&
        static_cast<unsigned long long>(size.QuadPart) > limit) {
        *error = TooLargeText(limit);
        return ReadResult::TooLarge;
    }
    char chunk[65536];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            // The writing end of a pipe closed: that is its end, not a failure.
            if (::GetLastError() == ERROR_BROKEN_PIPE) break;
            bytes->clear();
            return Failed(error);
        }
        if (got == 0) break;
        if (bytes->size() + got > limit) {
            bytes->clear();
            *error = TooLargeText(limit);
            return ReadResult::TooLarge;
        }
        bytes->append(chunk, got);
    }
    return ReadResult::Read;
}

bool ReplaceFileWith(const std::string& path, const std::string& bytes, std::string* error) {
    const std::wstring target = WideFromUtf8(path);
    const std::wstring temporary =
        target + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
    Handle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        *error = SystemErrorText(::GetLastError());
        return false;
    }
    DWORD failure = 0;
    size_t done = 0;
    while (done < bytes.size() && failure == 0) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD wrote = 0;
        if (!::WriteFile(file.Get(), bytes.data() + done, piece, &wrote, nullptr) || wrote == 0)
            failure = ::GetLastError() ? ::GetLastError() : ERROR_WRITE_FAULT;
        done += wrote;
    }
    if (failure == 0 && !::FlushFileBuffers(file.Get())) failure = ::GetLastError();
    if (!file.Close() && failure == 0) failure = ::GetLastError();
    if (failure == 0 && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = ::GetLastError();
    if (failure == 0) return true;
    ::DeleteFileW(temporary.c_str());
    *error = SystemErrorText(failure);
    return false;
}

std::string SystemErrorText(uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring wide(text != nullptr ? text : L"", length);
    if (text != nullptr) ::LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L' '))
        wide.pop_back();
    std::string utf8;
    if (!wide.empty()) {
        const int size = ::WideCharToMultiByte(
            CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        utf8.assign(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size > 0)
            ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0],
                                  size, nullptr, nullptr);
    }
    char code_text[32];
    ::wsprintfA(code_text, "error %lu", static_cast<unsigned long>(code));
    return utf8.empty() ? std::string(code_text) : utf8 + " (" + code_text + ")";
}

}  // namespace os
