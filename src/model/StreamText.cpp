#include "model/StreamText.h"

#include <algorithm>

#include "res/StringIds.h"

namespace vesk {

namespace {

struct NamedRate {
    uint32_t hz;
    const char* name;
};

constexpr NamedRate kNamedRates[] = {
    {32000, "32000"}, {44100, "44100"},   {48000, "48000"},   {88200, "88200"},
    {96000, "96000"}, {176400, "176400"}, {192000, "192000"},
};

struct ErrorMessage {
    uint32_t code;
    uint32_t textId;
};

constexpr ErrorMessage kErrorMessages[] = {
    {0xE0000022, IDS_ERR_FCP_NEGATIVE_RESPONSE}, {0xE0000072, IDS_ERR_CHANNEL_ALLOCATION},
    {0xE0000073, IDS_ERR_BANDWIDTH_ALLOCATION},  {0xE0000074, IDS_ERR_ISO_RESOURCE_ALLOCATION},
    {0xE0000076, IDS_ERR_START_STREAMING},       {0xE0000077, IDS_ERR_CHANNEL_NUMBER_CHANGED},
    {0xE0000080, IDS_ERR_RATE_NOT_SUPPORTED},
};

constexpr uint32_t kDetailLabels[VESK_PLUG_COUNT] = {
    IDS_DETAIL_AUDIO_OUT_PLUG,
    IDS_DETAIL_AUDIO_IN_PLUG,
    IDS_DETAIL_SYNCH_OUT_PLUG,
    IDS_DETAIL_SYNCH_IN_PLUG,
};

constexpr const char* kIndent = "\n   ";

}  // namespace

CString PlugCellText(const _VESK_PLUG_INFO& plug) {
    if (plug.State == PLUG_STATE_CONNECTED) {
        CString number;
        number.Format(" (%u)", static_cast<unsigned>(plug.StreamNumber));
        return LoadStringText(IDS_PLUG_CONNECTED) + number;
    }
    if (plug.State == PLUG_STATE_CONNECT_FAILED) return LoadStringText(IDS_PLUG_CONNECT_FAILED);
    return CString();
}

CString SampleRateName(uint32_t rateHz) {
    for (const NamedRate& rate : kNamedRates)
        if (rate.hz == rateHz) return rate.name;
    return LoadStringText(IDS_RATE_UNKNOWN) + "  ";
}

CString SupportedRatesText(const _VESK_PLUG_INFO& plug, uint32_t markedRateHz) {
    CString text = LoadStringText(IDS_SUPPORTED_RATES);
    const uint32_t count = std::min(plug.RateCount, VESK_MAX_PLUG_RATES);
    for (uint32_t i = 0; i < count; ++i) {
        const bool marked = plug.Rates[i] == markedRateHz;
        if (marked) text += "[";
        text += SampleRateName(plug.Rates[i]);
        if (marked) text += "]";
        text += "  ";
    }
    return text;
}

CString StreamErrorMessage(uint32_t errorCode) {
    for (const ErrorMessage& message : kErrorMessages)
        if (message.code == errorCode) return LoadStringText(message.textId);
    return CString();
}

CString StreamErrorText(uint32_t errorCode) {
    CString text;
    text.Format(LoadStringText(IDS_FMT_ERROR_CODE), LoadStringText(IDS_ERROR_CODE).GetString(),
                static_cast<unsigned>(errorCode), StreamErrorMessage(errorCode).GetString());
    return text;
}

CString PlugDetailText(const _VESK_PLUG_INFO& plug, const CString& label) {
    CString text;
    if (plug.State == PLUG_STATE_CONNECTED) {
        CString number;
        number.Format("%d", static_cast<int>(plug.StreamNumber));
        text = label + ": " + LoadStringText(IDS_PLUG_SUCCESSFULLY_CONNECTED);
        text += kIndent;
        text += LoadStringText(IDS_PLUG_STREAM_NUMBER) + ": " + number;
        text += kIndent;
        text += SupportedRatesText(plug, plug.CurrentRate);
    } else if (plug.State == PLUG_STATE_CONNECT_FAILED) {
        CString reason;
        reason.Format(" (%s)", StreamErrorText(plug.ErrorCode).GetString());
        text = label + ": " + LoadStringText(IDS_PLUG_CONNECT_FAILED) + reason;
        text += kIndent;
        // A failed plug has no current rate: 0 marks none of the usual rates.
        text += SupportedRatesText(plug, 0);
    }
    return text;
}

CString StreamDetailText(const _VESK_STREAM_INFO& info) {
    CString text;
    for (uint32_t i = 0; i < VESK_PLUG_COUNT; ++i) {
        if (i > 0) text += "\n";
        text += PlugDetailText(info.Plugs[i], LoadStringText(kDetailLabels[i]));
    }
    return text;
}

bool IsDeviceStreaming(const _VESK_STREAM_INFO& info) {
    return info.Plugs[0].State == PLUG_STATE_CONNECTED &&
           info.Plugs[1].State == PLUG_STATE_CONNECTED;
}

CString StreamsSummaryText(int rowCount, bool allStreaming) {
    if (rowCount <= 0) return LoadStringText(IDS_STREAMS_NONE);
    return LoadStringText(allStreaming ? IDS_STREAMS_STREAMING : IDS_STREAMS_CONNECT_FAILED);
}

}  // namespace vesk
