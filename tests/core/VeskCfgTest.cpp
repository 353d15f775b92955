// The console program's commands against the simulated driver: a backup restored after the
// driver changed (also at capacity), refused files that write nothing, a write failing at any
// point that leaves the driver as it was, and the command line's exit codes.
#include <functional>

#include "VeskCfgSupport.h"

namespace {

using namespace veskcfg_test;

// Two devices, one of them the clock master; two inputs of one device share a hardware name.
const json kStudio = json::parse(R"({
  "asioNameIncludesDevice": 0,
  "clockMaster": {"masterType": 1, "masterDeviceId": "0x1002"},
  "sampleRateMode": 0,
  "sampleRate": {"currentRate": 48000, "rates": [44100, 48000, 96000]},
  "streamBufferDepth": {"minimum": 1000, "step": 125, "current": 2000},
  "asioBufferDepth": {"current": 5250, "minimum": 1000, "step": 125, "samples": 252},
  "wdmBufferDepth": {"current": 10000, "minimum": 2000, "step": 1000, "samples": 480},
  "devices": [
    {"id": "0x1001", "rank": 0, "name": "Alpha", "serial": "SN-A",
     "syncModes": {"current": {"syncType": 6, "modeId": 1, "modeName": ""},
                   "modes": [{"syncType": 6, "modeId": 1, "modeName": ""},
                             {"syncType": 2, "modeId": 2, "modeName": "1394 bus"}]},
     "inputs": [{"id": "0x2001", "hardwareName": "Analog In", "channelName": "Kick"},
                {"id": "0x2002", "hardwareName": "Analog In", "channelName": "Snare"}],
     "outputs": [{"id": "0x3001", "hardwareName": "Main Out", "channelName": "L"}]},
    {"id": "0x1002", "rank": 1, "name": "Beta", "serial": "SN-B",
     "syncModes": {"current": {"syncType": 6, "modeId": 1, "modeName": ""},
                   "modes": [{"syncType": 6, "modeId": 1, "modeName": ""},
                             {"syncType": 4, "modeId": 3, "modeName": "S/PDIF"}]},
     "inputs": [{"id": "0x2003", "hardwareName": "ADAT 1", "channelName": "Keys"}],
     "outputs": []}
  ]
})");

// The same studio after a reinstall: new identifiers, every setting changed.
json Reinstalled() {
    json changed = kStudio;
    changed["asioNameIncludesDevice"] = 1;
    changed["clockMaster"] = {{"masterType", 0}, {"masterDeviceId", 0}};
    changed["sampleRateMode"] = 1;
    changed["sampleRate"]["currentRate"] = 44100;
    changed["streamBufferDepth"]["current"] = 3000;
    changed["asioBufferDepth"]["current"] = 8000;
    changed["wdmBufferDepth"]["current"] = 20000;
    json& devices = changed["devices"];
    devices[0]["id"] = "0x1101";
    devices[0]["rank"] = 1;
    devices[0]["name"] = "Default name";
    devices[0]["inputs"][0] = {
        {"id", "0x2101"}, {"hardwareName", "Analog In"}, {"channelName", "In 1"}};
    devices[0]["inputs"][1] = {
        {"id", "0x2102"}, {"hardwareName", "Analog In"}, {"channelName", "In 2"}};
    devices[0]["outputs"][0]["id"] = "0x3101";
    devices[0]["outputs"][0]["channelName"] = "Out 1";
    devices[1]["id"] = "0x1102";
    devices[1]["rank"] = 0;
    devices[1]["syncModes"]["current"] = {{"syncType", 4}, {"modeId", 3}, {"modeName", "S/PDIF"}};
    devices[1]["inputs"][0]["id"] = "0x2103";
    return changed;
}

