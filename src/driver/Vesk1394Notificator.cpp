#include "driver/Vesk1394Notificator.h"

namespace {
// How long the waiter pauses before it waits again after the wait itself failed.
constexpr uint32_t kFailedWaitRetryMs = 20;
}  // namespace

struct CVesk1394Notificator::Waiter {
    explicit Waiter(CVesk1394Notificator* notificator) : owner(notificator) {}

    CVesk1394Notificator* const owner;
    // Set under the owner's lock when Stop takes the waiter out: from then on it posts
    // nothing, so no message can follow the return of Stop, even one that gave up waiting.
    bool retired = false;
    // Last, so that it is joined before the fields above go away.
    os::Thread thread;
};

CVesk1394Notificator::CVesk1394Notificator() = default;

CVesk1394Notificator::~CVesk1394Notificator() {
    // The waiter uses this object; it must have ended before anything here is freed, even
    // when the owner forgot to stop it.
    if (IsRunning()) Stop();
    if (m_lingeringThread) {
        m_stopEvent.Set();
        m_lingeringThread.reset();
    }
}

void CVesk1394Notificator::SetTarget(os::WindowHandle window, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam) {
    os::LockGuard guard(m_lock);
    m_targetWindow = window;
    m_targetMessage = message;
    m_targetWParam = wParam;
    m_targetLParam = lParam;
}

bool CVesk1394Notificator::IsRunning() {
    os::LockGuard guard(m_lock);
    return m_thread != nullptr;
}

uint32_t CVesk1394Notificator::Start(const char* deviceName) {
    os::LockGuard guard(m_lock);
    if (m_thread) return 0;
    // A waiter left over from a stop that timed out still shares the two events.
    if (m_lingeringThread) {
        if (!m_lingeringThread->thread.Join(0)) return VESK_E_NOTIFICATOR_THREAD;
        m_lingeringThread.reset();
    }
    // Without both events the waiter could neither be woken nor stopped.
    if (!m_stopEvent.IsValid() || !m_driverEvent.IsValid()) return VESK_E_NOTIFICATOR_THREAD;

    m_stopEvent.Reset();
    m_driverEvent.Reset();

    uint32_t status = Open(deviceName);
    if (status != 0) return status;

    status = SetNotificationEvent(m_driverEvent.HandleValue());
    if (status != 0) {
        Close();
        return status;
    }

    auto waiter = std::make_unique<Waiter>(this);
    if (!waiter->thread.Start(&WaiterThread, waiter.get())) {
        Close();
        return VESK_E_NOTIFICATOR_THREAD;
    }
    m_thread = std::move(waiter);
    return 0;
}

uint32_t CVesk1394Notificator::Stop() {
    std::unique_ptr<Waiter> waiter;
    {
        os::LockGuard guard(m_lock);
        waiter = std::move(m_thread);
        if (waiter) waiter->retired = true;
    }

    uint32_t status = 0;
    if (waiter) {
        m_stopEvent.Set();
        // Without the lock: a post in progress needs it to finish.
        if (!waiter->thread.Join(NOTIFICATOR_STOP_TIMEOUT_MS)) {
            status = VESK_E_NOTIFICATOR_THREAD;
            os::LockGuard guard(m_lock);
            m_lingeringThread = std::move(waiter);
        }
    }
    Close();
    return status;
}

unsigned CVesk1394Notificator::WaiterThread(void* argument) {
    Waiter& waiter = *static_cast<Waiter*>(argument);
    CVesk1394Notificator& notificator = *waiter.owner;
    for (;;) {
        const os::WaitResult result =
            os::WaitForEither(notificator.m_stopEvent, notificator.m_driverEvent);
        if (result == os::WaitResult::First) return 0;
        {
            os::LockGuard guard(notificator.m_lock);
            if (waiter.retired) return 0;
            if (result == os::WaitResult::Second) notificator.PostToTarget();
        }
        if (result == os::WaitResult::Failed) os::SleepMs(kFailedWaitRetryMs);
    }
}

void CVesk1394Notificator::PostToTarget() {
    // The view reads the records itself; a post that fails is made good by the next signal.
    if (m_targetWindow)
        os::PostWindowMessage(m_targetWindow, m_targetMessage, m_targetWParam, m_targetLParam);
}
