#include "settings/SettingsPlan.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

#include "model/BufferDepth.h"
#include "model/SyncText.h"
#include "model/TextField.h"
#include "res/StringIds.h"

namespace vesk {

namespace {

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

const char* DirectionWord(ChannelDirection direction) {
    return direction == ChannelDirection::Input ? "in" : "out";
}

std::string ChannelLabel(const std::string& serial, ChannelDirection direction,
                         const std::string& hardwareName, int occurrence) {
    std::string label =
        "channel " + serial + " " + DirectionWord(direction) + " " + Quoted(hardwareName);
    if (occurrence > 0) label += " #" + std::to_string(occurrence + 1);
    return label;
}

std::string MasterText(const DriverSettings& driver, const _VESK_CLOCK_MASTER& master) {
    if (master.MasterType == 0) return "the PC";
    const DeviceSettings* device = driver.DeviceById(master.MasterDeviceId);
    return device ? "device " + device->Serial()
                  : "device id " + std::to_string(master.MasterDeviceId);
}

// "2000 µs", with the unit of the Settings page.
std::string Microseconds(uint32_t value) {
    return std::to_string(value) + " " + LoadStringText(IDS_UNIT_MICROSECONDS).GetString();
}

// Stops streaming for the changes that follow; undone by starting it again.
PlanStep StopStreamingStep() {
    return {"stop streaming", false, [](CDrv& drv) { return drv.StopStreaming(); },
            [](CDrv& drv) { return drv.StartStreaming(); }};
}

PlanStep StartStreamingStep() {
    return {"start streaming", false, [](CDrv& drv) { return drv.StartStreaming(); },
            [](CDrv& drv) { return drv.StopStreaming(); }};
}

class Planner {
  public:
    Planner(const SettingsFile& file, const DriverSettings& driver)
        : m_file(file), m_driver(driver) {
        for (const DeviceSettings& device : driver.devices)
            m_devicesBySerial[device.Serial()].push_back(&device);
        // Channels by their key, so that a file naming every channel is checked in n log n.
        for (const ChannelSettings& channel : driver.channels)
            m_channels.emplace(
                ChannelKey{uint32_t{channel.record.DeviceId}, static_cast<int>(channel.direction),
                           channel.HardwareName(), channel.occurrence},
                &channel);
    }

    ImportPlan Plan() {
        PlanDevicesAndChannels();
        PlanAsioNames();
        PlanSynchronisation();
        PlanSampleRate();
        PlanBufferDepths();
        if (!m_plan.errors.empty()) m_plan.steps.clear();
        return std::move(m_plan);
    }

  private:
    void Error(const std::string& where, const std::string& why) {
        m_plan.errors.push_back(where + ": " + why);
    }

    // The connected device a file entry names, or null (skipped, with why).
    const DeviceSettings* Connected(const FileDevice& entry) {
        if (entry.serial.empty()) {
            m_plan.skipped.push_back("no serial number: " + entry.where);
            return nullptr;
        }
        if (m_fileSerials[entry.serial] > 1) {
            m_plan.skipped.push_back("named more than once in the file: device " + entry.serial);
            return nullptr;
        }
        const auto found = m_devicesBySerial.find(entry.serial);
        if (found == m_devicesBySerial.end()) {
            m_plan.skipped.push_back("not connected: device " + entry.serial);
            return nullptr;
        }
        if (found->second.size() > 1) {
            m_plan.skipped.push_back("carried by " + std::to_string(found->second.size()) +
                                     " connected devices: serial " + entry.serial);
            return nullptr;
        }
        return found->second.front();
    }

    void PlanDevicesAndChannels() {
        for (const FileDevice& entry : m_file.devices) ++m_fileSerials[entry.serial];
        std::vector<std::pair<const FileDevice*, const DeviceSettings*>> matched;
        for (const FileDevice& entry : m_file.devices)
            if (const DeviceSettings* device = Connected(entry))
                matched.push_back({&entry, device});
        const std::vector<uint32_t> ranks = PlanRanks(matched);
        std::vector<bool> named(m_driver.devices.size(), false);
        for (const auto& [entry, device] : matched) {
            const size_t index = static_cast<size_t>(device - m_driver.devices.data());
            named[index] = true;
            PlanDeviceRecord(entry->serial, entry->name, ranks, index);
            PlanSyncMode(*entry, *device);
            for (const FileChannel& channel : entry->channels)
                PlanChannel(*entry, *device, channel);
        }
        // Devices the file does not name move when others take their places.
        for (size_t index = 0; index < named.size(); ++index)
            if (!named[index])
                PlanDeviceRecord(
                    m_driver.devices[index].Serial().empty()
                        ? "without a serial number (" + m_driver.devices[index].Name() + ")"
                        : m_driver.devices[index].Serial(),
                    std::nullopt, ranks, index);
    }

