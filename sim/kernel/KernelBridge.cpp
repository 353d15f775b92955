// The portable simulator behind the kernel driver: the same state, rules, scenarios and trace
// as the in-process one. The system seam the simulator calls (setting a client's event,
// device-interface notices) is implemented here over the driver's kernel side.
#include "KernelBridge.h"

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "KernelControl.h"
#include "base/Unicode.h"
#include "driver/IoctlCodes.h"
#include "os/Event.h"
#include "os/TextEncoding.h"
#include "os/Window.h"
#include "sim/SimState.h"

namespace {

std::unique_ptr<sim::Simulator> simulator;

// The system delivers device-interface notices to every registered window itself; the
// simulator sees one registration that stands for all of them.
os::WindowHandle const kSystemNotices = reinterpret_cast<os::WindowHandle>(1);

void WriteReply(void* reply, uint32_t replySize, bool accepted, const std::string& why) {
    if (replySize < sizeof(uint32_t) + 1) return;
    const uint32_t flag = accepted ? 1 : 0;
    std::memcpy(reply, &flag, sizeof flag);
    char* text = static_cast<char*>(reply) + sizeof flag;
    const size_t kept = std::min<size_t>(why.size(), replySize - sizeof flag - 1);
    std::memcpy(text, why.data(), kept);
    text[kept] = 0;
}

constexpr uint32_t kOutOfMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY

}  // namespace

namespace os {

bool SetEventByHandleValue(uint32_t handleValue) {
    return KdrvSetClientEvent(handleValue) != 0;
}

void SendDeviceInterfaceChange(WindowHandle, uint32_t event, const uint8_t*, const char*) {
    KdrvSetInterfacePresent(event == 0x8000);
}

std::string AnsiToUtf8(const std::string& text) {
    // A byte of the code page is at most one UTF-16 unit.
    std::u16string wide(text.size(), u'\0');
    const int bytes = KdrvAnsiToUnicode(text.data(), static_cast<uint32_t>(text.size()),
                                        reinterpret_cast<uint16_t*>(&wide[0]),
                                        static_cast<uint32_t>(wide.size() * 2));
    std::string utf8;
    if (bytes < 0 || !vesk::Utf16ToUtf8(wide.data(), static_cast<size_t>(bytes) / 2, &utf8))
        return {};
    return utf8;
}

bool Utf8ToAnsi(const std::string& utf8, std::string* ansi) {
    std::u16string wide;
    if (!vesk::Utf8ToUtf16(utf8, &wide)) return false;
    ansi->assign(wide.size() * 2, '\0');
    const int bytes = KdrvUnicodeToAnsi(reinterpret_cast<const uint16_t*>(wide.data()),
                                        static_cast<uint32_t>(wide.size() * 2), &(*ansi)[0],
                                        static_cast<uint32_t>(ansi->size()));
    if (bytes < 0) return false;
    ansi->resize(static_cast<size_t>(bytes));
    // The kernel's conversion puts a default character in silently: a text that does not come
    // back whole was not held.
    return AnsiToUtf8(*ansi) == utf8;
}

}  // namespace os

extern "C" {

int KsimStart(void) {
    try {
        simulator = std::make_unique<sim::Simulator>();
        simulator->RegisterNotification(kSystemNotices);
        return 1;
    } catch (...) {
        return 0;
    }
}

void KsimStop(void) {
    simulator.reset();
}

int KsimLoaded(void) {
    return simulator->Loaded();
}

uint32_t KsimOpen(void** handle) {
    try {
        return simulator->Open(sim::kDevicePath, handle);
    } catch (...) {
        return kOutOfMemory;
    }
}

void KsimClose(void* handle) {
    simulator->Close(handle);
}

uint32_t KsimControl(void* handle, uint32_t code, const void* input, uint32_t inputSize,
                     void* output, uint32_t outputSize) {
    // The client's event handle means nothing in the driver's context later on, when events
    // are queued from elsewhere: the object is taken hold of now, while the client's request
    // is being handled, and set by its handle value later.
    if (code == vesk::IOCTL_VESK_SET_NOTIFICATION_EVENT && inputSize == sizeof(uint32_t)) {
        uint32_t value = 0;
        std::memcpy(&value, input, sizeof value);
        KdrvReferenceClientEvent(value);
    }
    try {
        return simulator->Control(handle, code, input, inputSize, output, outputSize);
    } catch (...) {
        return kOutOfMemory;
    }
}

void KsimCommand(uint32_t code, const char* text, uint32_t textSize, void* reply,
                 uint32_t replySize) {
    try {
        const std::string line(text, strnlen(text, textSize));
        std::string why;
        const bool accepted = code == IOCTL_VESK_SIM_SCENARIO
                                  ? simulator->LoadScenarioFile(line, &why)
                                  : simulator->Execute(line, &why);
        WriteReply(reply, replySize, accepted, why);
    } catch (const std::bad_alloc&) {
        WriteReply(reply, replySize, false, "out of memory");
    } catch (const std::exception& e) {
        WriteReply(reply, replySize, false, e.what());
    } catch (...) {
        WriteReply(reply, replySize, false, "an unexpected failure");
    }
}

}  // extern "C"
