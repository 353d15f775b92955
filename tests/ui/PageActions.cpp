#include "PageActions.h"

#include <utility>

#include "PanelHarness.h"
#include "app/AppMessages.h"
#include "sim/Simulator.h"

namespace uitest {
namespace {

using json = nlohmann::json;

// Erases `member` of every element of the array `array` of `state` (both may be nested paths
// given as JSON pointers).
void EraseFromEach(json& state, const char* array, const char* member) {
    json& elements = state[json::json_pointer(array)];
    for (json& element : elements) element.erase(member);
}

// Erases `members` from every device of a dump; TopMembers from the dump itself.
std::function<void(json&)> DeviceMembers(std::vector<const char*> members) {
    return [members](json& state) {
        for (const char* member : members) EraseFromEach(state, "/devices", member);
    };
}

std::function<void(json&)> TopMembers(std::vector<const char*> members) {
    return [members](json& state) {
        for (const char* member : members) state.erase(member);
    };
}

std::function<void(json&)> Both(std::function<void(json&)> a, std::function<void(json&)> b) {
    return [a, b](json& state) {
        a(state);
        b(state);
    };
}

void SelectPage(CVESK_CPLView& view, const char* item) {
    HWND tree = view.m_navigationTree.m_hWnd;
    ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET,
                   reinterpret_cast<LPARAM>(FindTreeItem(tree, item)));
}

// Presses `button` and answers the dialog it opens: types `text` into the field `field` (if
// any) and presses OK.
void ClickAnswering(HWND page, int button, int field, const char* text) {
    ModalAnswerer answerer([&](HWND dialog) {
        if (field != 0) ::SetWindowTextA(::GetDlgItem(dialog, field), text);
        ClickButton(dialog, IDOK);
    });
    ClickButton(page, button);
}

}  // namespace

