#include <process.h>
#include <windows.h>

#include "os/Thread.h"

namespace os {

struct Thread::Impl {
    HANDLE handle = nullptr;
    Function function = nullptr;
    void* argument = nullptr;

    // _beginthreadex wants the system's calling convention; the Impl outlives the thread
    // because the destructor waits for it.
    static unsigned __stdcall Entry(void* self) {
        Impl* impl = static_cast<Impl*>(self);
        return impl->function(impl->argument);
    }
};

Thread::Thread() : m_impl(std::make_unique<Impl>()) {}

Thread::~Thread() {
    if (m_impl->handle) {
        WaitForSingleObject(m_impl->handle, INFINITE);
        CloseHandle(m_impl->handle);
    }
}

bool Thread::Start(Function function, void* argument) {
    if (m_impl->handle || function == nullptr) return false;
    m_impl->function = function;
    m_impl->argument = argument;
    uintptr_t handle = _beginthreadex(nullptr, 0, &Impl::Entry, m_impl.get(), 0, nullptr);
    m_impl->handle = reinterpret_cast<HANDLE>(handle);
    return m_impl->handle != nullptr;
}

bool Thread::Join(uint32_t timeoutMs) {
    if (!m_impl->handle) return true;
    return WaitForSingleObject(m_impl->handle, timeoutMs) == WAIT_OBJECT_0;
}

void SleepMs(uint32_t milliseconds) {
    Sleep(milliseconds);
}

}  // namespace os
