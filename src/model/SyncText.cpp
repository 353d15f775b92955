#include "model/SyncText.h"

#include <algorithm>
#include <cstring>

#include "model/TextField.h"
#include "res/StringIds.h"

namespace vesk {

namespace {

// Whole kilohertz and the truncated first decimal; both fit an int for every 32-bit rate.
int WholeKilohertz(uint32_t rateHz) {
    return static_cast<int>(rateHz / 1000);
}
int TenthKilohertz(uint32_t rateHz) {
    return static_cast<int>((rateHz % 1000) / 100);
}

}  // namespace

CString SyncTypeText(uint32_t syncType) {
    switch (syncType) {
        case 0:
            return LoadStringText(IDS_SYNC_UNSPECIFIED);
        case 1:
            return LoadStringText(IDS_SYNC_CSP);
        case 2:
            return LoadStringText(IDS_SYNC_SYT);
        case 3:
            return LoadStringText(IDS_SYNC_SYT_3);
        case 4:
            return LoadStringText(IDS_SYNC_DIGITAL_INPUT);
        case 5:
            return LoadStringText(IDS_SYNC_EXTERNAL_CLOCK);
        case 6:
            return LoadStringText(IDS_SYNC_INTERNAL);
        default:
            return CString();
    }
}

CString SyncModeText(const _DEVICE_SYNC_MODE& mode) {
    CString text = SyncTypeText(mode.SyncType);
    const CString name = FieldText(mode.ModeName);
    if (!name.IsEmpty()) {
        // Appended, never formatted: a '%' in a device's mode name is just a character.
        text += " (";
        text += name;
        text += ")";
    }
    return text;
}

CString ClockMasterText(uint32_t masterType) {
    switch (masterType) {
        case 0:
            return LoadStringText(IDS_MASTER_INTERNAL);
        case 1:
            return LoadStringText(IDS_MASTER_EXTERNAL);
        default:
            return CString();
    }
}

CString SampleRateText(uint32_t rateHz) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_KHZ), WholeKilohertz(rateHz), TenthKilohertz(rateHz));
    return text;
}

CString UnavailableSampleRateText(uint32_t rateHz) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_KHZ_NOTE), WholeKilohertz(rateHz), TenthKilohertz(rateHz),
                LoadStringText(IDS_RATE_UNAVAILABLE).GetString());
    return text;
}

CString SampleRatePaneText(std::optional<uint32_t> currentRateHz) {
    CString rateText;
    if (currentRateHz)
        rateText = SampleRateText(*currentRateHz);
    else
        rateText.Format("%s", LoadStringText(IDS_RATE_UNKNOWN).GetString());
    return LoadStringText(IDS_CURRENT_SAMPLE_RATE) + rateText;
}

uint32_t UsableModeCount(const _DEVICE_SYNC_MODE_INFO& info) {
    return std::min(info.ModeCount, VESK_MAX_SYNC_MODES);
}

int CurrentModeIndex(const _DEVICE_SYNC_MODE_INFO& info) {
    const uint32_t count = UsableModeCount(info);
    for (uint32_t i = 0; i < count; ++i)
        if (info.Modes[i].ModeId == info.CurrentMode.ModeId) return static_cast<int>(i);
    return -1;
}

bool ChooseSyncMode(_DEVICE_SYNC_MODE_INFO& info, int index) {
    if (index < 0 || static_cast<uint32_t>(index) >= UsableModeCount(info)) return false;
    std::memcpy(&info.CurrentMode, &info.Modes[index], sizeof info.CurrentMode);
    return true;
}

SampleRateChoice SampleRateChoices(const _VESK_SAMPLE_RATE_INFO& rates) {
    SampleRateChoice choice;
    const uint32_t count = std::min(rates.RateCount, VESK_MAX_RATES);
    for (uint32_t i = 0; i < count; ++i) {
        choice.entries.push_back({SampleRateText(rates.Rates[i]), rates.Rates[i]});
        if (choice.selected < 0 && rates.Rates[i] == rates.CurrentRate)
            choice.selected = static_cast<int>(i);
    }
    if (choice.selected < 0) {
        choice.entries.push_back({UnavailableSampleRateText(rates.CurrentRate), 0});
        choice.selected = static_cast<int>(choice.entries.size()) - 1;
    }
    return choice;
}

}  // namespace vesk
