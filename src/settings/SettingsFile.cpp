#include "settings/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <map>
#include <set>
#include <stdexcept>
#include <tuple>
#include <vector>

#include "base/Unicode.h"
#include "model/SyncText.h"
#include "os/TextEncoding.h"
#include "settings/SettingsEncoding.h"

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
    std::string why;
    if (!ToDriverText(value.get_ref<const std::string&>(), ansi, why)) Refuse(at.Text(), why);
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
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string at = "devices[" + std::to_string(i) + "]";
        const Json& entry =
            Object(list[i], at, {"serial", "name", "rank", "syncMode", "inputs", "outputs"});
        FileDevice device;
        device.where = at;
        if (!entry.contains("serial")) Refuse(at, "no serial");
        // An empty serial, or one named twice, cannot be matched: the import skips such
        // entries with a word each, as it does devices that are not connected.
        device.serial = ReadText(entry["serial"], At{at, "serial"});
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
    // The driver counts bytes, and so does the panel's name box in the 8-bit API; control
    // characters are what the driver may hold already and what a name box lets through.
    if (name.size() > kMaxNameLength) {
        why = std::to_string(name.size()) + " bytes in " + os::AnsiCodePageName() + ", at most " +
              std::to_string(kMaxNameLength);
        return false;
    }
    if (name.find('\0') != std::string::npos) {
        why = "a zero character, which would end the name";
        return false;
    }
    return true;
}

bool ToDriverText(const std::string& utf8, std::string& ansi, std::string& why) {
    if (os::Utf8ToAnsi(utf8, &ansi)) return true;
    ansi.clear();
    const size_t valid = Utf8ValidPrefix(utf8);
    if (valid < utf8.size()) {
        why = "not UTF-8 text";
        return false;
    }
    // Found one character at a time only now: nearly every text converts whole.
    std::string one;
    for (size_t i = 0; i < utf8.size();
         i += Utf8CharacterSize(static_cast<unsigned char>(utf8[i]))) {
        const std::string character =
            utf8.substr(i, Utf8CharacterSize(static_cast<unsigned char>(utf8[i])));
        if (!os::Utf8ToAnsi(character, &one)) {
            why = DescribeUtf8Character(utf8, i) + ", which " + os::AnsiCodePageName() +
                  " cannot hold";
            return false;
        }
    }
    why = "a text " + os::AnsiCodePageName() + " cannot hold";
    return false;
}

bool SerialIsKey(const DriverSettings& settings, const DeviceSettings& device) {
    const std::string serial = device.Serial();
    return !serial.empty() && settings.DevicesWithSerial(serial) == 1;
}

bool ParseSettingsFile(const std::string& bytes, SettingsFile& file, std::string& error) {
    file = SettingsFile{};
    if (bytes.size() > kMaxSettingsFileBytes) {
        error = "larger than " + std::to_string(kMaxSettingsFileBytes / (1024 * 1024)) +
                " MiB: not a settings file";
        return false;
    }
    std::string text;
    if (!DecodeSettingsBytes(bytes, text, error)) return false;
    // nlohmann's parser keeps the last of two equal members without a word, and a file of
    // brackets alone would nest without end: both are refused while parsing.
    std::vector<std::set<std::string>> members;
    const auto check = [&members](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth > 8) throw FileError("nested deeper than a settings file is");
        if (event == Json::parse_event_t::object_start) members.emplace_back();
        if (event == Json::parse_event_t::object_end && !members.empty()) members.pop_back();
        if (event == Json::parse_event_t::key && !members.empty() &&
            !members.back().insert(parsed.get<std::string>()).second)
            throw FileError("the member \"" + parsed.get<std::string>() + "\" twice in one object");
        return true;
    };
    try {
        ReadFile(Json::parse(text, check), file);
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

std::string SettingsFileText(const DriverSettings& settings, std::vector<std::string>* unkeyed) {
    // Written directly rather than built as a document: a full driver's file is written in a
    // fraction of the time, which is what a script that backs up often notices.
    std::string text;
    text.reserve(1024 + settings.channels.size() * 96);
    text += "{\n  \"format\": \"";
    text += kSettingsFormat;
    text += "\",\n  \"version\": " + std::to_string(kSettingsVersion) + ",\n";
    text += std::string("  \"asioNamesIncludeDevice\": ") +
            (settings.asioNameIncludesDevice != 0 ? "true" : "false") + ",\n";
    // A device master the driver names but does not list, or one that cannot be told apart by
    // its serial, cannot be keyed: the file leaves the clock master out rather than name the
    // wrong one.
    const DeviceSettings* master = settings.clockMaster.MasterType == 0
                                       ? nullptr
                                       : settings.DeviceById(settings.clockMaster.MasterDeviceId);
    if (master != nullptr && !SerialIsKey(settings, *master)) {
        if (unkeyed)
            unkeyed->push_back("the clock master (device " + master->Serial() +
                               ") is left out: its serial number does not name one device");
        master = nullptr;
    } else if (settings.clockMaster.MasterType == 0 || master != nullptr) {
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
    bool firstDevice = true;
    for (const DeviceSettings& device : settings.devices) {
        if (!SerialIsKey(settings, device)) {
            if (unkeyed)
                unkeyed->push_back((device.Serial().empty()
                                        ? "a device without a serial number"
                                        : "device " + device.Serial() +
                                              ", whose serial number another device carries too") +
                                   " (\"" + device.Name() +
                                   "\") is left out: it cannot be restored by serial number");
            continue;
        }
        text += firstDevice ? "\n    {\n      \"serial\": " : ",\n    {\n      \"serial\": ";
        firstDevice = false;
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
    text += firstDevice ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

}  // namespace vesk
