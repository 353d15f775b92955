// Benchmarks of the windowed panel under Wine, each printed beside its floor measured in the
// same run: the full refresh at the driver's capacity, idling in the notification area and on
// the Settings page, start-up, and the size of the shipped program. Nothing here passes or
// fails on a time.
//
//   vesk_panel_bench SCENARIO.json [IDLE_SECONDS]
//
// VESK_BENCH_ONLY=refresh|idle|startup|size runs one group of figures, for working on one.
#include <windows.h>
// The common controls need the window types first.
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "PanelHarness.h"
#include "driver/IoctlCodes.h"
#include "sim/Simulator.h"

namespace {

using uitest::RunningPanel;

sim::Simulator& Sim() {
    return sim::Simulator::Instance();
}

double Seconds() {
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void Row(const char* figure, double value, double floor, const char* unit) {
    std::printf("%-36s %12.2f %12.2f %8.2f  %s\n", figure, value, floor,
                floor > 0 ? value / floor : 0.0, unit);
}

// One request of a traced refresh, to be sent again straight to the simulated driver.
struct Request {
    uint32_t code;
    std::vector<uint8_t> input;
};

std::vector<Request> RequestsOf(const std::vector<std::string>& lines) {
    std::vector<Request> requests;
    for (const std::string& line : lines) {
        char code[16] = "", input[4096] = "";
        if (std::sscanf(line.c_str(), "ioctl %*s %15s in=%4095[0-9a-f]", code, input) < 1) continue;
        Request request{static_cast<uint32_t>(std::strtoul(code, nullptr, 16)), {}};
        for (size_t i = 0; input[i] != '\0' && input[i + 1] != '\0'; i += 2)
            request.input.push_back(
                static_cast<uint8_t>(std::strtoul(std::string(input + i, 2).c_str(), nullptr, 16)));
        requests.push_back(request);
    }
    return requests;
}

// The rows and columns of every list of the pages, as a refresh fills them.
struct ListShape {
    int rows;
    int columns;
};

std::vector<ListShape> ListShapes(CVESK_CPLView& view) {
    std::vector<ListShape> shapes;
    for (CListCtrlEx* list :
         {&view.m_pageDevices.m_deviceList, &view.m_pageInputChannels.m_channelList,
          &view.m_pageOutputChannels.m_channelList, &view.m_pageStreams.m_streamList,
          &view.m_pageSynchronisation.m_syncList}) {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(list->m_hWnd, LVM_GETHEADER, 0, 0));
        shapes.push_back({list->GetItemCount(),
                          static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0))});
    }
    return shapes;
}

// The floor of a refresh: its requests sent straight to the simulated driver, and as many rows
// inserted into bare list views of the same shapes, with a text in every cell.
struct Floor {
    double seconds;
    double requestSeconds;  // the part that went to the requests
};