    // The rank of every connected device after the import (empty: ranks are left alone). A
    // file whose ranks all match the driver's changes nothing, so that a backup taken of any
    // state, even one with ranks twice, restores without a write.
    std::vector<uint32_t> PlanRanks(
        const std::vector<std::pair<const FileDevice*, const DeviceSettings*>>& matched) {
        struct Wanted {
            uint32_t rank;
            size_t index;
        };
        std::vector<Wanted> wanted;
        bool changes = false;
        for (const auto& [entry, device] : matched) {
            if (!entry->rank) continue;
            const size_t index = static_cast<size_t>(device - m_driver.devices.data());
            wanted.push_back({*entry->rank, index});
            changes = changes || *entry->rank != device->record.Rank;
        }
        if (!changes) return {};
        bool valid = true;
        for (const auto& [entry, device] : matched) {
            if (entry->rank && *entry->rank >= VESK_MAX_DEVICES) {
                Error(entry->where + ".rank", std::to_string(*entry->rank) +
                                                  " is out of range: ranks go from 0 to " +
                                                  std::to_string(VESK_MAX_DEVICES - 1));
                valid = false;
            }
        }
        if (!valid) return {};
        const size_t count = m_driver.devices.size();
        std::stable_sort(wanted.begin(), wanted.end(),
                         [](const Wanted& a, const Wanted& b) { return a.rank < b.rank; });
        std::vector<size_t> places(count, count);  // device index by place; count: free
        std::vector<bool> placed(count, false);
        for (const Wanted& w : wanted) {
            // The place it names, or the next free one after it, or the last free one before.
            size_t place = std::min<size_t>(w.rank, count - 1);
            while (place < count && places[place] != count) ++place;
            if (place == count)
                for (place = std::min<size_t>(w.rank, count - 1); places[place] != count;) --place;
            places[place] = w.index;
            placed[w.index] = true;
        }
        std::vector<size_t> others;
        for (size_t index = 0; index < count; ++index)
            if (!placed[index]) others.push_back(index);
        std::stable_sort(others.begin(), others.end(), [this](size_t a, size_t b) {
            return m_driver.devices[a].record.Rank < m_driver.devices[b].record.Rank;
        });
        size_t next = 0;
        for (size_t& place : places)
            if (place == count) place = others[next++];
        std::vector<uint32_t> ranks(count);
        for (size_t place = 0; place < count; ++place)
            ranks[places[place]] = static_cast<uint32_t>(place);
        return ranks;
    }

    void PlanDeviceRecord(const std::string& serial, const std::optional<std::string>& name,
                          const std::vector<uint32_t>& ranks, size_t index) {
        const DeviceSettings& device = m_driver.devices[index];
        _VESK_DEVICE_PROPERTIES changed = device.record;
        std::vector<std::string> what;
        if (name && *name != device.Name()) {
            CopyNameIntoField(changed.DeviceName, name->c_str());
            what.push_back("name " + Quoted(device.Name()) + " -> " + Quoted(*name));
        }
        const uint32_t rankBefore = device.record.Rank;
        if (!ranks.empty() && ranks[index] != rankBefore) {
            changed.Rank = ranks[index];
            what.push_back("rank " + std::to_string(rankBefore) + " -> " +
                           std::to_string(ranks[index]));
        }
        if (what.empty()) return;
        std::string text = "device " + serial + ": " + what[0];
        for (size_t i = 1; i < what.size(); ++i) text += ", " + what[i];
        const _VESK_DEVICE_PROPERTIES before = device.record;
        m_plan.steps.push_back({text, true,
                                [changed](CDrv& drv) { return drv.SetDeviceProperties(&changed); },
                                [before](CDrv& drv) { return drv.SetDeviceProperties(&before); }});
    }

