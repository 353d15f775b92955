// The settings file: every setting a user can change through the panel, as JSON (format
// "vesk-driver-settings", version 1; docs/settings-file.md). Devices are keyed by serial
// number, channels by their device, direction, hardware name and place among channels of the
// same hardware name, so that a file applies after the driver has handed out new identifiers.
// Every member but the format and version may be left out: what a file does not name is left
// as the driver holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/DriverSettings.h"

namespace vesk {

constexpr const char* kSettingsFormat = "vesk-driver-settings";
constexpr int kSettingsVersion = 1;
// A name field holds 39 bytes of the system's 8-bit text and a closing zero.
constexpr size_t kMaxNameLength = VESK_NAME_FIELD_SIZE - 1;
// Far above a full driver's file (about 85 KB): anything larger is refused before it is read.
constexpr size_t kMaxSettingsFileBytes = 4 * 1024 * 1024;

struct FileChannel {
    ChannelDirection direction = ChannelDirection::Input;
    std::string hardwareName;  // 8-bit text, as the driver holds it
    int occurrence = 0;
    std::string name;
    std::string where;  // "devices[0].inputs[3]", for messages
};

struct FileSyncMode {
    uint32_t type = 0;
    uint32_t id = 0;
};

struct FileDevice {
    std::string serial;  // may be empty: such an entry cannot be matched and is skipped
    std::optional<std::string> name;
    std::optional<uint32_t> rank;
    std::optional<FileSyncMode> syncMode;
    std::vector<FileChannel> channels;
    std::string where;
};

struct SettingsFile {
    std::optional<bool> asioNamesIncludeDevice;
    std::optional<std::string> clockMaster;  // "pc", or a device's serial number (may be empty)
    std::optional<bool> automaticRate;
    std::optional<uint32_t> sampleRate;
    std::optional<uint32_t> streamDepthUs;
    std::optional<uint32_t> asioDepthUs;
    std::optional<uint32_t> wdmDepthUs;
    std::vector<FileDevice> devices;
};

constexpr const char* kClockMasterPc = "pc";

// Reads a settings file from its bytes: UTF-8 with or without a byte-order mark, or UTF-16
// (little or big endian) with one. False with the entry and the reason in `error` (for example
// "devices[1].name: 41 bytes in code page 1252, at most 39") when it is not a valid file:
// another encoding (named), more than kMaxSettingsFileBytes, a member twice in one object.
// Texts are converted to the system's 8-bit text and must fit into it. Messages are UTF-8.
bool ParseSettingsFile(const std::string& bytes, SettingsFile& file, std::string& error);

// The driver's settings as a file (UTF-8, indented, a newline at the end). A device whose
// serial number is empty or carried by another connected device too cannot be told apart
// from the others by a file: it is left out (and a clock master among them with it), with a
// line for each in `unkeyed` when given.
std::string SettingsFileText(const DriverSettings& settings,
                             std::vector<std::string>* unkeyed = nullptr);

// Whether `name` (8-bit text) fits a device's or channel's name field: at most 39 bytes and
// no zero byte, as the panel's name boxes allow. False with the reason in `why`.
bool CheckName(const std::string& name, std::string& why);

// UTF-8 as the system's 8-bit text, refusing rather than replacing a character the code page
// cannot hold; `why` names it ("\xC5\x81 (U+0141), which code page 1252 cannot hold").
bool ToDriverText(const std::string& utf8, std::string& ansi, std::string& why);

// Whether a device can be found again by its serial number: not empty, and no other connected
// device carries it.
bool SerialIsKey(const DriverSettings& settings, const DeviceSettings& device);

}  // namespace vesk
