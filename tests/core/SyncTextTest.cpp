#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "model/SyncText.h"

namespace {

using namespace vesk;

_DEVICE_SYNC_MODE Mode(uint32_t syncType, uint32_t modeId, const char* name) {
    _DEVICE_SYNC_MODE mode{};
    mode.SyncType = syncType;
    mode.ModeId = modeId;
    std::strncpy(mode.ModeName, name, sizeof mode.ModeName - 1);
    return mode;
}

TEST(SyncText, TypeAndClockMasterTextsFollowTheirTables) {
    const char* expected[] = {"Unspecified",    "CSP",     "SYT", "SYT", "Digital Input",
                              "External Clock", "Internal"};
    for (uint32_t type = 0; type < 7; ++type) EXPECT_EQ(SyncTypeText(type), expected[type]);
    EXPECT_EQ(SyncTypeText(7), "");
    EXPECT_EQ(SyncTypeText(0xFFFFFFFF), "");

    EXPECT_EQ(ClockMasterText(0), "Internal");
    EXPECT_EQ(ClockMasterText(1), "External");
    EXPECT_EQ(ClockMasterText(2), "");
}

TEST(SyncText, ModeTextAddsTheNameInParentheses) {
    EXPECT_EQ(SyncModeText(Mode(2, 0, "x")), "SYT (x)");
    EXPECT_EQ(SyncModeText(Mode(2, 0, "")), "SYT");
    EXPECT_EQ(SyncModeText(Mode(5, 0, "BNC")), "External Clock (BNC)");
    // An unknown type keeps the name, so the text begins with the blank.
    EXPECT_EQ(SyncModeText(Mode(9, 0, "ADAT")), " (ADAT)");
    EXPECT_EQ(SyncModeText(Mode(9, 0, "")), "");
    // Names are shown as stored, never used as a format.
    EXPECT_EQ(SyncModeText(Mode(1, 0, "%s %n 100%")), "CSP (%s %n 100%)");
}

TEST(SyncText, ModeNameWithoutZeroByteIsReadWithinItsField) {
    // Alone on the heap, so that reading past the name would leave the allocation.
    auto mode = std::make_unique<_DEVICE_SYNC_MODE>();
    mode->SyncType = 1;
    std::memset(mode->ModeName, 'n', sizeof mode->ModeName);
    EXPECT_EQ(SyncModeText(*mode), "CSP (" + std::string(40, 'n') + ")");
}

TEST(SyncText, RateTextsTruncateToOneDecimal) {
    EXPECT_EQ(SampleRateText(44100), "44.1 kHz");
    EXPECT_EQ(SampleRateText(48000), "48.0 kHz");
    EXPECT_EQ(SampleRateText(176400), "176.4 kHz");
    EXPECT_EQ(SampleRateText(22050), "22.0 kHz");
    EXPECT_EQ(SampleRateText(999), "0.9 kHz");
    EXPECT_EQ(SampleRateText(0), "0.0 kHz");
    // Divided without sign: a rate above 2^31 is not shown negative.
    EXPECT_EQ(SampleRateText(0xFFFFFFFF), "4294967.2 kHz");
    EXPECT_EQ(UnavailableSampleRateText(44100), "44.1 kHz (unavailable)");

    EXPECT_EQ(SampleRatePaneText(48000u), "Current sampling rate: 48.0 kHz");
    EXPECT_EQ(SampleRatePaneText(std::nullopt), "Current sampling rate: unknown");
}

TEST(SyncText, CurrentModeIsFoundByModeIdAmongUsableEntries) {
    auto info = std::make_unique<_DEVICE_SYNC_MODE_INFO>();
    info->ModeCount = 3;
    info->Modes[0] = Mode(1, 10, "a");
    info->Modes[1] = Mode(2, 20, "b");
    info->Modes[2] = Mode(3, 20, "c");
    info->Modes[3] = Mode(4, 30, "beyond the count");

    info->CurrentMode = Mode(0, 20, "");
    EXPECT_EQ(CurrentModeIndex(*info), 1) << "the first of two equal ids";
    info->CurrentMode.ModeId = 30;
    EXPECT_EQ(CurrentModeIndex(*info), -1) << "entries past ModeCount are not modes";
    info->CurrentMode.ModeId = 10;
    info->ModeCount = 0;
    EXPECT_EQ(CurrentModeIndex(*info), -1);

    // A count past the record's 16 entries is bounded to them.
    info->ModeCount = 0xFFFFFFFF;
    info->CurrentMode.ModeId = 99;
    EXPECT_EQ(CurrentModeIndex(*info), -1);
    info->Modes[15] = Mode(6, 99, "last");
    EXPECT_EQ(CurrentModeIndex(*info), 15);
    EXPECT_EQ(UsableModeCount(*info), 16u);
}

TEST(SyncText, ChoosingAModeCopiesTheWholeEntry) {
    _DEVICE_SYNC_MODE_INFO info{};
    info.ModeCount = 2;
    info.Modes[0] = Mode(2, 7, "first");
    info.Modes[1] = Mode(3, 8, "second");
    info.CurrentMode = Mode(5, 1, "a longer old name that must vanish");

    ASSERT_TRUE(ChooseSyncMode(info, 1));
    EXPECT_EQ(std::memcmp(&info.CurrentMode, &info.Modes[1], sizeof info.CurrentMode), 0);
    EXPECT_EQ(SyncModeText(info.CurrentMode), "SYT (second)");

    const _DEVICE_SYNC_MODE before = info.CurrentMode;
    EXPECT_FALSE(ChooseSyncMode(info, -1));
    EXPECT_FALSE(ChooseSyncMode(info, 2));
    EXPECT_FALSE(ChooseSyncMode(info, 16));
    EXPECT_EQ(std::memcmp(&info.CurrentMode, &before, sizeof before), 0);
}

TEST(SyncText, RateChoicesSelectTheCurrentRateOrAddTheUnavailableEntry) {
    _VESK_SAMPLE_RATE_INFO rates{};
    rates.RateCount = 3;
    rates.Rates[0] = 44100;
    rates.Rates[1] = 48000;
    rates.Rates[2] = 96000;
    rates.CurrentRate = 48000;

    SampleRateChoice choice = SampleRateChoices(rates);
    ASSERT_EQ(choice.entries.size(), 3u);
    EXPECT_EQ(choice.selected, 1);
    EXPECT_EQ(choice.entries[0].text, "44.1 kHz");
    EXPECT_EQ(choice.entries[2].text, "96.0 kHz");
    EXPECT_EQ(choice.entries[2].itemData, 96000u);

    rates.CurrentRate = 22050;
    choice = SampleRateChoices(rates);
    ASSERT_EQ(choice.entries.size(), 4u);
    EXPECT_EQ(choice.selected, 3);
    EXPECT_EQ(choice.entries[3].text, "22.0 kHz (unavailable)");
    EXPECT_EQ(choice.entries[3].itemData, 0u);

    rates.RateCount = 0;
    choice = SampleRateChoices(rates);
    ASSERT_EQ(choice.entries.size(), 1u);
    EXPECT_EQ(choice.selected, 0);
    EXPECT_EQ(choice.entries[0].itemData, 0u);

    // At most the eight rates the record holds; the first equal entry is the selected one.
    for (uint32_t i = 0; i < VESK_MAX_RATES; ++i) rates.Rates[i] = 32000 + 1000 * (i % 4);
    rates.RateCount = 1000;
    rates.CurrentRate = 34000;
    choice = SampleRateChoices(rates);
    EXPECT_EQ(choice.entries.size(), 8u);
    EXPECT_EQ(choice.selected, 2);
}

}  // namespace