    void PlanSyncMode(const FileDevice& entry, const DeviceSettings& device) {
        if (!entry.syncMode) return;
        const std::string where = entry.where + ".syncMode";
        if (!device.hasSyncInfo) {
            Error(where, "the driver gave no synchronisation modes for this device");
            return;
        }
        _DEVICE_SYNC_MODE_INFO chosen = device.sync;
        int index = -1;
        for (uint32_t i = 0; i < UsableModeCount(chosen); ++i) {
            if (chosen.Modes[i].SyncType == entry.syncMode->type &&
                chosen.Modes[i].ModeId == entry.syncMode->id) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0) {
            Error(where, "type " + std::to_string(entry.syncMode->type) + " id " +
                             std::to_string(entry.syncMode->id) +
                             " is not a mode the device offers");
            return;
        }
        const _DEVICE_SYNC_MODE& current = device.sync.CurrentMode;
        if (current.SyncType == entry.syncMode->type && current.ModeId == entry.syncMode->id)
            return;
        ChooseSyncMode(chosen, index);
        auto setRecord = [](const _DEVICE_SYNC_MODE_INFO& info) {
            return _DEVICE_SYNC_MODE_SET{info.DeviceId, info.CurrentMode.SyncType,
                                         info.CurrentMode.ModeId};
        };
        const _DEVICE_SYNC_MODE_SET changed = setRecord(chosen);
        const _DEVICE_SYNC_MODE_SET before = setRecord(device.sync);
        m_syncSteps.push_back({"device " + entry.serial + ": synchronisation mode " +
                                   Quoted(SyncModeText(current).GetString()) + " -> " +
                                   Quoted(SyncModeText(chosen.CurrentMode).GetString()),
                               true,
                               [changed](CDrv& drv) { return drv.SetDeviceSyncMode(&changed); },
                               [before](CDrv& drv) { return drv.SetDeviceSyncMode(&before); }});
    }

    void PlanChannel(const FileDevice& entry, const DeviceSettings& device,
                     const FileChannel& wanted) {
        const auto found = m_channels.find(ChannelKey{uint32_t{device.record.DeviceId},
                                                      static_cast<int>(wanted.direction),
                                                      wanted.hardwareName, wanted.occurrence});
        const ChannelSettings* channel = found == m_channels.end() ? nullptr : found->second;
        const std::string label =
            ChannelLabel(entry.serial, wanted.direction, wanted.hardwareName, wanted.occurrence);
        if (channel == nullptr) {
            m_plan.skipped.push_back("not connected: " + label);
            return;
        }
        if (channel->Name() == wanted.name) return;
        _VESK_CHANNEL_PROPERTIES changed = channel->record;
        CopyNameIntoField(changed.ChannelName, wanted.name.c_str());
        const _VESK_CHANNEL_PROPERTIES before = channel->record;
        m_plan.steps.push_back(
            {label + ": name " + Quoted(channel->Name()) + " -> " + Quoted(wanted.name), true,
             [changed](CDrv& drv) { return drv.SetChannelProperties(&changed); },
             [before](CDrv& drv) { return drv.SetChannelProperties(&before); }});
    }

    void PlanAsioNames() {
        if (!m_file.asioNamesIncludeDevice) return;
        const uint32_t before = m_driver.asioNameIncludesDevice;
        const uint32_t wanted = *m_file.asioNamesIncludeDevice ? 1 : 0;
        if ((before != 0) == (wanted != 0)) return;
        m_plan.steps.push_back(
            {std::string("ASIO display names include the device name: ") +
                 (wanted ? "no -> yes" : "yes -> no"),
             true, [wanted](CDrv& drv) { return drv.SetAsioNameIncludesDevice(&wanted); },
             [before](CDrv& drv) { return drv.SetAsioNameIncludesDevice(&before); }});
    }

