// The console program where scripts and backups have bitten: driver states a backup must
// restore (serials that name no one device, control and edge characters, automatic rate),
// ranks that must end whole, the encodings Windows' shells write, names that the code page
// cannot hold, and a backup that a failed write must not destroy.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "VeskCfgSupport.h"

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

namespace {

using namespace veskcfg_test;

json Device(const char* id, int rank, const char* name, const char* serial) {
    return {{"id", id},
            {"rank", rank},
            {"name", name},
            {"serial", serial},
            {"inputs",
             {{{"id", std::string(id) + "1"}, {"hardwareName", "In"}, {"channelName", name}}}},
            {"outputs", json::array()}};
}

json Driver(json devices, const char* masterId, int automatic = 0) {
    return {{"clockMaster", {{"masterType", 1}, {"masterDeviceId", masterId}}},
            {"sampleRateMode", automatic},
            {"sampleRate", {{"currentRate", 48000}, {"rates", {44100, 48000, 96000}}}},
            {"devices", std::move(devices)}};
}

std::vector<uint32_t> Ranks() {
    std::vector<uint32_t> ranks;
    const json state = json::parse(Sim().DumpScenario());
    for (const json& device : state["devices"]) ranks.push_back(device["rank"]);
    return ranks;
}

Result ImportText(const std::string& text, std::vector<std::string> more = {}) {
    const std::string path = TempPath("edge.json");
    WriteFile(path, text);
    std::vector<std::string> args = {"import", path};
    args.insert(args.end(), more.begin(), more.end());
    return VeskCfg(args);
}

TEST(VeskCfgEdges, EveryStateTheDriverCanHoldIsExportedSoThatItImportsUnchanged) {
    const std::string atLimit(39, 'n');
    struct State {
        const char* what;
        json driver;
        bool complete;  // every device can be keyed
    };
    const std::vector<State> states = {
        {"two devices with one serial, one of them the clock master",
         Driver({Device("0x11", 0, "Alpha", "SN-A"), Device("0x12", 1, "Twin 1", "SN-T"),
                 Device("0x13", 2, "Twin 2", "SN-T")},
                "0x12"),
         false},
        {"an empty serial on the clock master",
         Driver({Device("0x11", 0, "Alpha", "SN-A"), Device("0x12", 1, "Blank", "")}, "0x12"),
         false},
        {"control and edge characters, a name at the limit, ranks twice and out of range",
         Driver({Device("0x11", 0, "A\x7F\x01\t\"\\", "SN-A"),
                 Device("0x12", 0, "\xC3\xBF\xC2\xA0\xC3\xA9", "SN-B"),
                 Device("0x13", 7, atLimit.c_str(), "SN-C")},
                "0x11"),
         true},
        {"automatic rate mode", Driver({Device("0x11", 0, "Alpha", "SN-A")}, "0x11", 1), true},
    };
    Sim().TraceToMemory(true);
    for (const State& state : states) {
        SCOPED_TRACE(state.what);
        Load(state.driver);
        const json before = Comparable();
        Result exported = VeskCfg({"export", "-"});
        ASSERT_EQ(exported.exitCode, state.complete ? vesk::kExitSuccess : vesk::kExitIncomplete)
            << exported.streams.err;
        EXPECT_EQ(exported.streams.err.find("left out") != std::string::npos, !state.complete);

        // Unchanged: nothing to write.
        Sim().ClearTrace();
        Result same = ImportText(exported.streams.out);
        EXPECT_EQ(same.exitCode, vesk::kExitSuccess) << same.streams.err;
        EXPECT_EQ(WritesTraced(), 0u) << same.streams.out;

        // Changed: what the backup names comes back exactly.
        json changed = state.driver;
        for (json& device : changed["devices"])
            if (device["serial"] == "SN-A") device["name"] = "changed";
        changed["sampleRate"]["currentRate"] = 44100;
        Load(changed);
        Result restored = ImportText(exported.streams.out);
        EXPECT_EQ(restored.exitCode, vesk::kExitSuccess) << restored.streams.err;
        json after = Comparable();
        // In automatic mode the clock master, not the file, sets the rate.
        if (state.driver["sampleRateMode"] == 1) after["sampleRate"]["currentRate"] = 48000;
        EXPECT_EQ(after, before) << restored.streams.out;
    }
    Sim().TraceOff();
}

TEST(VeskCfgEdges, RanksEndWithEachDeviceInAPlaceOfItsOwn) {
    const json three = Driver({Device("0x11", 0, "A", "SN-A"), Device("0x12", 1, "B", "SN-B"),
                               Device("0x13", 2, "C", "SN-C")},
                              "0x11");
    const auto rankOnly = [](const char* serial, int rank) {
        return json{{"format", "vesk-driver-settings"},
                    {"version", 1},
                    {"devices", {{{"serial", serial}, {"rank", rank}}}}}
            .dump();
    };
    Load(three);
    ASSERT_EQ(ImportText(rankOnly("SN-C", 0)).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(Ranks(), (std::vector<uint32_t>{1, 2, 0}));
    // A place past the connected devices is the last one.
    ASSERT_EQ(ImportText(rankOnly("SN-A", 9)).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(Ranks(), (std::vector<uint32_t>{2, 1, 0}));
    // A driver holding one rank twice ends whole too.
    json twice = three;
    twice["devices"][1]["rank"] = 0;
    Load(twice);
    ASSERT_EQ(ImportText(rankOnly("SN-C", 1)).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(Ranks(), (std::vector<uint32_t>{0, 2, 1}));
}

TEST(VeskCfgEdges, TheClockMasterSetsTheRateInAutomaticMode) {
    Load(Driver({Device("0x11", 0, "A", "SN-A")}, "0x11", 1));
    Sim().TraceToMemory(true);
    Result set = VeskCfg({"set", "rate", "96000"});
    EXPECT_EQ(set.exitCode, vesk::kExitFailed);
    EXPECT_NE(set.streams.err.find("the clock master sets the rate"), std::string::npos);
    Result import = ImportText(json{
        {"format", "vesk-driver-settings"},
        {"version", 1},
        {"sampleRateMode", "automatic"},
        {"sampleRate", 96000}}.dump());
    EXPECT_EQ(import.exitCode, vesk::kExitSuccess);
    EXPECT_NE(import.streams.out.find("left alone: sampling rate"), std::string::npos);
    EXPECT_EQ(WritesTraced(), 0u);
    Sim().TraceOff();
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char c : ascii) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

TEST(VeskCfgEdges, FilesComeInTheEncodingsWindowsWritesAndOthersAreNamed) {
    Load(Driver({Device("0x11", 0, "Alpha", "SN-A")}, "0x11"));
    const std::string backup = Exported();
    for (const std::string& text :
         {Utf16(backup, false), Utf16(backup, true), "\xEF\xBB\xBF" + backup}) {
        Result result = ImportText(text);
        EXPECT_EQ(result.exitCode, vesk::kExitSuccess) << result.streams.err;
        EXPECT_EQ(result.streams.out, "nothing to change\n");
    }
    std::string latin1 = backup;
    latin1.replace(latin1.find("Alpha"), 5, "Caf\xE9");
    const std::string duplicate =
        "{\"format\": \"vesk-driver-settings\", \"version\": 1, "
        "\"sampleRate\": 44100, \"sampleRate\": 48000}";
    struct Refused {
        std::string bytes;
        const char* named;
    };
    for (const Refused& refused :
         std::vector<Refused>{{std::string("\xFF\xFE\0\0{\0\0\0", 8), "UTF-32 LE"},
                              {latin1, "not UTF-8 (byte 0xE9"},
                              {duplicate, "the member \"sampleRate\" twice"},
                              {std::string(40, '[') + std::string(40, ']'), "nested deeper"}}) {
        Result result = ImportText(refused.bytes);
        EXPECT_EQ(result.exitCode, vesk::kExitFailed);
        EXPECT_NE(result.streams.err.find(refused.named), std::string::npos) << result.streams.err;
    }
    // Larger than any settings file: refused by its size, never read (the file is sparse, and
    // reading it whole would take gigabytes).
    const std::string huge = TempPath("huge.json");
    std::FILE* file = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fseek(file, 1L << 30, SEEK_SET), 0);
    std::fputc('}', file);
    std::fclose(file);
    Result result = VeskCfg({"import", huge});
    std::remove(huge.c_str());
    EXPECT_EQ(result.exitCode, vesk::kExitFailed);
    EXPECT_NE(result.streams.err.find("larger than 4 MiB"), std::string::npos)
        << result.streams.err;
}

TEST(VeskCfgEdges, TheCommandLineIsTakenAsTypedAndNothingIsReplaced) {
    Load(Driver({Device("0x11", 0, "Alpha", "SN-A")}, "0x11"));
    Sim().TraceToMemory(true);
    // "Łódź": no 8-bit code page of the test machines holds the Ł.
    Result polish = VeskCfg({"rename", "device", "SN-A", "\xC5\x81\xC3\xB3\x64\xC5\xBA"});
    EXPECT_EQ(polish.exitCode, vesk::kExitFailed);
    EXPECT_NE(polish.streams.err.find("\xC5\x81 (U+0141)"), std::string::npos)
        << polish.streams.err;
    Result tooLong = VeskCfg({"rename", "device", "SN-A", std::string(40, 'x')});
    EXPECT_NE(tooLong.streams.err.find("40 bytes in"), std::string::npos);
    EXPECT_EQ(WritesTraced(), 0u);
    Sim().TraceOff();

    EXPECT_EQ(VeskCfg({"rename", "device", "SN-A", std::string(39, 'x')}).exitCode,
              vesk::kExitSuccess);
    EXPECT_EQ(VeskCfg({"rename", "device", "--", "SN-A", "-Live-"}).exitCode, vesk::kExitSuccess);
    EXPECT_EQ(json::parse(Exported())["devices"][0]["name"], "-Live-");
    Result unknown = VeskCfg({"status", "--jsn"});
    EXPECT_EQ(unknown.exitCode, vesk::kExitUsage);
    EXPECT_NE(unknown.streams.err.find("unknown option --jsn"), std::string::npos);
    // A driver that is there but refuses the caller is a failure, not "no driver".
    Sim().FailRequestsInTurn(0, 5, 1);
    Result denied = VeskCfg({"status"});
    Sim().Execute("clear-faults");
    EXPECT_EQ(denied.exitCode, vesk::kExitFailed) << denied.streams.err;
}

#if !defined(_WIN32)
TEST(VeskCfgEdges, AFailedWriteLeavesThePreviousBackupAsItWas) {
    Load(Driver({Device("0x11", 0, "Alpha", "SN-A")}, "0x11"));
    const std::string path = TempPath("previous.json");
    WriteFile(path, "previous backup");
    // A disk that fills up after a few hundred bytes.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 300;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Result result = VeskCfg({"export", path});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result.exitCode, vesk::kExitFailed);
    EXPECT_NE(result.streams.err.find("cannot be written"), std::string::npos);
    std::ifstream kept(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "previous backup");
}
#endif

}  // namespace
