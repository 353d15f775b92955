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
// A name field holds 39 characters and a closing zero.
constexpr size_t kMaxNameLength = VESK_NAME_FIELD_SIZE - 1;

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
    std::string serial;
    std::optional<std::string> name;
    std::optional<uint32_t> rank;
    std::optional<FileSyncMode> syncMode;
    std::vector<FileChannel> channels;
    std::string where;
};

struct SettingsFile {
    std::optional<bool> asioNamesIncludeDevice;
    std::optional<std::string> clockMaster;  // "pc", or a device's serial number
    std::optional<bool> automaticRate;
    std::optional<uint32_t> sampleRate;
    std::optional<uint32_t> streamDepthUs;
    std::optional<uint32_t> asioDepthUs;
    std::optional<uint32_t> wdmDepthUs;
    std::vector<FileDevice> devices;
};

constexpr const char* kClockMasterPc = "pc";

// Reads a settings file. False with the entry and the reason in `error` (for example
// "devices[1].name: 41 characters, at most 39") when the text is not a valid file; names are
// converted from UTF-8 to the system's 8-bit text and must fit into it.
bool ParseSettingsFile(const std::string& text, SettingsFile& file, std::string& error);

// The driver's settings as a file (UTF-8, indented, a newline at the end).
std::string SettingsFileText(const DriverSettings& settings);

// Whether `name` can be a device or channel name: 8-bit text of at most 39 characters without
// control characters. False with the reason in `why`.
bool CheckName(const std::string& name, std::string& why);

}  // namespace vesk
