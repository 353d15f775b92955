// A whole session with a hostile driver: the input decodes into a sequence of driver replies
// (any status, any payload up to the record's size, raw counts and unterminated texts
// included) interleaved with what the pages do with the model: loads, saves, the texts of
// every page, renames under the name-field rules, the slider arithmetic of the buffer depths,
// the sampling-rate choices and the draining of driver events on a second connection. Every
// step runs under AddressSanitizer and UndefinedBehaviorSanitizer; the session also checks
// that a request the driver failed never leaves a count past its capacity in the model.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ShowModel.h"
#include "driver/DriverRecords.h"
#include "driver/IoctlCodes.h"
#include "model/AboutText.h"
#include "model/BufferDepth.h"
#include "model/StreamText.h"
#include "sim/Simulator.h"

namespace {

enum class Step : uint8_t {
    kReply,
    kFail,
    kQueueEvents,
    kReset,
    kLoadModel,
    kSaveModel,
    kRename,
    kChooseSyncMode,
    kSampleRate,
    kClockMaster,
    kBufferDepths,
    kStreams,
    kDrainEvents,
    kSettings,
    kMaxValue = kSettings,
};

std::string Hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

const vesk::RequestShape& PickRequest(FuzzedDataProvider& input) {
    return vesk::kRequestCatalogue[input.ConsumeIntegralInRange<int>(0, vesk::kRequestCount - 1)];
}

// Statuses the panel treats specially, and any other.
uint32_t PickStatus(FuzzedDataProvider& input) {
    static const uint32_t kKnown[] = {1, 2, 6, 31, 87, 259, 1167, 1168, 0xE0000047, 0xE0000080};
    if (input.ConsumeBool()) return input.PickValueInArray(kKnown);
    return input.ConsumeIntegral<uint32_t>();
}

void Command(const std::string& text) {
    sim::Simulator::Instance().Execute(text);
}

// A name as typed into a rename dialog: any bytes, any length.
void Rename(FuzzedDataProvider& input) {
    const std::string typed = input.ConsumeRandomLengthString(80);
    if (input.ConsumeBool() && theDrv.m_devices.GetSize() > 0) {
        const int index = input.ConsumeIntegralInRange<int>(0, theDrv.m_devices.GetSize() - 1);
        _VESK_DEVICE_PROPERTIES edited = *theDrv.m_devices[index];
        vesk::CopyNameIntoField(edited.DeviceName, typed.c_str());
        *theDrv.m_devices[index] = edited;
        theDrv.SaveDevices();
        return;
    }
    CChannelArray& channels =
        input.ConsumeBool() ? theDrv.m_inputChannels : theDrv.m_outputChannels;
    if (channels.GetSize() == 0) return;
    _VESK_CHANNEL_PROPERTIES edited =
        *channels[input.ConsumeIntegralInRange<int>(0, channels.GetSize() - 1)];
    vesk::CopyNameIntoField(edited.ChannelName, typed.c_str());
    theDrv.SetChannelProperties(&edited);
    fuzz::g_shown = vesk::AsioDisplayName(vesk::FieldText(edited.HardwareName),
                                          vesk::FieldText(edited.ChannelName), input.ConsumeBool())
                        .GetLength();
}

void SampleRate(FuzzedDataProvider& input) {
    if (theDrv.GetSampleRate(&theDrv.m_sampleRates) != 0) return;
    const vesk::SampleRateChoice choice = vesk::SampleRateChoices(theDrv.m_sampleRates);
    if (choice.selected < 0 || choice.selected >= static_cast<int>(choice.entries.size()))
        __builtin_trap();  // the selection must name an entry
    size_t shown = vesk::SampleRatePaneText(theDrv.m_sampleRates.CurrentRate).GetLength();
    for (const vesk::SampleRateEntry& entry : choice.entries) shown += entry.text.GetLength();
    fuzz::g_shown = shown;
    const auto& chosen =
        choice.entries[input.ConsumeIntegralInRange<size_t>(0, choice.entries.size() - 1)];
    if (chosen.itemData != 0) theDrv.SetSampleRate(chosen.itemData);
}

void ClockMaster(FuzzedDataProvider& input) {
    if (theDrv.GetClockMaster(&theDrv.m_clockMaster) != 0) return;
    uint32_t automatic = 0;
    theDrv.GetSampleRateMode(&automatic);
    fuzz::g_shown = vesk::ClockMasterText(theDrv.m_clockMaster.MasterType).GetLength();
    if (input.ConsumeBool() && theDrv.m_devices.GetSize() > 0) {
        theDrv.m_clockMaster.MasterType = 1;
        theDrv.m_clockMaster.MasterDeviceId =
            theDrv.m_devices[input.ConsumeIntegralInRange<int>(0, theDrv.m_devices.GetSize() - 1)]
                ->DeviceId;
    }
    if (theDrv.StopStreaming() == 0) {
        theDrv.SetClockMaster(&theDrv.m_clockMaster);
        theDrv.SetSampleRateMode(input.ConsumeBool() ? 1 : 0);
        theDrv.SaveSyncModes();
        theDrv.StartStreaming();
    }
}

// A slider moved to any position, its value text, and Apply when the depth differs.
template <class Record, class Setup, class Set>
void MoveSlider(FuzzedDataProvider& input, Record record, Setup setup, Set set) {
    const vesk::SliderSetup slider = setup(record);
    if (!slider.usable) return;
    if (slider.rangeMin > slider.rangeMax || slider.position < slider.rangeMin ||
        slider.position > slider.rangeMax)
        __builtin_trap();  // a usable setup is a valid track bar
    const int position = input.ConsumeIntegralInRange<int>(slider.rangeMin, slider.rangeMax);
    const vesk::SliderDepth depth = vesk::DepthAtPosition(position, record.Step, record.Current);
    fuzz::g_shown = vesk::AudioDepthText(depth.depthUs).GetLength() +
                    vesk::StreamDepthText(depth.depthUs).GetLength();
    if (!depth.differs) return;
    record.Current = depth.depthUs;
    set(record);
}

void BufferDepths(FuzzedDataProvider& input) {
    _VESK_STREAM_BUFFER_DEPTH stream{};
    if (theDrv.GetStreamBufferDepth(&stream) == 0)
        MoveSlider(
            input, stream, [](const auto& r) { return vesk::StreamSliderSetup(r); },
            [](const auto& r) { theDrv.SetStreamBufferDepth(&r); });
    _VESK_AUDIO_BUFFER_DEPTH asio{};
    if (theDrv.GetAsioBufferDepth(&asio) == 0) {
        fuzz::g_shown =
            vesk::AudioDepthValueText(asio.Current, asio.Samples, input.ConsumeBool()).GetLength();
        MoveSlider(
            input, asio, [](const auto& r) { return vesk::AudioSliderSetup(r); },
            [](const auto& r) { theDrv.SetAsioBufferDepth(&r); });
    }
    _VESK_AUDIO_BUFFER_DEPTH wdm{};
    if (theDrv.GetWdmBufferDepth(&wdm) == 0)
        MoveSlider(
            input, wdm, [](const auto& r) { return vesk::AudioSliderSetup(r); },
            [](const auto& r) { theDrv.SetWdmBufferDepth(&r); });
}

void Streams() {
    bool allStreaming = true;
    size_t shown = 0;
    for (int i = 0; i < theDrv.m_devices.GetSize(); ++i) {
        _VESK_STREAM_INFO info{};
        if (theDrv.GetStreamInfo(&theDrv.m_devices[i]->DeviceId, &info) != 0) continue;
        allStreaming = allStreaming && vesk::IsDeviceStreaming(info);
        shown += vesk::StreamDetailText(info).GetLength();
        for (const _VESK_PLUG_INFO& plug : info.Plugs) {
            shown += vesk::PlugCellText(plug).GetLength();
            shown += vesk::SupportedRatesText(plug, plug.CurrentRate).GetLength();
            shown += vesk::StreamErrorText(plug.ErrorCode).GetLength();
        }
    }
    fuzz::g_shown =
        shown + vesk::StreamsSummaryText(theDrv.m_devices.GetSize(), allStreaming).GetLength();
}

void DrainEvents(FuzzedDataProvider& input, CVesk1394Driver& events) {
    if (!events.IsOpen() && events.Open(DEVICE_INTERFACE_NAME) != 0) return;
    if (input.ConsumeBool()) events.SetNotificationEvent(input.ConsumeIntegral<uint32_t>());
    // As the view does: at most 64 records a message, until the driver has none.
    for (int read = 0; read < 64; ++read) {
        VESK_EVENT_RECORD record{};
        if (events.GetEvent(&record) != 0) break;
        if (record.EventType == EvtType_StreamingRestarted ||
            record.EventType == EvtType_DomainConfigurationChanged) {
            theDrv.LoadDevices();
            theDrv.LoadChannels(theDrv.m_inputChannels, 0);
        }
    }
}

void Settings(FuzzedDataProvider& input) {
    _VESK_STATISTICS statistics{};
    theDrv.GetStatistics(&statistics);
    _VESK_VERSION_INFO version{};
    const uint32_t status = theDrv.GetVersion(&version);
    fuzz::g_shown = vesk::AboutText(status, version).GetLength();
    if (theDrv.GetAsioNameIncludesDevice(&theDrv.m_asioNameIncludesDevice) == 0 &&
        input.ConsumeBool()) {
        theDrv.m_asioNameIncludesDevice = theDrv.m_asioNameIncludesDevice != 0 ? 0 : 1;
        theDrv.SetAsioNameIncludesDevice(&theDrv.m_asioNameIncludesDevice);
    }
}

// Whatever the driver answered, the model never holds more records than the driver's lists
// can name.
void CheckCapacities() {
    if (theDrv.m_devices.GetSize() > static_cast<int>(VESK_MAX_DEVICES) ||
        theDrv.m_syncModes.GetSize() > static_cast<int>(VESK_MAX_DEVICES) ||
        theDrv.m_inputChannels.GetSize() > static_cast<int>(VESK_MAX_CHANNELS) ||
        theDrv.m_outputChannels.GetSize() > static_cast<int>(VESK_MAX_CHANNELS))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    sim::Simulator& simulator = sim::Simulator::Instance();
    // The demo state, without faults, raw replies or queued events.
    if (!simulator.LoadScenario("")) __builtin_trap();
    if (!theDrv.IsOpen() && theDrv.Open(DEVICE_INTERFACE_NAME) != 0) __builtin_trap();
    CVesk1394Driver events;

    for (int steps = 0; steps < 64 && input.remaining_bytes() > 0; ++steps) {
        switch (input.ConsumeEnum<Step>()) {
            case Step::kReply: {
                const vesk::RequestShape& request = PickRequest(input);
                const std::vector<uint8_t> payload = input.ConsumeBytes<uint8_t>(
                    input.ConsumeIntegralInRange<size_t>(0, request.outputSize));
                sim::Simulator::Instance().SetRawReply(request.code, payload);
                break;
            }
            case Step::kFail: {
                const vesk::RequestShape& request = PickRequest(input);
                const uint32_t status = PickStatus(input);
                Command("fail " + Hex32(request.code) + " " + Hex32(status) + " " +
                        std::to_string(input.ConsumeIntegralInRange<int>(-1, 4)) + " " +
                        std::to_string(input.ConsumeIntegralInRange<int>(0, 4)));
                break;
            }
            case Step::kQueueEvents:
                Command("event " + std::to_string(input.ConsumeIntegral<int32_t>()));
                break;
            case Step::kReset:
                simulator.LoadScenario("");
                break;
            case Step::kLoadModel:
                theDrv.LoadDevices();
                theDrv.LoadSyncModes();
                theDrv.LoadChannels(theDrv.m_inputChannels, 0);
                theDrv.LoadChannels(theDrv.m_outputChannels, 1);
                CheckCapacities();
                fuzz::g_shown = fuzz::ShowEverything(theDrv);
                break;
            case Step::kSaveModel:
                theDrv.SaveDevices();
                theDrv.SaveSyncModes();
                break;
            case Step::kRename:
                Rename(input);
                break;
            case Step::kChooseSyncMode:
                if (theDrv.m_syncModes.GetSize() > 0) {
                    _DEVICE_SYNC_MODE_INFO* info =
                        theDrv.m_syncModes[input.ConsumeIntegralInRange<int>(
                            0, theDrv.m_syncModes.GetSize() - 1)];
                    vesk::ChooseSyncMode(*info, input.ConsumeIntegralInRange<int>(-2, 20));
                }
                break;
            case Step::kSampleRate:
                SampleRate(input);
                break;
            case Step::kClockMaster:
                ClockMaster(input);
                break;
            case Step::kBufferDepths:
                BufferDepths(input);
                break;
            case Step::kStreams:
                Streams();
                break;
            case Step::kDrainEvents:
                DrainEvents(input, events);
                break;
            case Step::kSettings:
                Settings(input);
                break;
        }
    }
    CheckCapacities();
    return 0;
}