Floor RefreshFloor(const std::vector<Request>& requests, const std::vector<ListShape>& shapes,
                   HWND parent) {
    void* handle = nullptr;
    const std::string path = std::string("\\\\.\\") + DEVICE_INTERFACE_NAME;
    Sim().Open(path.c_str(), &handle);
    std::vector<HWND> lists;
    for (const ListShape& shape : shapes) {
        HWND list = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT, 0, 0, 600, 400,
                                      parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
        ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
        for (int column = 0; column < shape.columns; ++column) {
            LVCOLUMNA lvc{};
            lvc.mask = LVCF_WIDTH;
            lvc.cx = 100;
            ::SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&lvc));
        }
        lists.push_back(list);
    }
    std::vector<uint8_t> output(4096);
    const double start = Seconds();
    for (const Request& request : requests) {
        const vesk::RequestShape* shape = vesk::FindRequest(request.code);
        Sim().Control(handle, request.code, request.input.data(),
                      static_cast<uint32_t>(request.input.size()), output.data(),
                      shape ? shape->outputSize : 0);
    }
    const double requestsDone = Seconds();
    char text[] = "Capacity Interface 00 with a long name";
    for (size_t i = 0; i < shapes.size(); ++i) {
        for (int row = 0; row < shapes[i].rows; ++row) {
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = row;
            item.pszText = text;
            item.lParam = row;
            const int inserted = static_cast<int>(
                ::SendMessageA(lists[i], LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            for (int column = 1; column < shapes[i].columns; ++column) {
                LVITEMA cell{};
                cell.iSubItem = column;
                cell.pszText = text;
                ::SendMessageA(lists[i], LVM_SETITEMTEXTA, inserted,
                               reinterpret_cast<LPARAM>(&cell));
            }
        }
    }
    const double elapsed = Seconds() - start;
    for (HWND list : lists) ::DestroyWindow(list);
    Sim().Close(handle);
    return {elapsed, requestsDone - start};
}

// The refresh with the window shown (on the Devices page) or hidden in the notification area,
// where a tray program mostly is when the driver's events come.
void BenchRefresh(const std::string& scenario, bool hidden) {
    RunningPanel panel(hidden ? "-hide" : "", scenario);
    CVESK_CPLView* view = panel.View();
    if (!panel.Started() || view == nullptr) {
        std::printf("refresh: the panel did not start\n");
        return;
    }
    uitest::PumpPending();
    Sim().TraceToMemory(true);
    std::vector<double> refreshes, floors, floorRequests;
    size_t requestCount = 0;
    for (int run = 0; run < 16; ++run) {
        Sim().ClearTrace();
        // What a driver event holds the window for: the refresh itself. The painting it
        // leaves behind is done once, afterwards, like any other.
        const double start = Seconds();
        view->RefreshAllPages();
        const double refresh = Seconds() - start;
        uitest::PumpPending();
        std::vector<std::string> lines;
        for (const std::string& line : Sim().TraceLines())
            if (line.rfind("ioctl ", 0) == 0) lines.push_back(line);
        requestCount = lines.size();
        const Floor floor = RefreshFloor(RequestsOf(lines), ListShapes(*view), view->m_hWnd);
        if (run == 0) continue;  // warming up
        refreshes.push_back(refresh * 1000);
        floors.push_back(floor.seconds * 1000);
        floorRequests.push_back(floor.requestSeconds * 1000);
    }
    // Where a refresh spends its time, page by page (one more run of each).
    const std::pair<const char*, std::function<void()>> pages[] = {
        {"  Devices page (ms)", [&] { view->m_pageDevices.RefreshDevices(); }},
        {"  Input Channels page (ms)", [&] { view->m_pageInputChannels.RefreshChannels(); }},
        {"  Output Channels page (ms)", [&] { view->m_pageOutputChannels.RefreshChannels(); }},
        {"  Streams page (ms)", [&] { view->m_pageStreams.RefreshStreams(); }},
        {"  ASIO settings page (ms)", [&] { view->m_pageAsioSettings.RefreshAsioSettings(); }},
        {"  Synchronisation list (ms)", [&] { view->m_pageSynchronisation.RefreshSyncList(); }},
        {"  Sampling rates (ms)", [&] { view->m_pageSynchronisation.RefreshSampleRates(); }},
    };
    std::vector<std::pair<const char*, double>> breakdown;
    for (const auto& page : pages) {
        const double start = Seconds();
        page.second();
        breakdown.emplace_back(page.first, (Seconds() - start) * 1000);
        uitest::PumpPending();
    }
    Sim().TraceToMemory(false);
    Row(hidden ? "refresh at capacity, hidden (ms)" : "refresh at capacity, shown (ms)",
        Median(refreshes), Median(floors), "");
    for (const auto& [name, ms] : breakdown) std::printf("%-36s %12.2f\n", name, ms);
    std::printf("%-36s %12zu\n", "  requests of one refresh", requestCount);
    std::printf("%-36s %12s %12.2f\n", "  of the floor, the requests (ms)", "",
                Median(floorRequests));
}

double ProcessCpuSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Runs the panel's message loop for `seconds`; counts the messages it handled and the
// requests the driver got (code 0 counts every request).
struct IdleFigures {
    int messages = 0;
    int requests = 0;
    int statistics = 0;
    double cpuSeconds = 0;
};

IdleFigures Idle(double seconds) {
    IdleFigures figures;
    Sim().TraceToMemory(true);
    Sim().ClearTrace();
    const double cpuStart = ProcessCpuSeconds();
    const double end = Seconds() + seconds;
    for (double now = Seconds(); now < end; now = Seconds()) {
        const DWORD remaining = static_cast<DWORD>((end - now) * 1000) + 1;
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, remaining, QS_ALLINPUT) != WAIT_OBJECT_0)
            continue;
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ++figures.messages;
            AfxGetApp()->ProcessMessage(msg);
        }
    }
    figures.cpuSeconds = std::max(0.0, ProcessCpuSeconds() - cpuStart);
    for (const std::string& line : Sim().TraceLines()) {
        if (line.rfind("ioctl ", 0) != 0) continue;
        ++figures.requests;
        if (line.find(" 0x80882ac8 ") != std::string::npos) ++figures.statistics;
    }
    Sim().TraceToMemory(false);
    return figures;
}

