// Hands the driver an event and turns each of its signals into a window message.
#pragma once

#include <cstdint>
#include <memory>

#include "driver/Vesk1394Driver.h"
#include "os/Event.h"
#include "os/Thread.h"
#include "os/Window.h"

constexpr uint32_t VESK_E_NOTIFICATOR_THREAD = 0xE0000001;
constexpr uint32_t NOTIFICATOR_STOP_TIMEOUT_MS = 10000;

class CVesk1394Notificator : public CVesk1394Driver {
public:
    CVesk1394Notificator();
    ~CVesk1394Notificator() override;

    void SetTarget(os::WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    uint32_t Start(const char* deviceName);
    uint32_t Stop();
    bool IsRunning();

private:
    // One run of the waiter thread, from Start to Stop.
    struct Waiter;
    static unsigned WaiterThread(void* argument);
    void PostToTarget();

    os::WindowHandle m_targetWindow = nullptr;
    uint32_t m_targetMessage = 0;
    uintptr_t m_targetWParam = 0;
    intptr_t m_targetLParam = 0;
    // The running waiter; null when none runs.
    std::unique_ptr<Waiter> m_thread;
    // A waiter that did not end within the stop time-out. It is waited for before the events
    // it uses are destroyed, and no new waiter starts while it is still there.
    std::unique_ptr<Waiter> m_lingeringThread;
    os::AutoResetEvent m_stopEvent;
    os::AutoResetEvent m_driverEvent;
};
