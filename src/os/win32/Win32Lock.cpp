#include <windows.h>

#include "os/Lock.h"

namespace os {

// A critical section may be entered again by the thread that holds it.
struct RecursiveLock::Impl {
    CRITICAL_SECTION section;
};

RecursiveLock::RecursiveLock() : m_impl(std::make_unique<Impl>()) {
    InitializeCriticalSection(&m_impl->section);
}

RecursiveLock::~RecursiveLock() {
    DeleteCriticalSection(&m_impl->section);
}

void RecursiveLock::Enter() {
    EnterCriticalSection(&m_impl->section);
}
void RecursiveLock::Leave() {
    LeaveCriticalSection(&m_impl->section);
}

}  // namespace os