TEST(VeskCfgCommands, ABackupRestoresEverySettingAfterTheDriverHandedOutNewIdentifiers) {
    Load(kStudio);
    const std::string backup = Exported();
    const std::string path = TempPath("studio.json");
    WriteFile(path, backup);

    Load(Reinstalled());
    Result dryRun = VeskCfg({"import", path, "--dry-run"});
    EXPECT_EQ(dryRun.exitCode, vesk::kExitSuccess) << dryRun.streams.err;
    EXPECT_NE(dryRun.streams.out.find("would change: channel SN-A in \"Analog In\" #2: name "
                                      "\"In 2\" -> \"Snare\""),
              std::string::npos)
        << dryRun.streams.out;
    EXPECT_EQ(dryRun.panelNotices, 0);

    Sim().TraceToMemory(true);
    Result restore = VeskCfg({"import", path});
    ASSERT_EQ(restore.exitCode, vesk::kExitSuccess) << restore.streams.err;
    EXPECT_EQ(restore.panelNotices, 1);
    EXPECT_EQ(Exported(), backup);

    // Everything is in place: a second import writes nothing.
    Sim().ClearTrace();
    Result again = VeskCfg({"import", path});
    EXPECT_EQ(again.exitCode, vesk::kExitSuccess);
    EXPECT_EQ(again.streams.out, "nothing to change\n");
    EXPECT_EQ(WritesTraced(), 0u);
    Sim().TraceOff();
}

TEST(VeskCfgCommands, AtCapacityEveryNameComesBack) {
    std::ifstream file(std::string(VESK_SOURCE_DIR) + "/sim/scenarios/capacity.json");
    const json capacity = json::parse(file);
    Load(capacity);
    const std::string backup = Exported();
    const std::string path = TempPath("capacity.json");
    WriteFile(path, backup);

    json renamed = capacity;
    for (json& device : renamed["devices"]) {
        device["name"] = "x";
        for (const char* direction : {"inputs", "outputs"})
            for (json& channel : device[direction]) channel["channelName"] = "";
    }
    Load(renamed);
    Result restore = VeskCfg({"import", path});
    ASSERT_EQ(restore.exitCode, vesk::kExitSuccess) << restore.streams.err;
    EXPECT_EQ(Exported(), backup);
}

TEST(VeskCfgCommands, AnInvalidEntryIsNamedAndNothingIsWritten) {
    Load(kStudio);
    const json valid = json::parse(Exported());
    Load(Reinstalled());
    const json before = Comparable();
    struct Case {
        const char* named;  // what the message must contain
        std::function<void(json&)> spoil;
    };
    const std::vector<Case> cases = {
        {"not JSON", nullptr},
        {"version", [](json& f) { f["version"] = 2; }},
        {"format", [](json& f) { f["format"] = "something else"; }},
        {"unknown member \"sampleRat\"", [](json& f) { f["sampleRat"] = 48000; }},
        {"devices[0].name: 40 bytes in",
         [](json& f) { f["devices"][0]["name"] = std::string(40, 'n'); }},
        {"devices[0].inputs[1].name: \xE4\xB8\xAD (U+4E2D), which",
         [](json& f) { f["devices"][0]["inputs"][1]["name"] = "\xE4\xB8\xAD"; }},
        {"devices[1].name: a zero character",
         [](json& f) { f["devices"][1]["name"] = std::string("a\0b", 3); }},
        {"bufferDepths.streamUs: 2050", [](json& f) { f["bufferDepths"]["streamUs"] = 2050; }},
        {"bufferDepths.asioUs: 40125", [](json& f) { f["bufferDepths"]["asioUs"] = 40125; }},
        {"bufferDepths.wdmUs: 1000", [](json& f) { f["bufferDepths"]["wdmUs"] = 1000; }},
        {"sampleRate: 88200", [](json& f) { f["sampleRate"] = 88200; }},
        {"devices[1].syncMode", [](json& f) { f["devices"][1]["syncMode"]["id"] = 2; }},
        {"devices[0].rank: negative", [](json& f) { f["devices"][0]["rank"] = -1; }},
        {"devices[0].rank: 64 is out of range", [](json& f) { f["devices"][0]["rank"] = 64; }},
    };
    const std::string path = TempPath("invalid.json");
    Sim().TraceToMemory(true);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        json file = valid;
        if (c.spoil) c.spoil(file);
        WriteFile(path, c.spoil ? file.dump() : "{\"format\": ");
        Sim().ClearTrace();
        Result result = VeskCfg({"import", path});
        EXPECT_EQ(result.exitCode, vesk::kExitFailed);
        EXPECT_NE(result.streams.err.find(c.named), std::string::npos) << result.streams.err;
        EXPECT_NE(result.streams.err.find("nothing was written"), std::string::npos);
        EXPECT_EQ(WritesTraced(), 0u);
        EXPECT_EQ(result.panelNotices, 0);
    }
    Sim().TraceOff();
    EXPECT_EQ(Comparable(), before);
}

