// A thread with a bounded join.
#pragma once

#include <cstdint>
#include <memory>

namespace os {

class Thread {
public:
    using Function = unsigned (*)(void* argument);

    Thread();
    // Waits for a started thread without limit before it lets go of it, so that nothing the
    // thread uses can be destroyed under it.
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    // Starts `function(argument)` at once. False when the thread cannot be created.
    bool Start(Function function, void* argument);
    // True when the thread has ended within `timeoutMs` milliseconds (or never started).
    bool Join(uint32_t timeoutMs);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

void SleepMs(uint32_t milliseconds);

#if !defined(_WIN32)
// Native tests make the next `count` thread starts fail, as a system out of resources would.
void FailNextThreadStarts(int count);
#endif

}  // namespace os
