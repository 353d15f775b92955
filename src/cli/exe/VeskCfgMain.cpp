// veskcfg.exe: the console program over the real driver. Output to a console is written as
// UTF-16, so that names show as the panel shows them whatever the console's code page; output
// to a file or a pipe is written as it is (the system's 8-bit text, or UTF-8 for JSON).
#include <windows.h>

#include <string>
#include <vector>

#include "cli/VeskCfg.h"
#include "settings/PanelMessage.h"

namespace {

void Write(DWORD which, const std::string& text, UINT codePage) {
    if (text.empty()) return;
    HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(handle, &mode)) {
        const int length = ::MultiByteToWideChar(codePage, 0, text.data(),
                                                 static_cast<int>(text.size()), nullptr, 0);
        if (length > 0) {
            std::wstring wide(static_cast<size_t>(length), L'\0');
            ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                  length);
            ::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written,
                            nullptr);
            return;
        }
    }
    ::WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void NotifyPanel() {
    const UINT message = ::RegisterWindowMessageA(kDriverSettingsChangedMessageName);
    if (message != 0) ::PostMessageA(HWND_BROADCAST, message, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    int exitCode = 0;
    vesk::CommandStreams streams;
    {
        CDrv drv;
        exitCode = vesk::RunVeskCfg(args, drv, NotifyPanel, streams);
    }
    Write(STD_OUTPUT_HANDLE, streams.out, streams.outIsUtf8 ? CP_UTF8 : CP_ACP);
    Write(STD_ERROR_HANDLE, streams.err, CP_ACP);
    return exitCode;
}
