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

// The driver receives the handle itself in a 32-bit field. On x64 this truncates it, which
// loses nothing: kernel handles are significant in their low 32 bits only, so that 32-bit and
// 64-bit processes can hand them to each other (SetEventByHandleValue sign-extends them back).
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
    // A 32-bit handle value widens by sign extension, as Windows itself widens them.
    const auto widened = static_cast<intptr_t>(static_cast<int32_t>(handleValue));
    return SetEvent(reinterpret_cast<HANDLE>(widened)) != 0;
}

}  // namespace os
