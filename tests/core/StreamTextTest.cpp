#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "model/StreamText.h"

namespace {

using namespace vesk;

_VESK_PLUG_INFO Plug(uint32_t state, std::initializer_list<uint32_t> rates) {
    _VESK_PLUG_INFO plug{};
    plug.State = state;
    for (uint32_t rate : rates) plug.Rates[plug.RateCount++] = rate;
    return plug;
}

TEST(StreamText, CellShowsOnlyConnectedAndFailedPlugs) {
    _VESK_PLUG_INFO plug = Plug(PLUG_STATE_CONNECTED, {48000});
    plug.StreamNumber = 63;
    EXPECT_EQ(PlugCellText(plug), "connected (63)");
    plug.StreamNumber = 0xFFFFFFFF;
    EXPECT_EQ(PlugCellText(plug), "connected (4294967295)");

    plug.State = PLUG_STATE_CONNECT_FAILED;
    plug.ErrorCode = 0xE0000072;
    EXPECT_EQ(PlugCellText(plug), "connect failed");

    for (uint32_t state : {0u, 1u, 2u, 5u, 0xFFFFFFFFu}) {
        plug.State = state;
        EXPECT_EQ(PlugCellText(plug), "") << state;
        EXPECT_EQ(PlugDetailText(plug, "AudioOutPlug"), "") << state;
    }
}

TEST(StreamText, RateListNamesRatesAndMarksTheCurrentOne) {
    EXPECT_EQ(SampleRateName(32000), "32000");
    EXPECT_EQ(SampleRateName(88200), "88200");
    EXPECT_EQ(SampleRateName(192000), "192000");
    EXPECT_EQ(SampleRateName(22050), "unknown  ");
    EXPECT_EQ(SampleRateName(0), "unknown  ");

    const _VESK_PLUG_INFO plug = Plug(PLUG_STATE_CONNECTED, {44100, 48000, 22050});
    EXPECT_EQ(SupportedRatesText(plug, 48000),
              "Supported sampling rates (Hz): 44100  [48000]  unknown    ");
    EXPECT_EQ(SupportedRatesText(plug, 96000),
              "Supported sampling rates (Hz): 44100  48000  unknown    ");
    EXPECT_EQ(SupportedRatesText(Plug(PLUG_STATE_CONNECTED, {}), 48000),
              "Supported sampling rates (Hz): ");
}

TEST(StreamText, RateCountPastTheRecordListsEightRates) {
    // Alone on the heap, so that reading a ninth rate would leave the allocation.
    auto plug = std::make_unique<_VESK_PLUG_INFO>();
    for (uint32_t& rate : plug->Rates) rate = 32000;
    plug->RateCount = 0x7FFFFFFF;
    std::string expected = "Supported sampling rates (Hz): ";
    for (int i = 0; i < 8; ++i) expected += "32000  ";
    EXPECT_EQ(SupportedRatesText(*plug, 0), expected);
}

TEST(StreamText, ErrorTextNamesTheCodeAndItsMeaning) {
    const struct {
        uint32_t code;
        const char* text;
    } known[] = {
        {0xE0000022, "Error code 0xE0000022: Negative response for an FCP request."},
        {0xE0000072, "Error code 0xE0000072: Channel allocation failed."},
        {0xE0000073, "Error code 0xE0000073: Bandwidth allocation failed."},
        {0xE0000074, "Error code 0xE0000074: ISO resource allocation failed."},
        {0xE0000076, "Error code 0xE0000076: Start streaming failed."},
        {0xE0000077, "Error code 0xE0000077: Channel number has changed because of bus reset."},
        {0xE0000080, "Error code 0xE0000080: Selected sampling rate not supported."},
    };
    for (const auto& entry : known) EXPECT_EQ(StreamErrorText(entry.code), entry.text);
    EXPECT_EQ(StreamErrorText(0xE00000AB), "Error code 0xE00000AB: ");
    EXPECT_EQ(StreamErrorText(0x1F), "Error code 0x0000001F: ");
    EXPECT_EQ(StreamErrorMessage(0xE0000075), "");
}

TEST(StreamText, PlugDetailsHaveThreeOrTwoIndentedLines) {
    _VESK_PLUG_INFO connected = Plug(PLUG_STATE_CONNECTED, {44100, 48000});
    connected.StreamNumber = 63;
    connected.CurrentRate = 48000;
    EXPECT_EQ(PlugDetailText(connected, "AudioOutPlug"),
              "AudioOutPlug: successfully connected\n"
              "   Isochronous stream number: 63\n"
              "   Supported sampling rates (Hz): 44100  [48000]  ");

    connected.RateCount = 0;
    EXPECT_EQ(PlugDetailText(connected, "SynchInPlug"),
              "SynchInPlug: successfully connected\n"
              "   Isochronous stream number: 63\n"
              "   Supported sampling rates (Hz): ");

    _VESK_PLUG_INFO failed = Plug(PLUG_STATE_CONNECT_FAILED, {44100, 48000});
    failed.ErrorCode = 0xE0000073;
    failed.CurrentRate = 48000;  // not read for a failed plug: no rate is marked
    EXPECT_EQ(PlugDetailText(failed, "AudioInPlug"),
              "AudioInPlug: connect failed (Error code 0xE0000073: Bandwidth allocation failed.)\n"
              "   Supported sampling rates (Hz): 44100  48000  ");
    failed.ErrorCode = 1;
    EXPECT_EQ(PlugDetailText(failed, "AudioInPlug"),
              "AudioInPlug: connect failed (Error code 0x00000001: )\n"
              "   Supported sampling rates (Hz): 44100  48000  ");
}

TEST(StreamText, DeviceDetailKeepsALineBreakBetweenEveryTwoPlugs) {
    _VESK_STREAM_INFO info{};
    EXPECT_EQ(StreamDetailText(info), "\n\n\n");

    info.Plugs[0] = Plug(PLUG_STATE_CONNECTED, {48000});
    info.Plugs[0].StreamNumber = 1;
    info.Plugs[0].CurrentRate = 48000;
    info.Plugs[1] = Plug(PLUG_STATE_CONNECT_FAILED, {});
    info.Plugs[1].ErrorCode = 0xE0000077;
    info.Plugs[3] = Plug(PLUG_STATE_CONNECTED, {});
    info.Plugs[3].StreamNumber = 2;
    EXPECT_EQ(StreamDetailText(info),
              "AudioOutPlug: successfully connected\n"
              "   Isochronous stream number: 1\n"
              "   Supported sampling rates (Hz): [48000]  \n"
              "AudioInPlug: connect failed (Error code 0xE0000077: Channel number has changed "
              "because of bus reset.)\n"
              "   Supported sampling rates (Hz): \n"
              "\n"
              "SynchInPlug: successfully connected\n"
              "   Isochronous stream number: 2\n"
              "   Supported sampling rates (Hz): ");
}

TEST(StreamText, OnlyTheAudioPlugsDecideTheSummary) {
    _VESK_STREAM_INFO info{};
    info.Plugs[0].State = PLUG_STATE_CONNECTED;
    info.Plugs[1].State = PLUG_STATE_CONNECTED;
    info.Plugs[2].State = PLUG_STATE_CONNECT_FAILED;
    EXPECT_TRUE(IsDeviceStreaming(info));
    info.Plugs[1].State = PLUG_STATE_CONNECT_FAILED;
    EXPECT_FALSE(IsDeviceStreaming(info));
    info.Plugs[1].State = PLUG_STATE_CONNECTED;
    info.Plugs[0].State = 0;
    EXPECT_FALSE(IsDeviceStreaming(info));

    EXPECT_EQ(StreamsSummaryText(0, true), "no streams available");
    EXPECT_EQ(StreamsSummaryText(0, false), "no streams available");
    EXPECT_EQ(StreamsSummaryText(2, true), "streaming");
    EXPECT_EQ(StreamsSummaryText(1, false), "connect failed");
}

}  // namespace