    // Clock master, rate mode and device modes go together inside a stop and a start of
    // streaming, in the order of the Synchronisation page.
    void PlanSynchronisation() {
        std::vector<PlanStep> steps;
        if (m_file.clockMaster) {
            _VESK_CLOCK_MASTER wanted = m_driver.clockMaster;
            bool valid = true;
            if (*m_file.clockMaster == kClockMasterPc) {
                wanted.MasterType = 0;
                wanted.MasterDeviceId = 0;
            } else if (m_file.clockMaster->empty()) {
                m_plan.skipped.push_back("no serial number: the clock master");
                valid = false;
            } else if (const int carriers = m_driver.DevicesWithSerial(*m_file.clockMaster);
                       carriers != 1) {
                m_plan.skipped.push_back((carriers == 0 ? std::string("not connected: ")
                                                        : "carried by " + std::to_string(carriers) +
                                                              " connected devices: ") +
                                         "the clock master, device " + *m_file.clockMaster);
                valid = false;
            } else {
                wanted.MasterType = 1;
                wanted.MasterDeviceId =
                    m_driver.DeviceBySerial(*m_file.clockMaster)->record.DeviceId;
            }
            const _VESK_CLOCK_MASTER before = m_driver.clockMaster;
            const bool same =
                wanted.MasterType == before.MasterType &&
                (wanted.MasterType == 0 || wanted.MasterDeviceId == before.MasterDeviceId);
            if (valid && !same)
                steps.push_back({"clock master: " + MasterText(m_driver, before) + " -> " +
                                     MasterText(m_driver, wanted),
                                 true, [wanted](CDrv& drv) { return drv.SetClockMaster(&wanted); },
                                 [before](CDrv& drv) { return drv.SetClockMaster(&before); }});
        }
        if (m_file.automaticRate && *m_file.automaticRate != (m_driver.sampleRateMode != 0)) {
            const uint32_t wanted = *m_file.automaticRate ? 1 : 0;
            const uint32_t before = m_driver.sampleRateMode;
            steps.push_back({std::string("sampling rate mode: ") +
                                 (wanted ? "manual -> automatic" : "automatic -> manual"),
                             true, [wanted](CDrv& drv) { return drv.SetSampleRateMode(wanted); },
                             [before](CDrv& drv) { return drv.SetSampleRateMode(before); }});
        }
        steps.insert(steps.end(), m_syncSteps.begin(), m_syncSteps.end());
        if (steps.empty()) return;
        m_plan.steps.push_back(StopStreamingStep());
        m_plan.steps.insert(m_plan.steps.end(), steps.begin(), steps.end());
        m_plan.steps.push_back(StartStreamingStep());
    }

    void PlanSampleRate() {
        if (!m_file.sampleRate) return;
        const _VESK_SAMPLE_RATE_INFO& rates = m_driver.sampleRates;
        const uint32_t wanted = *m_file.sampleRate;
        if (wanted == rates.CurrentRate) return;
        // In automatic mode the clock master sets the rate; the panel offers no rate then, and
        // a file exported in that mode records the rate the clock master had set.
        if (m_file.automaticRate.value_or(m_driver.sampleRateMode != 0)) {
            m_plan.rateLeftToClockMaster = "sampling rate " + std::string(SampleRateText(wanted)) +
                                           " left to the clock master (the rate mode is automatic)";
            return;
        }
        const uint32_t count = std::min(uint32_t{rates.RateCount}, VESK_MAX_RATES);
        bool offered = false;
        // The record is packed: its rates are read one by one, never through a pointer.
        for (uint32_t i = 0; i < count; ++i) offered = offered || rates.Rates[i] == wanted;
        if (!offered) {
            std::string list;
            for (uint32_t i = 0; i < count; ++i)
                list += (i ? ", " : "") + std::to_string(rates.Rates[i]);
            Error("sampleRate", std::to_string(wanted) + " Hz is not a rate the driver offers (" +
                                    (list.empty() ? "none" : list) + ")");
            return;
        }
        const uint32_t before = rates.CurrentRate;
        m_plan.steps.push_back({"sampling rate: " + std::string(SampleRateText(before)) + " -> " +
                                    std::string(SampleRateText(wanted)),
                                true, [wanted](CDrv& drv) { return drv.SetSampleRate(wanted); },
                                [before](CDrv& drv) { return drv.SetSampleRate(before); }});
    }

    // A depth the slider could show: a multiple of the step between the minimum and the
    // panel's maximum. The depth the driver holds is always accepted (it is no change).
    bool DepthWanted(const std::optional<uint32_t>& wanted, uint32_t current, uint32_t minimum,
                     uint32_t step, uint32_t maximum, const char* where) {
        if (!wanted || *wanted == current) return false;
        const std::string value = Microseconds(*wanted);
        if (step == 0) {
            Error(where, "the driver gives no step for this buffer, so it cannot be set");
        } else if (*wanted < minimum) {
            Error(where, value + " is below the minimum " + Microseconds(minimum));
        } else if (*wanted > maximum) {
            Error(where, value + " is above the maximum " + Microseconds(maximum));
        } else if (*wanted % step != 0) {
            Error(where, value + " is not a multiple of the step " + Microseconds(step));
        } else {
            return true;
        }
        return false;
    }

