#include "cli/VeskCfg.h"

#include <cstdio>

#include "driver/Vesk1394Driver.h"
#include "settings/DriverStatus.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsPlan.h"

namespace vesk {

namespace {

constexpr const char* kUsage =
    "Usage: veskcfg COMMAND [ARGUMENTS]\n"
    "Reads and changes the settings of the 1394 audio driver.\n"
    "\n"
    "  status [--json]                  the driver's state\n"
    "  export FILE                      every setting into FILE (- for standard output)\n"
    "  import FILE [--dry-run]          the settings of FILE (- for standard input)\n"
    "  set rate HZ [--dry-run]          the sampling rate, for example 48000\n"
    "  set buffer stream|asio|wdm VALUE [--dry-run]\n"
    "                                   a buffer depth: 2000, 2000us or 2.5ms\n"
    "  set clock-master pc|SERIAL [--dry-run]\n"
    "  rename device SERIAL NAME [--dry-run]\n"
    "  rename channel SERIAL in|out HARDWARE-NAME NAME [--dry-run]\n"
    "\n"
    "Exit codes: 0 done, 1 refused or failed, 2 no driver, 64 usage.\n";

// Whole files through the C library (the program links no stream library for two files).
bool ReadAll(std::FILE* file, std::string& text) {
    char buffer[65536];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
    return std::ferror(file) == 0;
}

bool ReadFile(const std::string& path, std::string& text) {
    if (path == "-") return ReadAll(stdin, text);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    const bool read = ReadAll(file, text);
    std::fclose(file);
    return read;
}

bool WriteFile(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

class Command {
  public:
    Command(CDrv& drv, const std::function<void()>& notifyPanel, CommandStreams& streams)
        : m_drv(drv), m_notifyPanel(notifyPanel), m_streams(streams) {}

    int Run(std::vector<std::string> args) {
        for (auto it = args.begin(); it != args.end();) {
            if (*it == "--dry-run") {
                m_dryRun = true;
                it = args.erase(it);
            } else if (*it == "--json") {
                m_json = true;
                it = args.erase(it);
            } else {
                ++it;
            }
        }
        if (args.empty()) return Usage("no command");
        const std::string& name = args[0];
        if (name == "--help" || name == "-h" || name == "/?" || name == "help") {
            m_streams.out += kUsage;
            return kExitSuccess;
        }
        if (m_json && name != "status") return Usage("--json belongs to status");
        if (m_dryRun && (name == "status" || name == "export"))
            return Usage("--dry-run belongs to import, set and rename");
        if (name == "status" && args.size() == 1) return Status();
        if (name == "export" && args.size() == 2) return Export(args[1]);
        if (name == "import" && args.size() == 2) return Import(args[1]);
        if (name == "set") return Set(args);
        if (name == "rename") return Rename(args);
        return Usage("unknown command or wrong arguments: " + name);
    }

  private:
    int Usage(const std::string& why) {
        m_streams.err += "veskcfg: " + why + "\n" + kUsage;
        return kExitUsage;
    }

    int Fail(const std::string& why) {
        m_streams.err += "veskcfg: " + why + "\n";
        return kExitFailed;
    }

    static std::string Hex(uint32_t status) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(status));
        return text;
    }

    bool Connect(int& exitCode) {
        const uint32_t status = m_drv.Open(DEVICE_INTERFACE_NAME);
        if (status == 0) return true;
        m_streams.err +=
            status == VESK_E_INTERFACE_VERSION
                ? "veskcfg: the 1394 audio driver's interface version is not one "
                  "this program knows\n"
                : "veskcfg: the 1394 audio driver cannot be reached (" + Hex(status) + ")\n";
        exitCode = kExitNoDriver;
        return false;
    }

    bool ReadSettings(DriverSettings& settings, int& exitCode) {
        if (!Connect(exitCode)) return false;
        std::string request;
        const uint32_t status = ReadDriverSettings(m_drv, settings, &request);
        if (status == 0) return true;
        exitCode = Fail("the driver did not give " + request + " (" + Hex(status) + ")");
        return false;
    }

