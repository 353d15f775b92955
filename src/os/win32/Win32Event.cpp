#include <windows.h>

#include "os/Event.h"

namespace os {

struct AutoResetEvent::Impl {
    HANDLE handle = nullptr;
};

AutoResetEvent::AutoResetEvent() : m_impl(std::make_unique<Impl>()) {
    m_impl->handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

AutoResetEvent::~AutoResetEvent() {
    if (m_impl->handle) CloseHandle(m_impl->handle);
}

bool AutoResetEvent::IsValid() const {
    return m_impl->handle != nullptr;
}

void AutoResetEvent::Set() {
    if (m_impl->handle) SetEvent(m_impl->handle);
}

void AutoResetEvent::Reset() {
    if (m_impl->handle) ResetEvent(m_impl->handle);
}

// The driver receives the handle itself; handles of a 32-bit process fit 32 bits.
uint32_t AutoResetEvent::HandleValue() const {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(m_impl->handle));
}

WaitResult WaitForEither(AutoResetEvent& first, AutoResetEvent& second) {
    // The system reports the lowest signalled index and consumes only that one, which gives
    // the first event precedence.
    HANDLE handles[2] = {first.m_impl->handle, second.m_impl->handle};
    DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (result == WAIT_OBJECT_0) return WaitResult::First;
    if (result == WAIT_OBJECT_0 + 1) return WaitResult::Second;
    return WaitResult::Failed;
}

bool SetEventByHandleValue(uint32_t handleValue) {
    if (handleValue == 0) return false;
    return SetEvent(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handleValue))) != 0;
}

}  // namespace os
