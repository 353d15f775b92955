#include "tools/probe/RemoteMemory.h"

#include <cstdio>
#include <vector>

namespace probe {

namespace {

// Whether `process` runs with the probe's own pointer size. The structures placed in its memory
// hold pointers, so a probe of one architecture cannot serve a panel of the other.
bool SameArchitecture(HANDLE process) {
    BOOL targetUnder32BitEmulation = FALSE;
    BOOL selfUnder32BitEmulation = FALSE;
    if (!::IsWow64Process(process, &targetUnder32BitEmulation) ||
        !::IsWow64Process(::GetCurrentProcess(), &selfUnder32BitEmulation))
        return false;
#if defined(_WIN64)
    return !targetUnder32BitEmulation;
#else
    return targetUnder32BitEmulation == selfUnder32BitEmulation;
#endif
}

}  // namespace

RemoteMemory::RemoteMemory(HWND window, size_t size) : m_size(size) {
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId == 0) return;
    m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                  PROCESS_QUERY_LIMITED_INFORMATION,
                              FALSE, processId);
    if (m_process == nullptr) return;
    if (!SameArchitecture(m_process)) {
        std::fprintf(stderr, "vesk_probe: the window's program is of another architecture\n");
        return;
    }
    m_address =
        ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteMemory::~RemoteMemory() {
    if (m_address != nullptr) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
    if (m_process != nullptr) ::CloseHandle(m_process);
}

bool RemoteMemory::Write(size_t offset, const void* data, size_t size) {
    if (!Valid() || offset > m_size || size > m_size - offset) return false;
    SIZE_T written = 0;
    return ::WriteProcessMemory(m_process, At(offset), data, size, &written) && written == size;
}

bool RemoteMemory::Read(size_t offset, void* data, size_t size) const {
    if (!Valid() || offset > m_size || size > m_size - offset) return false;
    SIZE_T read = 0;
    return ::ReadProcessMemory(m_process, At(offset), data, size, &read) && read == size;
}

std::string RemoteMemory::ReadText(size_t offset) const {
    if (offset >= m_size) return std::string();
    std::vector<char> text(m_size - offset + 1, '\0');
    if (!Read(offset, text.data(), m_size - offset)) return std::string();
    return std::string(text.data());
}

}  // namespace probe
