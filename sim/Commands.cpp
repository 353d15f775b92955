// The simulator's commands, one a line, as the Driver Simulator window and vesk_simctl send
// them.
#include "Events.h"
#include "Numbers.h"
#include "Presence.h"
#include "Scenario.h"
#include "TextFile.h"
#include "driver/DriverRecords.h"
#include "driver/IoctlCodes.h"

namespace sim {
namespace {

bool Refused(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = text.find_first_not_of(" \t", at)) != std::string::npos) {
        const size_t end = text.find_first_of(" \t", at);
        words.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        at = end;
    }
    return words;
}

bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    return ParseInteger(text, value) && *value >= low && *value <= high;
}

}  // namespace

bool Simulator::Execute(const std::string& command, std::string* error) {
    std::string text = Trim(command);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';  // one trace line per command
    const size_t nameEnd = text.find_first_of(" \t");
    const std::string name = text.substr(0, nameEnd);
    const std::string argument =
        nameEnd == std::string::npos ? std::string() : Trim(text.substr(nameEnd));
    State& state = *m_state;
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.trace.Enabled()) state.trace.Write("command " + text);
    }

    if (name == "load" || name == "unload") {
        if (!argument.empty()) return Refused(error, name + " takes no argument");
        PresenceNotice notice;
        {
            std::lock_guard<std::mutex> guard(state.lock);
            notice = SetLoadedLocked(state, name == "load");
        }
        DeliverPresence(state, notice);
        return true;
    }
    if (name == "event") {
        int64_t type = 0;
        if (!ParseNumber(argument, INT32_MIN, UINT32_MAX, &type))
            return Refused(error, "event needs a 32-bit event type");
        std::lock_guard<std::mutex> guard(state.lock);
        QueueEvent(state, static_cast<int32_t>(static_cast<uint32_t>(type)));
        FlushSignals(state);
        return true;
    }
    if (name == "add-device") {
        Json json;
        if (argument.empty() || !ParseJsonObject(argument, &json, error))
            return Refused(error, "add-device needs a device as a JSON object");
        std::lock_guard<std::mutex> guard(state.lock);
        SimDevice device;
        if (!DeviceFromJson(json, state.driver, &device, error)) return false;
        state.driver.devices.push_back(std::move(device));
        QueueEvent(state, EvtType_BusReset);
        QueueEvent(state, EvtType_DomainConfigurationChanged);
        FlushSignals(state);
        return true;
    }
    if (name == "remove-device") {
        int64_t id = 0;
        if (!ParseNumber(argument, 0, UINT32_MAX, &id))
            return Refused(error, "remove-device needs a device identifier");
        std::lock_guard<std::mutex> guard(state.lock);
        auto& devices = state.driver.devices;
        auto found = devices.begin();
        while (found != devices.end() && found->id != id) ++found;
        if (found == devices.end()) return Refused(error, "no device " + argument);
        devices.erase(found);
        // The clock cannot come from a device that is gone: the PC driver takes over.
        _VESK_CLOCK_MASTER& master = state.driver.clockMaster;
        if (master.MasterType == 1 && master.MasterDeviceId == id)
            master.MasterType = master.MasterDeviceId = 0;
        QueueEvent(state, EvtType_BusReset);
        QueueEvent(state, EvtType_DomainConfigurationChanged);
        FlushSignals(state);
        return true;
    }
    if (name == "set") {
        Json patch;
        if (argument.empty() || !ParseJsonObject(argument, &patch, error))
            return Refused(error, "set needs a JSON object");
        PresenceNotice notice;
        {
            std::lock_guard<std::mutex> guard(state.lock);
            Json merged = DriverStateToJson(state.driver);
            merged.merge_patch(patch);
            DriverState next;
            if (!DriverStateFromJson(merged, patch, &next, error)) return false;
            notice = ReplaceDriverLocked(state, std::move(next));
            FlushSignals(state);
        }
        DeliverPresence(state, notice);
        return true;
    }
    if (name == "fail") {
        const std::vector<std::string> words = Words(argument);
        int64_t code = 0, status = 0, count = -1, skip = 0;
        if (words.size() < 2 || words.size() > 4)
            return Refused(error, "fail needs CODE STATUS [COUNT [SKIP]]");
        if (!ParseNumber(words[0], 0, UINT32_MAX, &code) || !vesk::FindRequest(uint32_t(code)))
            return Refused(error, "not a request code: " + words[0]);
        if (!ParseNumber(words[1], 1, UINT32_MAX, &status))
            return Refused(error, "not a failing status: " + words[1]);
        if (words.size() > 2 && (!ParseNumber(words[2], -1, UINT32_MAX, &count) || count == 0))
            return Refused(error, "not -1 or a positive count: " + words[2]);
        if (words.size() > 3 && !ParseNumber(words[3], 0, UINT32_MAX, &skip))
            return Refused(error, "not a count to skip: " + words[3]);
        FaultRule rule;
        rule.code = static_cast<uint32_t>(code);
        rule.status = static_cast<uint32_t>(status);
        rule.count = count;
        rule.skip = static_cast<uint32_t>(skip);
        std::lock_guard<std::mutex> guard(state.lock);
        state.driver.faults.push_back(rule);
        return true;
    }
    if (name == "clear-faults") {
        if (!argument.empty()) return Refused(error, "clear-faults takes no argument");
        std::lock_guard<std::mutex> guard(state.lock);
        state.driver.faults.clear();
        return true;
    }
    if (name == "dropouts") {
        int64_t count = 0;
        if (!ParseNumber(argument, 0, UINT32_MAX, &count))
            return Refused(error, "dropouts needs a count");
        std::lock_guard<std::mutex> guard(state.lock);
        state.driver.dropOuts = static_cast<uint32_t>(count);
        return true;
    }
    if (name == "dump") {
        if (argument.empty()) return Refused(error, "dump needs a path");
        if (!WriteTextFile(argument, DumpScenario()))
            return Refused(error, "cannot write " + argument);
        return true;
    }
    if (name == "trace") {
        if (argument.empty()) return Refused(error, "trace needs a path or off");
        std::lock_guard<std::mutex> guard(state.lock);
        if (argument == "off") {
            state.trace.CloseFile();
            return true;
        }
        if (!state.trace.ToFile(argument)) return Refused(error, "cannot write " + argument);
        return true;
    }
    if (name == "mark") {
        std::lock_guard<std::mutex> guard(state.lock);
        if (state.trace.Enabled()) state.trace.Write("mark " + argument);
        return true;
    }
    return Refused(error, name.empty() ? "no command" : "unknown command " + name);
}

}  // namespace sim
