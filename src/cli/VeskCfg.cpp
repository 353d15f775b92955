#include "cli/VeskCfg.h"

#include <cstdio>
#include <new>

#include "driver/Vesk1394Driver.h"
#include "os/File.h"
#include "os/TextEncoding.h"
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
    "\n"
    "Options may stand anywhere; -- ends them (for a name that starts with -).\n"
    "Exit codes: 0 done, 1 refused or failed, 2 no driver, 3 exported without the devices\n"
    "that cannot be told apart by serial number, 64 usage.\n";

// The driver's 8-bit text in a message, which is UTF-8.
std::string U(const std::string& ansi) {
    return os::AnsiToUtf8(ansi);
}

// Statuses of opening the control device that mean no driver is there to answer.
bool MeansNoDriver(uint32_t status) {
    constexpr uint32_t kFileNotFound = 2, kPathNotFound = 3, kDeviceNotConnected = 1167;
    return status == kFileNotFound || status == kPathNotFound || status == kDeviceNotConnected ||
           status == VESK_E_NOT_OPEN;
}

class Command {
  public:
    Command(CDrv& drv, const std::function<void()>& notifyPanel, CommandStreams& streams)
        : m_drv(drv), m_notifyPanel(notifyPanel), m_streams(streams) {}

    int Run(const std::vector<std::string>& given) {
        std::vector<std::string> args;
        bool help = false;
        bool optionsEnded = false;
        for (const std::string& arg : given) {
            if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
                args.push_back(arg);
            } else if (arg == "--") {
                optionsEnded = true;
            } else if (arg == "--dry-run") {
                m_dryRun = true;
            } else if (arg == "--json") {
                m_json = true;
            } else if (arg == "--help" || arg == "-h") {
                help = true;
            } else {
                return Usage("unknown option " + arg + " (-- ends the options)");
            }
        }
        if (help || (!args.empty() && (args[0] == "/?" || args[0] == "help"))) {
            m_streams.out += kUsage;
            return kExitSuccess;
        }
        if (args.empty()) return Usage("no command");
        const std::string& name = args[0];
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
        if (status == VESK_E_INTERFACE_VERSION) {
            exitCode = Fail(
                "the 1394 audio driver's interface version is not one this program "
                "knows");
        } else if (MeansNoDriver(status)) {
            m_streams.err +=
                "veskcfg: the 1394 audio driver cannot be reached (" + Hex(status) + ")\n";
            exitCode = kExitNoDriver;
        } else {
            // The driver is there but refuses us (access denied, busy ...): the system says why.
            exitCode =
                Fail("the 1394 audio driver cannot be opened: " + os::SystemErrorText(status));
        }
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
        m_streams.outIsJson = m_json;
        m_streams.out += m_json ? StatusJson(status) : U(StatusText(status));
        return kExitSuccess;
    }

    int Export(const std::string& path) {
        DriverSettings settings;
        int exitCode = 0;
        if (!ReadSettings(settings, exitCode)) return exitCode;
        std::vector<std::string> unkeyed;
        const std::string text = SettingsFileText(settings, &unkeyed);
        if (path == "-") {
            m_streams.outIsJson = true;
            m_streams.out += text;
        } else {
            std::string why;
            if (!os::ReplaceFileWith(path, text, &why))
                return Fail(path + ": cannot be written: " + why);
            size_t devices = 0;
            size_t channels = 0;
            for (const DeviceSettings& device : settings.devices) {
                if (!SerialIsKey(settings, device)) continue;
                ++devices;
                for (const ChannelSettings& channel : settings.channels)
                    channels += channel.record.DeviceId == device.record.DeviceId ? 1 : 0;
            }
            m_streams.out += "exported " + std::to_string(devices) + " devices and " +
                             std::to_string(channels) + " channels to " + path + "\n";
        }
        for (const std::string& line : unkeyed) m_streams.err += "veskcfg: " + U(line) + "\n";
        return unkeyed.empty() ? kExitSuccess : kExitIncomplete;
    }

    int Import(const std::string& path) {
        std::string bytes;
        std::string why;
        const os::ReadResult read = os::ReadWholeFile(path, kMaxSettingsFileBytes, &bytes, &why);
        if (read == os::ReadResult::TooLarge)
            return Fail(path + ": " + why + ": not a settings file\nveskcfg: nothing was written");
        if (read != os::ReadResult::Read) return Fail(path + ": cannot be read: " + why);
        SettingsFile settings;
        std::string error;
        if (!ParseSettingsFile(bytes, settings, error))
            return Fail(path + ": " + error + "\nveskcfg: nothing was written");
        return Apply(settings, path + ": ");
    }

    // Checks `file` against the driver, then writes what differs (or, with --dry-run, says
    // what would change).
    // A `set` or `rename` names what must be there: what an import would skip is refused.
    int Apply(const SettingsFile& file, const std::string& errorPrefix,
              bool isSingleChange = false) {
        DriverSettings driver;
        int exitCode = 0;
        if (!ReadSettings(driver, exitCode)) return exitCode;
        const ImportPlan plan = PlanImport(file, driver);
        for (const std::string& skipped : plan.skipped) {
            if (isSingleChange)
                m_streams.err += "veskcfg: " + U(skipped) + "\n";
            else
                m_streams.out += "skipped, " + U(skipped) + "\n";
        }
        if (isSingleChange && !plan.skipped.empty()) return Fail("nothing was written");
        if (!plan.errors.empty()) {
            for (const std::string& error : plan.errors)
                m_streams.err += "veskcfg: " + errorPrefix + U(error) + "\n";
            return Fail("nothing was written");
        }
        if (!plan.rateLeftToClockMaster.empty()) {
            if (isSingleChange)
                return Fail(
                    "the clock master sets the rate while the sampling rate mode is "
                    "automatic\nveskcfg: nothing was written");
            m_streams.out += "left alone: " + U(plan.rateLeftToClockMaster) + "\n";
        }
        if (!plan.HasChanges()) {
            m_streams.out += "nothing to change\n";
            return kExitSuccess;
        }
        if (m_dryRun) {
            for (const PlanStep& step : plan.steps)
                if (step.isSetting) m_streams.out += "would change: " + U(step.text) + "\n";
            return kExitSuccess;
        }
        const ApplyReport report = ApplyPlan(m_drv, plan);
        // Whatever was written, even if undone, the panel reads again.
        if (m_notifyPanel) m_notifyPanel();
        for (const std::string& applied : report.applied)
            m_streams.out += "changed: " + U(applied) + "\n";
        if (report.succeeded) return kExitSuccess;
        m_streams.err += "veskcfg: the driver refused: " + U(report.failedStep) + " (" +
                         Hex(report.failedStatus) + ")\n";
        for (const std::string& text : report.restored)
            m_streams.err += "veskcfg: written, then restored: " + U(text) + "\n";
        for (const std::string& text : report.notRestored)
            m_streams.err += "veskcfg: written, could not be restored: " + U(text) + "\n";
        for (const std::string& text : report.notApplied)
            m_streams.err += "veskcfg: not applied: " + U(text) + "\n";
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
            std::string serial;
            if (!DriverText(args[2], "the serial number", serial)) return kExitFailed;
            file.clockMaster = serial;
        } else {
            return Usage("set: rate HZ, buffer stream|asio|wdm VALUE or clock-master pc|SERIAL");
        }
        return Apply(file, "", true);
    }

    // A text of the command line in the driver's 8-bit text; false, with a message, when the
    // code page cannot hold it.
    bool DriverText(const std::string& utf8, const char* what, std::string& ansi) {
        std::string why;
        if (ToDriverText(utf8, ansi, why)) return true;
        Fail(std::string(what) + " \"" + utf8 + "\" holds " + why +
             "\nveskcfg: nothing was written");
        return false;
    }

    int Rename(const std::vector<std::string>& args) {
        SettingsFile file;
        FileDevice device;
        std::string why;
        std::string name;
        if (args.size() == 4 && args[1] == "device") {
            if (!DriverText(args[2], "the serial number", device.serial) ||
                !DriverText(args[3], "the name", name))
                return kExitFailed;
            device.where = "device " + args[2];
            if (!CheckName(name, why)) return Fail("the name " + why);
            device.name = name;
        } else if (args.size() == 6 && args[1] == "channel" &&
                   (args[3] == "in" || args[3] == "out")) {
            FileChannel channel;
            if (!DriverText(args[2], "the serial number", device.serial) ||
                !DriverText(args[4], "the hardware name", channel.hardwareName) ||
                !DriverText(args[5], "the name", name))
                return kExitFailed;
            device.where = "device " + args[2];
            channel.direction =
                args[3] == "in" ? ChannelDirection::Input : ChannelDirection::Output;
            channel.name = name;
            channel.where = "channel " + args[4];
            if (!CheckName(name, why)) return Fail("the name " + why);
            device.channels.push_back(channel);
        } else {
            return Usage("rename: device SERIAL NAME or channel SERIAL in|out HARDWARE-NAME NAME");
        }
        file.devices.push_back(device);
        if (device.serial.empty()) return Usage("no serial number");
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
    try {
        return Command(drv, notifyPanel, streams).Run(args);
    } catch (const std::bad_alloc&) {
        streams.err += "veskcfg: out of memory\n";
    } catch (const std::exception& e) {
        streams.err += std::string("veskcfg: ") + e.what() + "\n";
    }
    return kExitFailed;
}

}  // namespace vesk
