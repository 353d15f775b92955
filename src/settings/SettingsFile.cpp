#include "settings/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <set>
#include <stdexcept>
#include <tuple>

#include "model/SyncText.h"
#include "os/TextEncoding.h"

namespace vesk {

namespace {

using Json = nlohmann::ordered_json;

struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const std::string kTop;

[[noreturn]] void Refuse(const std::string& where, const std::string& why) {
    throw FileError(where.empty() ? why : where + ": " + why);
}

// The members of an object, refusing any it may not have (a misspelt member would otherwise
// be left out without a word).
const Json& Object(const Json& value, const std::string& where,
                   std::initializer_list<const char*> known) {
    if (!value.is_object()) Refuse(where, "not an object");
    for (auto it = value.begin(); it != value.end(); ++it) {
        bool isKnown = false;
        for (const char* name : known) isKnown = isKnown || it.key() == name;
        if (!isKnown) Refuse(where, "unknown member \"" + it.key() + "\"");
    }
    return value;
}

std::string Path(const std::string& where, const char* member) {
    return where.empty() ? member : where + "." + member;
}

// Where a value is, put together only when a complaint needs it: a file of a full driver has
// thousands of values, and nearly every file is valid.
struct At {
    const std::string& where;
    const char* member;
    std::string Text() const { return Path(where, member); }
};

uint32_t ReadU32(const Json& value, const At& at) {
    if (!value.is_number_integer()) Refuse(at.Text(), "not a whole number");
    if (value.is_number_unsigned()) {
        const auto number = value.get<uint64_t>();
        if (number > UINT32_MAX) Refuse(at.Text(), "too large");
        return static_cast<uint32_t>(number);
    }
    const auto number = value.get<int64_t>();
    if (number < 0) Refuse(at.Text(), "negative");
    if (number > static_cast<int64_t>(UINT32_MAX)) Refuse(at.Text(), "too large");
    return static_cast<uint32_t>(number);
}

// A text of the file in the system's 8-bit text.
std::string ReadText(const Json& value, const At& at) {
    if (!value.is_string()) Refuse(at.Text(), "not a text");
    std::string ansi;
    if (!os::Utf8ToAnsi(value.get_ref<const std::string&>(), &ansi))
        Refuse(at.Text(), "a character this system's 8-bit text cannot hold");
    return ansi;
}

std::string ReadName(const Json& value, const At& at) {
    std::string name = ReadText(value, at);
    std::string why;
    if (!CheckName(name, why)) Refuse(at.Text(), why);
    return name;
}

void ReadChannels(const Json& list, ChannelDirection direction, const std::string& where,
                  FileDevice& device, std::set<std::tuple<int, std::string, int>>& keys) {
    if (!list.is_array()) Refuse(where, "not a list");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        const Json& entry = Object(list[i], at, {"hardwareName", "occurrence", "name"});
        FileChannel channel;
        channel.direction = direction;
        channel.where = at;
        if (!entry.contains("hardwareName")) Refuse(at, "no hardwareName");
        channel.hardwareName = ReadText(entry["hardwareName"], At{at, "hardwareName"});
        if (entry.contains("occurrence")) {
            const uint32_t occurrence = ReadU32(entry["occurrence"], At{at, "occurrence"});
            if (occurrence >= VESK_MAX_CHANNELS) Refuse(Path(at, "occurrence"), "too large");
            channel.occurrence = static_cast<int>(occurrence);
        }
        if (!entry.contains("name")) Refuse(at, "no name");
        channel.name = ReadName(entry["name"], At{at, "name"});
        if (!keys.insert({static_cast<int>(direction), channel.hardwareName, channel.occurrence})
                 .second)
            Refuse(at, "the same channel a second time");
        device.channels.push_back(channel);
    }
}

void ReadDevices(const Json& list, SettingsFile& file) {
    if (!list.is_array()) Refuse("devices", "not a list");
    if (list.size() > VESK_MAX_DEVICES) Refuse("devices", "more devices than a driver can have");
    std::set<std::string> serials;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string at = "devices[" + std::to_string(i) + "]";
        const Json& entry =
            Object(list[i], at, {"serial", "name", "rank", "syncMode", "inputs", "outputs"});
        FileDevice device;
        device.where = at;
        if (!entry.contains("serial")) Refuse(at, "no serial");
        device.serial = ReadText(entry["serial"], At{at, "serial"});
        if (device.serial.empty()) Refuse(Path(at, "serial"), "empty");
        if (!serials.insert(device.serial).second)
            Refuse(Path(at, "serial"), "the same device a second time");
        if (entry.contains("name")) device.name = ReadName(entry["name"], At{at, "name"});
        if (entry.contains("rank")) device.rank = ReadU32(entry["rank"], At{at, "rank"});
        if (entry.contains("syncMode")) {
            const std::string modeAt = Path(at, "syncMode");
            const Json& mode = Object(entry["syncMode"], modeAt, {"type", "id", "text"});
            if (!mode.contains("type") || !mode.contains("id")) Refuse(modeAt, "no type or id");
            device.syncMode = FileSyncMode{ReadU32(mode["type"], At{modeAt, "type"}),
                                           ReadU32(mode["id"], At{modeAt, "id"})};
        }
        std::set<std::tuple<int, std::string, int>> keys;
        if (entry.contains("inputs"))
            ReadChannels(entry["inputs"], ChannelDirection::Input, Path(at, "inputs"), device,
                         keys);
        if (entry.contains("outputs"))
            ReadChannels(entry["outputs"], ChannelDirection::Output, Path(at, "outputs"), device,
                         keys);
        file.devices.push_back(device);
    }
}

