#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "os/Thread.h"

namespace os {

namespace {
std::atomic<int> g_failingStarts{0};
}

struct Thread::Impl {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;
    // One object runs one thread, as on Windows where the handle stays until destruction.
    bool started = false;
};

Thread::Thread() : m_impl(std::make_unique<Impl>()) {}

Thread::~Thread() {
    if (m_impl->thread.joinable()) m_impl->thread.join();
}

bool Thread::Start(Function function, void* argument) {
    if (m_impl->started || function == nullptr) return false;
    int failing = g_failingStarts.load();
    while (failing > 0) {
        if (g_failingStarts.compare_exchange_weak(failing, failing - 1)) return false;
    }
    Impl* impl = m_impl.get();
    impl->finished = false;
    try {
        impl->thread = std::thread([impl, function, argument] {
            function(argument);
            std::lock_guard<std::mutex> guard(impl->mutex);
            impl->finished = true;
            impl->finishedChanged.notify_all();
        });
    } catch (const std::system_error&) {
        return false;
    }
    impl->started = true;
    return true;
}

bool Thread::Join(uint32_t timeoutMs) {
    if (!m_impl->thread.joinable()) return true;
    {
        std::unique_lock<std::mutex> lock(m_impl->mutex);
        if (!m_impl->finishedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                              [this] { return m_impl->finished; }))
            return false;
    }
    // The function has returned; what is left of the thread ends at once.
    m_impl->thread.join();
    return true;
}

void SleepMs(uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void FailNextThreadStarts(int count) {
    g_failingStarts.store(count < 0 ? 0 : count);
}

}  // namespace os
