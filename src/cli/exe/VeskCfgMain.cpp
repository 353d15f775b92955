// veskcfg.exe: the console program over the real driver. The command line is taken as the
// user typed it (UTF-16, whatever the code page). A console is written in UTF-16, so that
// names show as the panel shows them; a file or a pipe gets UTF-8, with CR LF line ends for
// the reports meant for people and as it is for JSON. Every write is checked.
#include <windows.h>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

#include "cli/VeskCfg.h"
#include "os/win32/SystemLibrary.h"
#include "os/win32/Utf16.h"
#include "settings/PanelMessage.h"

namespace {

std::string Utf8(const wchar_t* wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string text(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], length, nullptr, nullptr);
    text.pop_back();
    return text;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

// Windows 7's console takes at most about 64 KB in one call and writes nothing at all beyond;
// pieces of 8192 characters suit every version.
bool WriteConsole(HANDLE console, const std::wstring& text) {
    constexpr size_t kPiece = 8192;
    for (size_t done = 0; done < text.size();) {
        size_t piece = std::min(kPiece, text.size() - done);
        // A surrogate pair stays in one piece.
        if (piece < text.size() - done && text[done + piece - 1] >= 0xD800 &&
            text[done + piece - 1] <= 0xDBFF)
            --piece;
        DWORD written = 0;
        if (!::WriteConsoleW(console, text.data() + done, static_cast<DWORD>(piece), &written,
                             nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return true;
}

bool WriteBytes(HANDLE file, const std::string& bytes) {
    for (size_t done = 0; done < bytes.size();) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// False when `utf8` could not be written whole.
bool Write(DWORD which, const std::string& utf8, bool isJson) {
    if (utf8.empty()) return true;
    HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode))
        return WriteConsole(handle, os::WideFromUtf8(WithCrLf(utf8)));
    return WriteBytes(handle, isJson ? utf8 : WithCrLf(utf8));
}

void NotifyPanel() {
    const UINT message = ::RegisterWindowMessageA(kDriverSettingsChangedMessageName);
    if (message != 0) ::PostMessageA(HWND_BROADCAST, message, 0, 0);
}

int Run(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
    vesk::CommandStreams streams;
    int exitCode = 0;
    {
        CDrv drv;
        exitCode = vesk::RunVeskCfg(args, drv, NotifyPanel, streams);
    }
    if (!Write(STD_OUTPUT_HANDLE, streams.out, streams.outIsJson)) {
        const DWORD error = ::GetLastError();
        streams.err +=
            "veskcfg: standard output cannot be written (error " + std::to_string(error) + ")\n";
        if (exitCode == vesk::kExitSuccess || exitCode == vesk::kExitIncomplete)
            exitCode = vesk::kExitFailed;
    }
    Write(STD_ERROR_HANDLE, streams.err, false);
    return exitCode;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Nothing may end the program without an exit code a script can read.
    os::RestrictDllSearchToSystem();
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        Write(STD_ERROR_HANDLE, std::string("veskcfg: ") + e.what() + "\n", false);
    } catch (...) {
        Write(STD_ERROR_HANDLE, "veskcfg: an unexpected failure\n", false);
    }
    return vesk::kExitFailed;
}
