#include "Events.h"

#include "os/Event.h"

namespace sim {

void QueueEvent(Simulator::State& state, int32_t type) {
    state.driver.events.push_back(type);
    for (const auto& entry : state.connections)
        if (entry.second.eventRegistered) MarkForSignal(state, entry.second);
}

void MarkForSignal(Simulator::State& state, const Connection& connection) {
    state.pendingSignals.push_back(connection.number);
}

void FlushSignals(Simulator::State& state) {
    std::vector<uint32_t> pending;
    pending.swap(state.pendingSignals);
    for (uint32_t number : pending) {
        for (const auto& entry : state.connections) {
            const Connection& connection = entry.second;
            if (connection.number != number || !connection.eventRegistered) continue;
            if (state.trace.Enabled()) state.trace.Write("signal " + std::to_string(number));
            os::SetEventByHandleValue(connection.eventHandle);
        }
    }
}

}  // namespace sim
