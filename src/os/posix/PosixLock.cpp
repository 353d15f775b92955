#include <mutex>

#include "os/Lock.h"

namespace os {

struct RecursiveLock::Impl {
    std::recursive_mutex mutex;
};

RecursiveLock::RecursiveLock() : m_impl(std::make_unique<Impl>()) {}
RecursiveLock::~RecursiveLock() = default;

void RecursiveLock::Enter() {
    m_impl->mutex.lock();
}
void RecursiveLock::Leave() {
    m_impl->mutex.unlock();
}

}  // namespace os