    // In the order of the Settings page's groups; the stream and WDM buffers are written
    // inside a stop and a start of streaming, the ASIO buffer alone, as its Apply buttons do.
    void PlanBufferDepths() {
        const _VESK_STREAM_BUFFER_DEPTH stream = m_driver.streamDepth;
        if (DepthWanted(m_file.streamDepthUs, stream.Current, stream.Minimum, stream.Step,
                        kStreamDepthMaximumUs, "bufferDepths.streamUs")) {
            _VESK_STREAM_BUFFER_DEPTH changed = stream;
            changed.Current = *m_file.streamDepthUs;
            m_plan.steps.push_back(
                {"stream buffer depth: " + std::string(StreamDepthText(stream.Current)) + " -> " +
                     std::string(StreamDepthText(changed.Current)),
                 true, [changed](CDrv& drv) { return drv.SetStreamBufferDepth(&changed); },
                 [stream](CDrv& drv) { return drv.SetStreamBufferDepth(&stream); }});
            m_plan.steps.push_back(StopStreamingStep());
            m_plan.steps.push_back(StartStreamingStep());
        }
        PlanAudioDepth(m_file.asioDepthUs, m_driver.asioDepth, "ASIO", "bufferDepths.asioUs",
                       false);
        PlanAudioDepth(m_file.wdmDepthUs, m_driver.wdmDepth, "WDM sound", "bufferDepths.wdmUs",
                       true);
    }

    void PlanAudioDepth(const std::optional<uint32_t>& wanted,
                        const _VESK_AUDIO_BUFFER_DEPTH& before, const char* label,
                        const char* where, bool restartsStreaming) {
        if (!DepthWanted(wanted, before.Current, before.Minimum, before.Step, kAudioDepthMaximumUs,
                         where))
            return;
        _VESK_AUDIO_BUFFER_DEPTH changed = before;
        changed.Current = *wanted;
        const bool asio = !restartsStreaming;
        m_plan.steps.push_back(
            {std::string(label) + " buffer depth: " + std::string(AudioDepthText(before.Current)) +
                 " -> " + std::string(AudioDepthText(changed.Current)),
             true,
             [changed, asio](CDrv& drv) {
                 return asio ? drv.SetAsioBufferDepth(&changed) : drv.SetWdmBufferDepth(&changed);
             },
             [before, asio](CDrv& drv) {
                 return asio ? drv.SetAsioBufferDepth(&before) : drv.SetWdmBufferDepth(&before);
             }});
        if (!restartsStreaming) return;
        m_plan.steps.push_back(StopStreamingStep());
        m_plan.steps.push_back(StartStreamingStep());
    }

    // Device identifier, direction, hardware name, place among the same hardware name.
    using ChannelKey = std::tuple<uint32_t, int, std::string, int>;

    const SettingsFile& m_file;
    const DriverSettings& m_driver;
    std::map<ChannelKey, const ChannelSettings*> m_channels;
    std::map<std::string, std::vector<const DeviceSettings*>> m_devicesBySerial;
    std::map<std::string, int> m_fileSerials;
    ImportPlan m_plan;
    std::vector<PlanStep> m_syncSteps;
};

}  // namespace

bool ImportPlan::HasChanges() const {
    return std::any_of(steps.begin(), steps.end(), [](const PlanStep& s) { return s.isSetting; });
}

ImportPlan PlanImport(const SettingsFile& file, const DriverSettings& driver) {
    return Planner(file, driver).Plan();
}

ApplyReport ApplyPlan(CDrv& drv, const ImportPlan& plan) {
    ApplyReport report;
    size_t done = 0;
    for (; done < plan.steps.size(); ++done) {
        const uint32_t status = plan.steps[done].apply(drv);
        if (status == 0) continue;
        report.succeeded = false;
        report.failedStep = plan.steps[done].text;
        report.failedStatus = status;
        break;
    }
    if (report.succeeded) {
        for (const PlanStep& step : plan.steps)
            if (step.isSetting) report.applied.push_back(step.text);
        return report;
    }
    for (size_t i = done; i-- > 0;) {
        const PlanStep& step = plan.steps[i];
        const bool undone = step.undo(drv) == 0;
        if (!step.isSetting) {
            // A stop that cannot be undone leaves the driver stopped: say so.
            if (!undone && step.text == StopStreamingStep().text)
                report.notRestored.push_back("streaming could not be started again");
            continue;
        }
        (undone ? report.restored : report.notRestored).push_back(step.text);
    }
    std::reverse(report.restored.begin(), report.restored.end());
    std::reverse(report.notRestored.begin(), report.notRestored.end());
    for (size_t i = done; i < plan.steps.size(); ++i)
        if (plan.steps[i].isSetting) report.notApplied.push_back(plan.steps[i].text);
    return report;
}

}  // namespace vesk