    int Status() {
        int exitCode = 0;
        if (!Connect(exitCode)) return exitCode;
        DriverStatus status;
        std::string request;
        const uint32_t result = ReadDriverStatus(m_drv, status, &request);
        if (result != 0)
            return Fail("the driver did not give " + request + " (" + Hex(result) + ")");
        m_streams.outIsUtf8 = m_json;
        m_streams.out += m_json ? StatusJson(status) : StatusText(status);
        return kExitSuccess;
    }

    int Export(const std::string& path) {
        DriverSettings settings;
        int exitCode = 0;
        if (!ReadSettings(settings, exitCode)) return exitCode;
        const std::string text = SettingsFileText(settings);
        if (path == "-") {
            m_streams.outIsUtf8 = true;
            m_streams.out += text;
            return kExitSuccess;
        }
        if (!WriteFile(path, text)) return Fail(path + ": cannot be written");
        m_streams.out += "exported " + std::to_string(settings.devices.size()) + " devices and " +
                         std::to_string(settings.channels.size()) + " channels to " + path + "\n";
        return kExitSuccess;
    }

    int Import(const std::string& path) {
        std::string text;
        if (!ReadFile(path, text)) return Fail(path + ": cannot be read");
        SettingsFile settings;
        std::string error;
        if (!ParseSettingsFile(text, settings, error))
            return Fail(path + ": " + error + "\nveskcfg: nothing was written");
        return Apply(settings, path + ": ");
    }

    // Checks `file` against the driver, then writes what differs (or, with --dry-run, says
    // what would change).
    int Apply(const SettingsFile& file, const std::string& errorPrefix,
              bool refuseSkipped = false) {
        DriverSettings driver;
        int exitCode = 0;
        if (!ReadSettings(driver, exitCode)) return exitCode;
        const ImportPlan plan = PlanImport(file, driver);
        for (const std::string& skipped : plan.skipped) {
            if (refuseSkipped)
                m_streams.err += "veskcfg: not connected: " + skipped + "\n";
            else
                m_streams.out += "skipped, not connected: " + skipped + "\n";
        }
        if (refuseSkipped && !plan.skipped.empty()) return Fail("nothing was written");
        if (!plan.errors.empty()) {
            for (const std::string& error : plan.errors)
                m_streams.err += "veskcfg: " + errorPrefix + error + "\n";
            return Fail("nothing was written");
        }
        if (!plan.HasChanges()) {
            m_streams.out += "nothing to change\n";
            return kExitSuccess;
        }
        if (m_dryRun) {
            for (const PlanStep& step : plan.steps)
                if (step.isSetting) m_streams.out += "would change: " + step.text + "\n";
            return kExitSuccess;
        }
        const ApplyReport report = ApplyPlan(m_drv, plan);
        // Whatever was written, even if undone, the panel reads again.
        if (m_notifyPanel) m_notifyPanel();
        for (const std::string& applied : report.applied)
            m_streams.out += "changed: " + applied + "\n";
        if (report.succeeded) return kExitSuccess;
        m_streams.err += "veskcfg: the driver refused: " + report.failedStep + " (" +
                         Hex(report.failedStatus) + ")\n";
        for (const std::string& text : report.restored)
            m_streams.err += "veskcfg: written, then restored: " + text + "\n";
        for (const std::string& text : report.notRestored)
            m_streams.err += "veskcfg: written, could not be restored: " + text + "\n";
        for (const std::string& text : report.notApplied)
            m_streams.err += "veskcfg: not applied: " + text + "\n";
        return kExitFailed;
    }

    static bool ParseNumber(const std::string& text, uint32_t& value) {
        if (text.empty() || text.size() > 9) return false;
        value = 0;
        for (const char c : text) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + static_cast<uint32_t>(c - '0');
        }
        return true;
    }