TEST(VeskCfgCommands, AWriteFailingAtAnyPointLeavesTheDriverAsItWasAndStreaming) {
    Load(kStudio);
    const std::string path = TempPath("restore.json");
    WriteFile(path, Exported());
    Load(Reinstalled());
    const json before = Comparable();
    ASSERT_TRUE(before.value("streaming", true));

    for (uint32_t skip = 0;; ++skip) {
        SCOPED_TRACE("request " + std::to_string(skip) + " fails");
        Load(Reinstalled());
        Sim().FailRequestsInTurn(skip, 31, 1);
        Result result = VeskCfg({"import", path});
        Sim().Execute("clear-faults");
        if (result.exitCode == vesk::kExitSuccess) break;  // past the last request
        // The first requests open the driver: failing one of them is "no driver".
        ASSERT_TRUE(result.exitCode == vesk::kExitFailed || result.exitCode == vesk::kExitNoDriver)
            << result.streams.err;
        EXPECT_EQ(Comparable(), before) << result.streams.err;
        // The panel is asked to read again exactly when something was written.
        EXPECT_EQ(result.panelNotices,
                  result.streams.err.find("the driver refused") != std::string::npos ? 1 : 0);
        EXPECT_EQ(result.streams.err.find("could not be restored"), std::string::npos);
        ASSERT_LT(skip, 200u);
    }
}

TEST(VeskCfgCommands, CommandsValidateTheirValuesAndExitWithTheirCodes) {
    Load(kStudio);
    EXPECT_EQ(VeskCfg({}).exitCode, vesk::kExitUsage);
    EXPECT_EQ(VeskCfg({"set", "buffer", "middle", "2000"}).exitCode, vesk::kExitUsage);
    EXPECT_EQ(VeskCfg({"status", "--dry-run"}).exitCode, vesk::kExitUsage);
    EXPECT_EQ(VeskCfg({"--help"}).exitCode, vesk::kExitSuccess);

    EXPECT_EQ(VeskCfg({"set", "buffer", "asio", "2.5ms"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"set", "buffer", "stream", "3000us"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"set", "rate", "96000"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"set", "clock-master", "pc"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"set", "clock-master", "SN-Z"}).exitCode, vesk::kExitFailed);
    EXPECT_EQ(VeskCfg({"rename", "device", "SN-B", "Keys rack"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"rename", "device", "SN-Z", "Nobody"}).exitCode, vesk::kExitFailed);
    EXPECT_EQ(VeskCfg({"rename", "channel", "SN-A", "out", "Main Out", "Left"}).exitCode,
              vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"rename", "device", "SN-B", std::string(40, 'k')}).exitCode,
              vesk::kExitFailed);

    Result status = VeskCfg({"status", "--json"});
    ASSERT_EQ(status.exitCode, vesk::kExitSuccess);
    const json report = json::parse(status.streams.out);
    EXPECT_EQ(report["format"], "vesk-driver-status");
    EXPECT_EQ(report["clockMaster"], "pc");
    EXPECT_EQ(report["sampleRate"], 96000);
    EXPECT_EQ(report["bufferDepths"]["asio"]["us"], 2500);
    EXPECT_EQ(report["bufferDepths"]["stream"]["text"], "3000 \xC2\xB5s");
    EXPECT_EQ(report["devices"][1]["name"], "Keys rack");
    const json file = json::parse(Exported());
    EXPECT_EQ(file["devices"][0]["outputs"][0]["name"], "Left");

    Sim().Execute("unload");
    EXPECT_EQ(VeskCfg({"status"}).exitCode, vesk::kExitNoDriver);
}

}  // namespace
