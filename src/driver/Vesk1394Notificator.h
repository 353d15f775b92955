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
    static unsigned WaiterThread(void* argument);
    void PostToTarget();

    os::WindowHandle m_targetWindow = nullptr;
    uint32_t m_targetMessage = 0;
    uintptr_t m_targetWParam = 0;
    intptr_t m_targetLParam = 0;
    std::unique_ptr<os::Thread> m_thread;
    // A thread that did not end within the stop time-out; waited for before destruction.
    std::unique_ptr<os::Thread> m_lingeringThread;
    os::AutoResetEvent m_stopEvent;
    os::AutoResetEvent m_driverEvent;
};