void ReadFile(const Json& document, SettingsFile& file) {
    const Json& top = Object(document, "",
                             {"format", "version", "asioNamesIncludeDevice", "clockMaster",
                              "sampleRateMode", "sampleRate", "bufferDepths", "devices"});
    if (!top.contains("format") || top["format"] != kSettingsFormat)
        Refuse("format", std::string("not \"") + kSettingsFormat + "\": not a settings file");
    if (!top.contains("version")) Refuse("version", "missing");
    const uint32_t version = ReadU32(top["version"], At{kTop, "version"});
    if (version != kSettingsVersion)
        Refuse("version", std::to_string(version) + " is not " + std::to_string(kSettingsVersion) +
                              (version > kSettingsVersion ? ": made by a newer program" : ""));
    if (top.contains("asioNamesIncludeDevice")) {
        if (!top["asioNamesIncludeDevice"].is_boolean())
            Refuse("asioNamesIncludeDevice", "not true or false");
        file.asioNamesIncludeDevice = top["asioNamesIncludeDevice"].get<bool>();
    }
    if (top.contains("clockMaster")) {
        file.clockMaster = ReadText(top["clockMaster"], At{kTop, "clockMaster"});
        if (file.clockMaster->empty()) Refuse("clockMaster", "empty");
    }
    if (top.contains("sampleRateMode")) {
        const std::string mode = ReadText(top["sampleRateMode"], At{kTop, "sampleRateMode"});
        if (mode != "manual" && mode != "automatic")
            Refuse("sampleRateMode", "not \"manual\" or \"automatic\"");
        file.automaticRate = mode == "automatic";
    }
    if (top.contains("sampleRate"))
        file.sampleRate = ReadU32(top["sampleRate"], At{kTop, "sampleRate"});
    if (top.contains("bufferDepths")) {
        const Json& depths =
            Object(top["bufferDepths"], "bufferDepths", {"streamUs", "asioUs", "wdmUs"});
        if (depths.contains("streamUs"))
            file.streamDepthUs = ReadU32(depths["streamUs"], At{kTop, "bufferDepths.streamUs"});
        if (depths.contains("asioUs"))
            file.asioDepthUs = ReadU32(depths["asioUs"], At{kTop, "bufferDepths.asioUs"});
        if (depths.contains("wdmUs"))
            file.wdmDepthUs = ReadU32(depths["wdmUs"], At{kTop, "bufferDepths.wdmUs"});
    }
    if (top.contains("devices")) ReadDevices(top["devices"], file);
}

// A JSON string of 8-bit text: converted to UTF-8, with what JSON must escape escaped.
void AppendString(std::string& text, const std::string& ansi) {
    static const char kHex[] = "0123456789abcdef";
    text += '"';
    for (const char c : os::AnsiToUtf8(ansi)) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20) {
            text += "\\u00";
            text += kHex[byte >> 4];
            text += kHex[byte & 15];
        } else {
            text += c;
        }
    }
    text += '"';
}

