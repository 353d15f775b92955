// Every event shares one mutex and one condition variable: a thread waiting on two events
// then needs nothing more than a predicate over both, and the registry that maps handle
// values to events is guarded by the same mutex, so a value can never name a destroyed event.
#include <condition_variable>
#include <map>
#include <mutex>

#include "os/Event.h"

namespace os {

struct AutoResetEvent::Impl {
    bool set = false;
    uint32_t handleValue = 0;
};

namespace {

struct EventRegistry {
    std::mutex mutex;
    std::condition_variable changed;
    std::map<uint32_t, AutoResetEvent::Impl*> events;
    uint32_t lastValue = 0;
    std::function<void()> waitEntryHook;
};

EventRegistry& Registry() {
    // Never destroyed: events in other static objects may outlive any ordinary static.
    static EventRegistry* registry = new EventRegistry;
    return *registry;
}

// A small value that no live event uses; never 0, which means "no event" to the driver.
uint32_t NextFreeValue(EventRegistry& registry) {
    do {
        ++registry.lastValue;
    } while (registry.lastValue == 0 || registry.events.count(registry.lastValue) != 0);
    return registry.lastValue;
}

}  // namespace

AutoResetEvent::AutoResetEvent() : m_impl(std::make_unique<Impl>()) {
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    m_impl->handleValue = NextFreeValue(registry);
    registry.events[m_impl->handleValue] = m_impl.get();
}

AutoResetEvent::~AutoResetEvent() {
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.events.erase(m_impl->handleValue);
}

bool AutoResetEvent::IsValid() const {
    return m_impl != nullptr;
}

void AutoResetEvent::Set() {
    EventRegistry& registry = Registry();
    {
        std::lock_guard<std::mutex> guard(registry.mutex);
        m_impl->set = true;
    }
    registry.changed.notify_all();
}

void AutoResetEvent::Reset() {
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    m_impl->set = false;
}

uint32_t AutoResetEvent::HandleValue() const {
    return m_impl->handleValue;
}

WaitResult WaitForEither(AutoResetEvent& first, AutoResetEvent& second) {
    if (!first.m_impl || !second.m_impl) return WaitResult::Failed;
    EventRegistry& registry = Registry();
    std::unique_lock<std::mutex> lock(registry.mutex);
    if (registry.waitEntryHook) {
        std::function<void()> hook = registry.waitEntryHook;
        lock.unlock();
        hook();
        lock.lock();
    }
    AutoResetEvent::Impl& a = *first.m_impl;
    AutoResetEvent::Impl& b = *second.m_impl;
    registry.changed.wait(lock, [&] { return a.set || b.set; });
    if (a.set) {
        a.set = false;
        return WaitResult::First;
    }
    b.set = false;
    return WaitResult::Second;
}

bool SetEventByHandleValue(uint32_t handleValue) {
    EventRegistry& registry = Registry();
    {
        std::lock_guard<std::mutex> guard(registry.mutex);
        auto found = registry.events.find(handleValue);
        if (found == registry.events.end()) return false;
        found->second->set = true;
    }
    registry.changed.notify_all();
    return true;
}

void SetWaitEntryHook(std::function<void()> hook) {
    EventRegistry& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.mutex);
    registry.waitEntryHook = std::move(hook);
}

}  // namespace os
