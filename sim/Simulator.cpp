#include "Simulator.h"

#include <atomic>
#include <cstring>

#include "DemoScenario.h"
#include "Events.h"
#include "Faults.h"
#include "Presence.h"
#include "Requests.h"
#include "SimState.h"
#include "Status.h"
#include "driver/IoctlCodes.h"

namespace sim {
namespace {

// Handle values are never reused, not even across Reset, so that a forgotten handle can
// never reach a newer connection.
uintptr_t NextHandleValue() {
    static std::atomic<uintptr_t> serial{0};
    return 0x10000 + 4 * ++serial;
}

}  // namespace

Simulator& Simulator::Instance() {
    // Never destroyed: the global model closes its connection from its own destructor at
    // process exit, which may run after any ordinary static has gone.
    static Simulator* instance = new Simulator;
    return *instance;
}

Simulator::Simulator() : m_state(std::make_unique<State>()) {
    m_state->driver = DemoDriverState();
}

Simulator::~Simulator() = default;

void Simulator::Reset() {
    std::lock_guard<std::mutex> guard(m_state->lock);
    State& state = *m_state;
    state.driver = DemoDriverState();
    state.connections.clear();
    state.nextConnection = 1;
    state.registrations.clear();
    state.pendingSignals.clear();
    state.trace.SetMemory(false);
    state.trace.Clear();
    state.trace.CloseFile();
}

bool Simulator::SetRawReply(uint32_t code, const std::vector<uint8_t>& bytes) {
    const vesk::RequestShape* shape = vesk::FindRequest(code);
    if (!shape || bytes.size() > shape->outputSize) return false;
    std::lock_guard<std::mutex> guard(m_state->lock);
    if (bytes.empty())
        m_state->driver.raw.erase(code);
    else
        m_state->driver.raw[code] = bytes;
    return true;
}

void Simulator::FailRequestsInTurn(uint32_t skip, uint32_t status, int64_t count) {
    FaultRule rule;
    rule.anyCode = true;
    rule.status = status;
    rule.skip = skip;
    rule.count = count;
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->driver.faults.push_back(rule);
}

bool Simulator::Loaded() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->driver.loaded;
}

uint32_t Simulator::Open(const char* path, void** handle) {
    if (!handle) return kErrorInvalidParameter;
    *handle = nullptr;
    std::lock_guard<std::mutex> guard(m_state->lock);
    State& state = *m_state;
    const bool opens = path && std::strcmp(path, kDevicePath) == 0 && state.driver.loaded;
    const uint32_t status = opens ? kStatusSuccess : kErrorFileNotFound;
    uint32_t number = 0;
    if (opens) {
        Connection connection;
        connection.number = number = state.nextConnection++;
        connection.loadEpoch = state.loadEpoch;
        const uintptr_t value = NextHandleValue();
        state.connections[value] = connection;
        *handle = reinterpret_cast<void*>(value);
    }
    state.trace.Open(number, path, status);
    return status;
}

uint32_t Simulator::Control(void* handle, uint32_t code, const void* input, uint32_t inputSize,
                            void* output, uint32_t outputSize) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    State& state = *m_state;
    const auto found = state.connections.find(reinterpret_cast<uintptr_t>(handle));
    Connection* connection = found == state.connections.end() ? nullptr : &found->second;
    const vesk::RequestShape* shape = vesk::FindRequest(code);
    std::vector<uint8_t> reply(shape ? shape->outputSize : 0, 0);
    uint32_t status = kStatusSuccess;
    if (!connection)
        status = kErrorInvalidHandle;
    else if (connection->loadEpoch != state.loadEpoch)
        status = kErrorDeviceNotConnected;
    else if (!shape)
        status = kErrorInvalidFunction;
    else if (inputSize != shape->inputSize || outputSize != shape->outputSize)
        status = kErrorInvalidParameter;
    else if ((inputSize && !input) || (outputSize && !output))
        status = kErrorNoAccess;
    else if (TakeFault(state.driver, code, &status))
        ;
    else if (!RawReply(state.driver, code, outputSize, &reply))
        status = HandleRequest(state, *connection, code, static_cast<const uint8_t*>(input), reply);
    if (status == kStatusSuccess && outputSize) std::memcpy(output, reply.data(), outputSize);
    state.trace.Ioctl(connection ? connection->number : 0, code, input, inputSize, status, output,
                      outputSize);
    FlushSignals(state);
    return status;
}

void Simulator::Close(void* handle) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    State& state = *m_state;
    const auto found = state.connections.find(reinterpret_cast<uintptr_t>(handle));
    if (found == state.connections.end()) return;
    state.trace.Close(found->second.number);
    state.connections.erase(found);
}

void* Simulator::RegisterNotification(os::WindowHandle window) {
    if (!window) return nullptr;
    std::lock_guard<std::mutex> guard(m_state->lock);
    Registration registration;
    registration.token = reinterpret_cast<void*>(0x70000 + 4 * m_state->nextRegistration++);
    registration.window = window;
    m_state->registrations.push_back(registration);
    return registration.token;
}

void Simulator::UnregisterNotification(void* registration) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    auto& list = m_state->registrations;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->token == registration) {
            list.erase(it);
            return;
        }
    }
}

void Simulator::TraceToMemory(bool enabled) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->trace.SetMemory(enabled);
}

std::vector<std::string> Simulator::TraceLines() const {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->trace.Lines();
}

void Simulator::ClearTrace() {
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->trace.Clear();
}

bool Simulator::TraceToFile(const std::string& path) {
    std::lock_guard<std::mutex> guard(m_state->lock);
    return m_state->trace.ToFile(path);
}

void Simulator::TraceOff() {
    std::lock_guard<std::mutex> guard(m_state->lock);
    m_state->trace.SetMemory(false);
    m_state->trace.CloseFile();
}

}  // namespace sim