void AppendChannels(std::string& text, const DriverSettings& settings, const DeviceSettings& device,
                    ChannelDirection direction) {
    text += direction == ChannelDirection::Input ? "      \"inputs\": [" : "      \"outputs\": [";
    bool first = true;
    for (const ChannelSettings& channel : settings.channels) {
        if (channel.record.DeviceId != device.record.DeviceId || channel.direction != direction)
            continue;
        text += first ? "\n        {\n          \"hardwareName\": "
                      : ",\n        {\n          \"hardwareName\": ";
        first = false;
        AppendString(text, channel.HardwareName());
        text += ",\n          \"occurrence\": " + std::to_string(channel.occurrence) +
                ",\n          \"name\": ";
        AppendString(text, channel.Name());
        text += "\n        }";
    }
    text += first ? "]" : "\n      ]";
}

}  // namespace

bool CheckName(const std::string& name, std::string& why) {
    if (name.size() > kMaxNameLength) {
        why =
            std::to_string(name.size()) + " characters, at most " + std::to_string(kMaxNameLength);
        return false;
    }
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            why = "a control character";
            return false;
        }
    }
    return true;
}

bool ParseSettingsFile(const std::string& text, SettingsFile& file, std::string& error) {
    file = SettingsFile{};
    try {
        ReadFile(Json::parse(text), file);
        return true;
    } catch (const Json::parse_error& e) {
        error = std::string("not JSON: ") + e.what();
    } catch (const FileError& e) {
        error = e.what();
    } catch (const std::exception& e) {
        error = e.what();
    }
    file = SettingsFile{};
    return false;
}

std::string SettingsFileText(const DriverSettings& settings) {
    // Written directly rather than built as a document: a full driver's file is written in a
    // fraction of the time, which is what a script that backs up often notices.
    std::string text;
    text.reserve(1024 + settings.channels.size() * 96);
    text += "{\n  \"format\": \"";
    text += kSettingsFormat;
    text += "\",\n  \"version\": " + std::to_string(kSettingsVersion) + ",\n";
    text += std::string("  \"asioNamesIncludeDevice\": ") +
            (settings.asioNameIncludesDevice != 0 ? "true" : "false") + ",\n";
    // A device master the driver names but does not list cannot be keyed: the file leaves the
    // clock master out rather than name the wrong one.
    const DeviceSettings* master = settings.clockMaster.MasterType == 0
                                       ? nullptr
                                       : settings.DeviceById(settings.clockMaster.MasterDeviceId);
    if (settings.clockMaster.MasterType == 0 || master != nullptr) {
        text += "  \"clockMaster\": ";
        AppendString(text, master ? master->Serial() : kClockMasterPc);
        text += ",\n";
    }
    text += std::string("  \"sampleRateMode\": \"") +
            (settings.sampleRateMode != 0 ? "automatic" : "manual") + "\",\n";
    text += "  \"sampleRate\": " + std::to_string(settings.sampleRates.CurrentRate) + ",\n";
    text +=
        "  \"bufferDepths\": {\n    \"streamUs\": " + std::to_string(settings.streamDepth.Current) +
        ",\n    \"asioUs\": " + std::to_string(settings.asioDepth.Current) +
        ",\n    \"wdmUs\": " + std::to_string(settings.wdmDepth.Current) + "\n  },\n";
    text += "  \"devices\": [";
    for (size_t d = 0; d < settings.devices.size(); ++d) {
        const DeviceSettings& device = settings.devices[d];
        text += d ? ",\n    {\n      \"serial\": " : "\n    {\n      \"serial\": ";
        AppendString(text, device.Serial());
        text += ",\n      \"name\": ";
        AppendString(text, device.Name());
        text += ",\n      \"rank\": " + std::to_string(device.record.Rank) + ",\n";
        if (device.hasSyncInfo) {
            const _DEVICE_SYNC_MODE& mode = device.sync.CurrentMode;
            text += "      \"syncMode\": {\n        \"type\": " + std::to_string(mode.SyncType) +
                    ",\n        \"id\": " + std::to_string(mode.ModeId) + ",\n        \"text\": ";
            AppendString(text, SyncModeText(mode).GetString());
            text += "\n      },\n";
        }
        AppendChannels(text, settings, device, ChannelDirection::Input);
        text += ",\n";
        AppendChannels(text, settings, device, ChannelDirection::Output);
        text += "\n    }";
    }
    text += settings.devices.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

}  // namespace vesk