void BenchIdle(double seconds) {
    {
        RunningPanel panel("-hide");
        uitest::PumpPending();
        const IdleFigures hidden = Idle(seconds);
        std::printf("%-36s %12d %12d\n", "hidden: messages handled", hidden.messages, 0);
        std::printf("%-36s %12d %12d\n", "hidden: driver requests", hidden.requests, 0);
        Row("hidden: CPU seconds", hidden.cpuSeconds, 0, "(floor 0)");
    }
    {
        RunningPanel panel("-asio");
        uitest::PumpPending();
        const IdleFigures settings = Idle(seconds);
        std::printf("%-36s %12d %12.0f %8.2f\n", "Settings shown: statistics requests",
                    settings.statistics, seconds,
                    static_cast<double>(settings.statistics) / seconds);
        std::printf("%-36s %12d %12d\n", "Settings shown: other requests",
                    settings.requests - settings.statistics, 0);
        std::printf("%-36s %12d\n", "Settings shown: messages handled", settings.messages);
    }
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// Seconds from starting `program` until its first window waits for input (painted), or -1.
double StartUp(const std::string& program, const char* windowTitle) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = "\"" + program + "\"";
    const double start = Seconds();
    if (!::CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return -1;
    const DWORD idle = ::WaitForInputIdle(process.hProcess, 30000);
    const double elapsed = Seconds() - start;
    HWND window = nullptr;
    for (int i = 0; i < 1000 && window == nullptr; ++i) {
        window = ::FindWindowA(nullptr, windowTitle);
        if (window == nullptr) ::Sleep(10);  // only to end it; the figure is already taken
    }
    if (window != nullptr) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (window != nullptr) ::PostMessageA(window, WM_COMMAND, 32772, 0);  // the panel's Quit
    if (::WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return idle == 0 ? elapsed : -1;
}

// Against two floors: the bare window, and the panel's own windows made straight
// (vesk_bare_panel), which tells the panel's code apart from the Win32 work its windows cost.
void BenchStartUp() {
    const std::string folder = ProgramFolder();
    std::vector<double> panel, bare, barePanel;
    // Process starts vary more than anything else measured here: a longer series, the three
    // programs taking turns so that a slow spell of the machine falls on all of them.
    for (int run = 0; run < 16; ++run) {
        const double p = StartUp(folder + "VESK_CPL.exe", "Norvale QVX 1394 Driver Control Panel");
        const double b = StartUp(folder + "vesk_bare_window.exe", "Bare window");
        const double w = StartUp(folder + "vesk_bare_panel.exe", "Bare panel");
        if (run == 0) continue;  // warming up
        panel.push_back(p * 1000);
        bare.push_back(b * 1000);
        barePanel.push_back(w * 1000);
    }
    Row("start-up to painted window (ms)", Median(panel), Median(bare), "");
    Row("  against the same windows, bare", Median(panel), Median(barePanel),
        "(floor: vesk_bare_panel)");
}

void BenchSize() {
    const std::string program = ProgramFolder() + "VESK_CPL.exe";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(program.c_str(), GetFileExInfoStandard, &data)) return;
    Row("stripped VESK_CPL.exe (KiB)", data.nFileSizeLow / 1024.0, 512, "(floor: 512 KiB)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vesk_panel_bench SCENARIO.json [IDLE_SECONDS]\n");
        return 64;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::stringstream scenario;
    scenario << file.rdbuf();
    const double idleSeconds = argc > 2 ? std::atof(argv[2]) : 60;
    const char* only = std::getenv("VESK_BENCH_ONLY");
    if (only != nullptr && *only == '\0') only = nullptr;
    const char* const groups[] = {"refresh", "idle", "startup", "size"};
    if (only != nullptr &&
        std::none_of(std::begin(groups), std::end(groups),
                     [only](const char* g) { return std::strcmp(only, g) == 0; })) {
        // A misspelt group would otherwise print an empty table.
        std::fprintf(stderr, "VESK_BENCH_ONLY: refresh, idle, startup or size, not %s\n", only);
        return 64;
    }
#if defined(_WIN64)
    const char* architecture = "x64";
#else
    const char* architecture = "x86";
#endif
    std::printf(
        "%s build under %s\n", architecture,
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") ? "Wine" : "Windows");
    std::printf("%-36s %12s %12s %8s\n", "figure", "value", "floor", "ratio");
    const auto wanted = [only](const char* group) {
        return only == nullptr || std::strcmp(only, group) == 0;
    };
    if (wanted("refresh")) {
        BenchRefresh(scenario.str(), false);
        BenchRefresh(scenario.str(), true);
    }
    if (wanted("idle")) BenchIdle(idleSeconds);
    if (wanted("startup")) BenchStartUp();
    if (wanted("size")) BenchSize();
    return 0;
}