const std::vector<PageAction>& PageActions() {
    static const std::vector<PageAction> actions = [] {
        std::vector<PageAction> list;
        const char* page = "";
        const auto add = [&list, &page](PageAction action) {
            action.page = page;
            list.push_back(std::move(action));
        };
        // Devices
        page = "Devices";
        add({nullptr, "rename",
             [](CVESK_CPLView& view) {
                 SelectPage(view, "Devices");
                 view.m_pageDevices.m_deviceList.SelectRow(1);
             },
             [](CVESK_CPLView& view) {
                 ClickAnswering(view.m_pageDevices.m_hWnd, IDC_DEVICE_EDIT_NAME,
                                IDC_DEVICE_NAME_EDIT, "Renamed");
             },
             DeviceMembers({"name"})});
        for (const auto& move : {std::make_pair("up and apply", IDC_DEVICE_UP),
                                 std::make_pair("down and apply", IDC_DEVICE_DOWN)}) {
            add({nullptr, move.first,
                 [](CVESK_CPLView& view) {
                     SelectPage(view, "Devices");
                     view.m_pageDevices.m_deviceList.SelectRow(1);
                 },
                 [move](CVESK_CPLView& view) {
                     ClickButton(view.m_pageDevices.m_hWnd, move.second);
                     ClickButton(view.m_pageDevices.m_hWnd, IDC_DEVICE_APPLY);
                 },
                 DeviceMembers({"rank"})});
        }

        // Channels
        page = "Channels";
        const auto channelNames = [](json& state) {
            for (json& device : state["devices"]) {
                EraseFromEach(device, "/inputs", "channelName");
                EraseFromEach(device, "/outputs", "channelName");
            }
        };
        add({nullptr, "rename",
             [](CVESK_CPLView& view) {
                 SelectPage(view, "Input Channels");
                 view.m_pageInputChannels.m_channelList.SelectRow(3);
             },
             [](CVESK_CPLView& view) {
                 ClickAnswering(view.m_pageInputChannels.m_hWnd, IDC_CHANNEL_EDIT_NAME,
                                IDC_CHANNEL_NAME_EDIT, "Renamed");
             },
             channelNames});
        add({nullptr, "include device name",
             [](CVESK_CPLView& view) { SelectPage(view, "Output Channels"); },
             [](CVESK_CPLView& view) {
                 ClickButton(view.m_pageOutputChannels.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE);
             },
             TopMembers({"asioNameIncludesDevice"})});

        // Synchronisation
        page = "Synchronisation";
        const auto rateFields =
            Both(TopMembers({"sampleRate", "asioBufferDepth", "wdmBufferDepth"}),
                 DeviceMembers({"streams"}));
        add({nullptr, "sampling rate",
             [](CVESK_CPLView& view) {
                 SelectPage(view, "Synchronisation");
                 CComboBox& combo = view.m_pageSynchronisation.m_sampleRateCombo;
                 combo.SetCurSel(0);
                 ::SendMessageA(view.m_pageSynchronisation.m_hWnd, WM_COMMAND,
                                MAKEWPARAM(IDC_SAMPLE_RATE_COMBO, CBN_SELCHANGE),
                                reinterpret_cast<LPARAM>(combo.m_hWnd));
             },
             [](CVESK_CPLView& view) {
                 ClickButton(view.m_pageSynchronisation.m_hWnd, IDC_RATE_APPLY);
             },
             rateFields});
        add({nullptr, "mode dialog and apply",
             [](CVESK_CPLView& view) {
                 SelectPage(view, "Synchronisation");
                 view.m_pageSynchronisation.m_syncList.SelectRow(1);
             },
             [](CVESK_CPLView& view) {
                 HWND sync = view.m_pageSynchronisation.m_hWnd;
                 ClickAnswering(sync, IDC_SYNC_CHANGE_MODE, 0, nullptr);
                 ClickButton(sync, IDC_RATE_MANUAL);
                 ClickButton(sync, IDC_SYNC_APPLY);
             },
             Both(TopMembers({"clockMaster", "sampleRateMode", "streaming", "events"}),
                  DeviceMembers({"syncModes", "streams"}))});

        // Settings
        page = "Settings";
        const struct {
            const char* name;
            int slider, apply, position;
            const char* member;
        } sliders[] = {
            {"stream depth", IDC_STREAM_SLIDER, IDC_STREAM_APPLY, 20, "streamBufferDepth"},
            {"ASIO depth", IDC_ASIO_SLIDER, IDC_ASIO_APPLY, 40, "asioBufferDepth"},
            {"WDM depth", IDC_WDM_SLIDER, IDC_WDM_APPLY, 12, "wdmBufferDepth"}};
        // Applying the stream and WDM depths stops and restarts streaming: a failed restart leaves
        // it stopped.
        for (const auto& slider : sliders) {
            add({nullptr, slider.name,
                 [slider](CVESK_CPLView& view) {
                     SelectPage(view, "Settings");
                     MoveSlider(view.m_pageAsioSettings.m_hWnd, slider.slider, slider.position);
                 },
                 [slider](CVESK_CPLView& view) {
                     ClickButton(view.m_pageAsioSettings.m_hWnd, slider.apply);
                 },
                 Both(TopMembers({slider.member, "events", "streaming"}),
                      DeviceMembers({"streams"}))});
        }
        add({nullptr, "statistics timer", [](CVESK_CPLView& view) { SelectPage(view, "Settings"); },
             [](CVESK_CPLView& view) {
                 ::SendMessageA(view.m_pageAsioSettings.m_hWnd, WM_TIMER,
                                CDlgPgASIOSettings::STATISTICS_TIMER_ID, 0);
             }});

        // Events and About box
        page = "Events and About box";
        add({nullptr, "event drain", [](CVESK_CPLView&) {},
             [](CVESK_CPLView& view) {
                 sim::Simulator::Instance().Execute("event 1");
                 sim::Simulator::Instance().Execute("event 3");
                 ::SendMessageA(view.m_hWnd, WM_DRIVER_EVENT, 0, 0);
             },
             TopMembers({"events"})});
        add({nullptr, "About box", [](CVESK_CPLView&) {},
             [](CVESK_CPLView& view) {
                 ModalAnswerer answerer([](HWND about) { ClickButton(about, IDOK); });
                 ::SendMessageA(::GetAncestor(view.m_hWnd, GA_ROOT), WM_COMMAND, ID_APP_ABOUT, 0);
             }});

        return list;
    }();
    return actions;
}

}  // namespace uitest
