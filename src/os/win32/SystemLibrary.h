// Windows' own DLLs from the system folder alone. A program run from a Downloads folder must
// never load a DLL that lies beside it in place of the system's: the loader searches the
// program's folder first for every DLL that is not a KnownDLL (oleacc.dll is not).
#pragma once

#include <windows.h>

namespace os {

// The search of the whole process for DLLs loaded later: the system folder only, and never
// the current folder. SetDefaultDllDirectories is looked up, since Windows 7 has it only with
// KB2533623; SetDllDirectory("") at least takes the current folder out of the search.
inline void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel32 = ::GetModuleHandleA("kernel32.dll")) {
        const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
        if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    ::SetDllDirectoryA("");
}

// One of Windows' DLLs (`name` without a folder) from the system folder: with the search flag
// where the system knows it, else by its full path.
inline HMODULE LoadSystemLibrary(const char* name) {
    if (HMODULE module = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + ::lstrlenA(name) >= MAX_PATH) return nullptr;
    ::lstrcatA(path, "\\");
    ::lstrcatA(path, name);
    return ::LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace os
