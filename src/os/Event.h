// Auto-reset events, the wait on two of them, and setting an event by the handle value that
// was handed to the driver.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace os {

class AutoResetEvent;
enum class WaitResult { First, Second, Failed };

// Waits without time limit until one of the two events is set and consumes it. When both are
// set, the first wins. Returns Failed when the wait itself fails (for instance an invalid event).
WaitResult WaitForEither(AutoResetEvent& first, AutoResetEvent& second);

class AutoResetEvent {
public:
    // Unnamed, auto-reset, initially not set. A failed creation leaves the event invalid.
    AutoResetEvent();
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    bool IsValid() const;
    void Set();
    void Reset();
    // The 32-bit value that names this event towards the driver (the handle value on Windows).
    uint32_t HandleValue() const;

    struct Impl;

private:
    friend WaitResult WaitForEither(AutoResetEvent& first, AutoResetEvent& second);
    std::unique_ptr<Impl> m_impl;
};

// Sets the event that `handleValue` names, as a driver does with the event it was handed.
// Returns false when the value names no event.
bool SetEventByHandleValue(uint32_t handleValue);

#if !defined(_WIN32)
// Native tests learn through this hook that a thread is about to wait (called by that thread
// at the start of every WaitForEither, before it looks at the events; null removes it).
void SetWaitEntryHook(std::function<void()> hook);
#endif

}  // namespace os
