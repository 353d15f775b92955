#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "driver/DeviceRecords.h"
#include "driver/SyncRecords.h"
#include "model/TextField.h"

namespace {

using vesk::CopyNameIntoField;
using vesk::FieldLength;
using vesk::FieldText;

TEST(TextField, ReadsUpToZeroOrFieldEnd) {
    // The byte after the field is a guard: a reader that runs past the end would pick it up.
    struct {
        char field[8];
        char guard[4];
    } record;
    std::memcpy(record.field, "ab\0cdefg", 8);
    std::memcpy(record.guard, "XYZ", 4);
    EXPECT_EQ(FieldLength(record.field, 8), 2u);
    EXPECT_EQ(FieldText(record.field), "ab");

    std::memcpy(record.field, "abcdefgh", 8);
    EXPECT_EQ(FieldLength(record.field, 8), 8u);
    EXPECT_EQ(FieldText(record.field), "abcdefgh");

    record.field[0] = '\0';
    EXPECT_EQ(FieldText(record.field), "");
    EXPECT_EQ(FieldText(nullptr, 8), "");
}

TEST(TextField, ReadsEveryNameOfTheRecordsWithinItsBounds) {
    _VESK_DEVICE_PROPERTIES device;
    std::memset(&device, 'D', sizeof device);
    EXPECT_EQ(FieldText(device.DeviceName), std::string(40, 'D').c_str());
    // The serial number is read within its 384 bytes, never into memory after the record.
    EXPECT_EQ(FieldText(device.SerialNumber).GetLength(), 384);
    std::memcpy(device.SerialNumber, "SN-1\0", 5);
    EXPECT_EQ(FieldText(device.SerialNumber), "SN-1");

    _VESK_CHANNEL_PROPERTIES channel;
    std::memset(&channel, 'C', sizeof channel);
    std::memcpy(channel.HardwareName, "Analog In 1", 12);
    EXPECT_EQ(FieldText(channel.HardwareName), "Analog In 1");
    // ChannelName is the record's last field: without a zero it ends at byte 91.
    EXPECT_EQ(FieldText(channel.ChannelName).GetLength(), 40);

    _DEVICE_SYNC_MODE mode;
    std::memset(&mode, 'M', sizeof mode);
    EXPECT_EQ(FieldText(mode.ModeName).GetLength(), 40);
    // 8-bit characters above 0x7f are text, not terminators.
    std::memcpy(mode.ModeName, "\xB5s\0", 3);
    EXPECT_EQ(FieldText(mode.ModeName), "\xB5s");
}

TEST(TextField, ADoubleByteNameIsCutBetweenCharacters) {
    // 20 Japanese characters in code page 932 are 40 bytes: the 20th does not fit the 39.
    std::string japanese;
    for (int i = 0; i < 20; ++i) japanese += "\x83\x5C";  // "ソ": its second byte is a backslash
    char field[40];
    CopyNameIntoField(field, japanese.c_str(), 932);
    EXPECT_EQ(FieldText(field), japanese.substr(0, 38).c_str());
    // One-byte half-width katakana (0xA1-0xDF) are characters of their own.
    const std::string mixed = std::string(38, 'a') + "\xB1\x83\x5C";
    CopyNameIntoField(field, mixed.c_str(), 932);
    EXPECT_EQ(FieldText(field), (std::string(38, 'a') + "\xB1").c_str());
    // In GBK the same bytes are pairs as well; in code page 1252 every byte is a character.
    const std::string chinese = std::string(37, 'a') + "\xD6\xD0";
    CopyNameIntoField(field, (chinese + "\xCE\xC4").c_str(), 936);
    EXPECT_EQ(FieldText(field), chinese.c_str());
    CopyNameIntoField(field, japanese.c_str(), 1252);
    EXPECT_EQ(FieldText(field), japanese.substr(0, 39).c_str());
}

TEST(TextField, RenameCopyBoundsTheNameAndKeepsLaterBytes) {
    char field[40];
    std::memset(field, '#', sizeof field);
    CopyNameIntoField(field, "Desk");
    EXPECT_EQ(std::memcmp(field, "Desk\0", 5), 0);
    for (int i = 5; i < 39; ++i) EXPECT_EQ(field[i], '#') << "byte " << i;
    EXPECT_EQ(field[39], '\0');

    const std::string exact(39, 'e');
    std::memset(field, '#', sizeof field);
    CopyNameIntoField(field, exact.c_str());
    EXPECT_EQ(FieldText(field), exact.c_str());
    EXPECT_EQ(field[39], '\0');

    const std::string tooLong = std::string(39, 'l') + "XYZ";
    CopyNameIntoField(field, tooLong.c_str());
    EXPECT_EQ(FieldText(field), std::string(39, 'l').c_str());
    EXPECT_EQ(field[39], '\0');

    std::memset(field, '#', sizeof field);
    CopyNameIntoField(field, "");
    EXPECT_EQ(field[0], '\0');
    EXPECT_EQ(field[1], '#');
    CopyNameIntoField(field, nullptr);
    EXPECT_EQ(field[0], '\0');
}

TEST(TextField, RenamingARecordChangesOnlyItsName) {
    _VESK_DEVICE_PROPERTIES device;
    for (size_t i = 0; i < sizeof device; ++i)
        reinterpret_cast<unsigned char*>(&device)[i] = static_cast<unsigned char>(i * 7 + 1);
    _VESK_DEVICE_PROPERTIES before = device;
    CopyNameIntoField(device.DeviceName, "Studio");
    const auto* now = reinterpret_cast<const unsigned char*>(&device);
    const auto* was = reinterpret_cast<const unsigned char*>(&before);
    EXPECT_EQ(std::memcmp(now, was, 8), 0);                   // DeviceId, Rank
    EXPECT_EQ(std::memcmp(now + 8 + 7, was + 8 + 7, 32), 0);  // name bytes after the zero
    EXPECT_EQ(now[47], 0);                                    // last byte of the name
    EXPECT_EQ(std::memcmp(now + 48, was + 48, 432 - 48), 0);  // serial and the rest

    _VESK_CHANNEL_PROPERTIES channel;
    std::memset(&channel, 0x5A, sizeof channel);
    _VESK_CHANNEL_PROPERTIES channelBefore = channel;
    CopyNameIntoField(channel.ChannelName, std::string(60, 'n').c_str());
    EXPECT_EQ(std::memcmp(&channel, &channelBefore, 52), 0);
    EXPECT_EQ(reinterpret_cast<const unsigned char*>(&channel)[91], 0);
    EXPECT_EQ(FieldText(channel.ChannelName).GetLength(), 39);
}

}  // namespace