    static bool EndsWith(const std::string& text, const std::string& end) {
        return text.size() >= end.size() &&
               text.compare(text.size() - end.size(), end.size(), end) == 0;
    }

    // "2000", "2000us", "2000 µs" (the micro sign in 8-bit text or UTF-8), "2ms", "2.5 ms".
    static bool ParseDepth(std::string text, uint32_t& microseconds) {
        while (!text.empty() && text.back() == ' ') text.pop_back();
        bool milliseconds = false;
        for (const char* unit : {"us", "\xB5s", "\xC2\xB5s"}) {
            if (EndsWith(text, unit)) {
                text.resize(text.size() - std::string(unit).size());
                break;
            }
        }
        if (EndsWith(text, "ms")) {
            text.resize(text.size() - 2);
            milliseconds = true;
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        if (!milliseconds) return ParseNumber(text, microseconds);
        const size_t point = text.find('.');
        std::string whole = text.substr(0, point);
        std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
        if (fraction.size() > 3) return false;
        fraction.resize(3, '0');
        uint32_t w = 0;
        uint32_t f = 0;
        if (!ParseNumber(whole, w) || !ParseNumber(fraction, f) || w > 4000000) return false;
        microseconds = w * 1000 + f;
        return true;
    }

    int Set(const std::vector<std::string>& args) {
        SettingsFile file;
        if (args.size() == 3 && args[1] == "rate") {
            std::string text = args[2];
            if (EndsWith(text, "Hz")) text.resize(text.size() - 2);
            uint32_t rate = 0;
            if (!ParseNumber(text, rate)) return Usage("not a rate in Hz: " + args[2]);
            file.sampleRate = rate;
        } else if (args.size() == 4 && args[1] == "buffer") {
            uint32_t depth = 0;
            if (!ParseDepth(args[3], depth)) return Usage("not a buffer depth: " + args[3]);
            if (args[2] == "stream")
                file.streamDepthUs = depth;
            else if (args[2] == "asio")
                file.asioDepthUs = depth;
            else if (args[2] == "wdm")
                file.wdmDepthUs = depth;
            else
                return Usage("no buffer " + args[2] + ": stream, asio or wdm");
        } else if (args.size() == 3 && args[1] == "clock-master") {
            if (args[2].empty()) return Usage("no clock master");
            file.clockMaster = args[2];
        } else {
            return Usage("set: rate HZ, buffer stream|asio|wdm VALUE or clock-master pc|SERIAL");
        }
        return Apply(file, "");
    }

    int Rename(const std::vector<std::string>& args) {
        SettingsFile file;
        FileDevice device;
        std::string why;
        if (args.size() == 4 && args[1] == "device") {
            device.serial = args[2];
            device.where = "device " + args[2];
            if (!CheckName(args[3], why)) return Fail("the name " + why);
            device.name = args[3];
        } else if (args.size() == 6 && args[1] == "channel" &&
                   (args[3] == "in" || args[3] == "out")) {
            device.serial = args[2];
            device.where = "device " + args[2];
            FileChannel channel;
            channel.direction =
                args[3] == "in" ? ChannelDirection::Input : ChannelDirection::Output;
            channel.hardwareName = args[4];
            channel.name = args[5];
            channel.where = "channel " + args[4];
            if (!CheckName(args[5], why)) return Fail("the name " + why);
            device.channels.push_back(channel);
        } else {
            return Usage("rename: device SERIAL NAME or channel SERIAL in|out HARDWARE-NAME NAME");
        }
        file.devices.push_back(device);
        // A rename names what must be there: one not connected is refused, not skipped.
        return Apply(file, "", true);
    }

    CDrv& m_drv;
    const std::function<void()>& m_notifyPanel;
    CommandStreams& m_streams;
    bool m_dryRun = false;
    bool m_json = false;
};

}  // namespace

int RunVeskCfg(const std::vector<std::string>& args, CDrv& drv,
               const std::function<void()>& notifyPanel, CommandStreams& streams) {
    return Command(drv, notifyPanel, streams).Run(args);
}

}  // namespace vesk
