#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/ChannelText.h"
#include "model/DeviceText.h"

namespace {

using namespace vesk;

TEST(ChannelText, AsioDisplayNameIsCutToThirtyTwoCharacters) {
    EXPECT_EQ(AsioDisplayName("Studio Box", "Analog 1", false), "Analog 1");
    EXPECT_EQ(AsioDisplayName("Studio Box", "Analog 1", true), "Studio Box - Analog 1");
    EXPECT_EQ(AsioDisplayName("", "In", true), " - In");

    const CString longChannel(std::string(39, 'c'));
    EXPECT_EQ(AsioDisplayName("Box", longChannel, false), std::string(32, 'c'));
    // The cut counts the device name and the separator too.
    EXPECT_EQ(AsioDisplayName("Twenty-eight characters long", "Out 1", true),
              "Twenty-eight characters long - O");
    EXPECT_EQ(AsioDisplayName(std::string(32, 'd'), "x", true), std::string(32, 'd'));
    // Names are shown as stored, never used as a format.
    EXPECT_EQ(AsioDisplayName("100% & co", "%s%n", true), "100% & co - %s%n");
}

TEST(ChannelText, HardwareNameFieldStartsWithASpaceAndStaysInItsField) {
    _VESK_CHANNEL_PROPERTIES channel{};
    std::strcpy(channel.HardwareName, "ADC 1/2 %d");
    EXPECT_EQ(HardwareNameText(channel), " ADC 1/2 %d");

    // A name without a zero byte ends at its field; the channel name after it is not read.
    std::memset(channel.HardwareName, 'h', sizeof channel.HardwareName);
    std::memset(channel.ChannelName, 'x', sizeof channel.ChannelName);
    EXPECT_EQ(HardwareNameText(channel), " " + std::string(40, 'h'));

    std::memset(channel.HardwareName, 0, sizeof channel.HardwareName);
    EXPECT_EQ(HardwareNameText(channel), " ");
}

TEST(DeviceText, CountPrecedesTheConnectedText) {
    EXPECT_EQ(DevicesConnectedText(2), "2 Device(s) connected.");
    EXPECT_EQ(DevicesConnectedText(0), "0 Device(s) connected.");
    EXPECT_EQ(DevicesConnectedText(64), "64 Device(s) connected.");
}

}  // namespace
