// The Synchronisation page over the simulated driver: what the list, the radio buttons, the
// combo box and the status bar show, and what reaches the driver when the user applies.
#include <cstring>
#include <string>
#include <vector>

#include "PageRequestTrace.h"
#include "PanelTestFixture.h"
#include "model/Drv.h"
#include "pages/DlgPgSynchronisation.h"

namespace uitest {
namespace {

constexpr const char* kStopStreaming = "0x80882a04";
constexpr const char* kStartStreaming = "0x80882a00";
constexpr const char* kSetClockMaster = "0x80882884";
constexpr const char* kGetClockMaster = "0x80882880";
constexpr const char* kSetRateMode = "0x8088288c";
constexpr const char* kGetRateMode = "0x80882888";
constexpr const char* kSetSyncMode = "0x80882904";
constexpr const char* kSetRate = "0x808828c4";
constexpr const char* kGetRate = "0x808828c0";

bool RowChecked(HWND list, int row) {
    const auto state = static_cast<UINT>(
        ::SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
    return (state >> 12) == 2;
}

void SetRowCheck(HWND list, int row, bool checked) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

std::vector<bool> CheckedRows(HWND list) {
    std::vector<bool> rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) rows.push_back(RowChecked(list, row));
    return rows;
}

struct ComboEntry {
    std::string text;
    DWORD_PTR data;
    bool operator==(const ComboEntry& other) const {
        return text == other.text && data == other.data;
    }
};

std::vector<ComboEntry> ComboEntries(HWND combo) {
    std::vector<ComboEntry> entries;
    const int count = static_cast<int>(::SendMessageA(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = "";
        ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.push_back({text, static_cast<DWORD_PTR>(::SendMessageA(
                                     combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0))});
    }
    return entries;
}

// The view's Synchronisation page, shown by its tree item as the user would show it.
class SyncPageUnderTest {
  public:
    explicit SyncPageUnderTest(RunningPanel& panel)
        : page(panel.View()->m_pageSynchronisation), m_panel(panel) {
        HWND tree = panel.View()->m_navigationTree.m_hWnd;
        ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(FindTreeItem(tree, "Synchronisation")));
        created = page.m_hWnd != nullptr && page.IsWindowVisible();
    }
    HWND Item(int id) const { return ::GetDlgItem(page.m_hWnd, id); }
    HWND List() const { return Item(IDC_SYNC_LIST); }
    HWND Combo() const { return Item(IDC_SAMPLE_RATE_COMBO); }
    bool Enabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    std::vector<std::vector<std::string>> Rows() const { return ListRows(List(), 3); }
    void ChooseRate(int index) {
        ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        ::SendMessageA(page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SAMPLE_RATE_COMBO, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(Combo()));
    }
    std::string RatePane() const { return PaneText(m_panel.Frame()->m_wndStatusBar.m_hWnd, 2); }

    CDlgPgSynchronisation& page;
    bool created = false;

  private:
    RunningPanel& m_panel;
};

constexpr const char* kPcDriverMaster =
    R"({"clockMaster": {"reserved": 7, "masterType": 0, "masterDeviceId": 0}})";

using SynchronisationPage = PanelTest;

TEST_F(SynchronisationPage, PcDriverAsMasterIsRowZeroCheckedWithRadiosDisabled) {
    RunningPanel panel("", kPcDriverMaster);
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);

    const std::vector<std::vector<std::string>> expected = {
        {"", "PC Driver", "Internal"},
        {"", "Studio Interface", "Internal"},
        {"", "Portable Interface", "SYT (1394 bus)"},
        {"", "Preamp Rack", "SYT (1394 bus)"}};
    EXPECT_EQ(sync.Rows(), expected);
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(sync.page.m_syncList.GetItemData(0), static_cast<DWORD_PTR>(-1));
    EXPECT_EQ(sync.page.m_syncList.GetItemData(3), 2u);
    EXPECT_TRUE(sync.page.m_syncList.GetExtendedStyle() & 0x25);

    EXPECT_FALSE(sync.Enabled(IDC_RATE_MANUAL));
    EXPECT_FALSE(sync.Enabled(IDC_RATE_AUTOMATIC));
    EXPECT_FALSE(::IsWindowVisible(sync.Item(IDC_RATE_AUTOMATIC)));
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));
    EXPECT_FALSE(sync.Enabled(IDC_RATE_APPLY));
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_CHANGE_MODE));  // nothing selected

    const std::vector<ComboEntry> rates = {
        {"44.1 kHz", 44100}, {"48.0 kHz", 48000}, {"88.2 kHz", 88200}, {"96.0 kHz", 96000}};
    EXPECT_EQ(ComboEntries(sync.Combo()), rates);
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(sync.Enabled(IDC_SAMPLE_RATE_COMBO));
    EXPECT_EQ(sync.RatePane(), "Current sampling rate: 48.0 kHz");

    // The PC driver row has no mode to change, by button or by double click.
    sync.page.m_syncList.SelectRow(0);
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_CHANGE_MODE));
    ModalAnswerer answerer([](HWND dialog) { ::EndDialog(dialog, IDCANCEL); });
    NMHDR doubleClick{sync.List(), IDC_SYNC_LIST, static_cast<UINT>(NM_DBLCLK)};
    ::SendMessageA(sync.page.m_hWnd, WM_NOTIFY, IDC_SYNC_LIST,
                   reinterpret_cast<LPARAM>(&doubleClick));
    ::SendMessageA(sync.page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SYNC_CHANGE_MODE, BN_CLICKED),
                   reinterpret_cast<LPARAM>(sync.Item(IDC_SYNC_CHANGE_MODE)));
    EXPECT_EQ(answerer.Dialog(), nullptr);
}

TEST_F(SynchronisationPage, CheckingADeviceMakesItMasterAndApplySendsTheWholeSequence) {
    RunningPanel panel("", kPcDriverMaster);
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sim::Simulator::Instance().ClearTrace();

    SetRowCheck(sync.List(), 2, true);
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(sync.Rows()[0][2], "External");
    EXPECT_TRUE(sync.Enabled(IDC_RATE_MANUAL));
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_APPLY));
    EXPECT_FALSE(::IsWindowVisible(sync.Item(IDC_RATE_AUTOMATIC)));
    EXPECT_EQ(sync.page.m_clockMasterRow, 2);

    // The clock master's box cannot be cleared: it is checked again at once.
    SetRowCheck(sync.List(), 2, false);
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{false, false, true, false}));
    EXPECT_TRUE(Requests().empty()) << "nothing is sent before Apply";

    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_APPLY));
    const std::vector<Request> requests = Requests();
    ASSERT_GE(requests.size(), 7u);
    const std::vector<std::string> codes = Codes(requests);
    const std::vector<std::string> applied(codes.begin(), codes.begin() + 7);
    EXPECT_EQ(applied,
              (std::vector<std::string>{kStopStreaming, kSetClockMaster, kSetRateMode, kSetSyncMode,
                                        kSetSyncMode, kSetSyncMode, kStartStreaming}));
    // Reserved goes back as read; the master is the device of row 2.
    EXPECT_EQ(requests[1].in, HexWords({7, 1, 0x1002}));
    EXPECT_EQ(requests[2].in, HexWords({0, 0}));
    EXPECT_EQ(requests[3].in, HexWords({0x1001, 6, 1}));
    EXPECT_EQ(requests[4].in, HexWords({0x1002, 2, 2}));
    EXPECT_EQ(requests[5].in, HexWords({0x1003, 3, 2}));
    for (size_t i = 0; i < 7; ++i) EXPECT_EQ(requests[i].status, "0x00000000") << i;
    // Then the page reads back what the driver now holds.
    const std::vector<Request> reread(requests.begin() + 7, requests.end());
    EXPECT_TRUE(Sent(reread, kGetClockMaster));
    EXPECT_TRUE(Sent(reread, kGetRateMode));
    EXPECT_TRUE(Sent(reread, kGetRate));
    EXPECT_FALSE(Sent(reread, kSetClockMaster));
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(sync.Rows()[0][2], "External");
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));

    // Back to the PC driver: the rate mode becomes manual and the combo box usable.
    sync.page.m_syncList.SelectRow(2);
    theDrv.m_sampleRateMode = 1;
    SetRowCheck(sync.List(), 0, true);
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(theDrv.m_clockMaster.MasterType, 0u);
    EXPECT_EQ(theDrv.m_clockMaster.MasterDeviceId, 0u);
    EXPECT_EQ(theDrv.m_sampleRateMode, 0u);
    EXPECT_EQ(sync.page.m_rateModeRadio, 0);
    EXPECT_TRUE(sync.Enabled(IDC_SAMPLE_RATE_COMBO));
    EXPECT_FALSE(sync.Enabled(IDC_RATE_MANUAL));
    EXPECT_EQ(sync.Rows()[0][2], "Internal");
}

TEST_F(SynchronisationPage, AFailedStopStreamingSendsNothingMore) {
    RunningPanel panel("", kPcDriverMaster);
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    SetRowCheck(sync.List(), 1, true);
    ASSERT_TRUE(sim::Simulator::Instance().Execute("fail 0x80882a04 0x0000001f 1"));
    sim::Simulator::Instance().ClearTrace();

    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_APPLY));
    const std::vector<Request> requests = Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, kStopStreaming);
    EXPECT_EQ(requests[0].status, "0x0000001f");
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));
    // The unsent choice stays on screen until the next refresh.
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{false, true, false, false}));
    sync.page.RefreshSynchronisation();
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{true, false, false, false}));
}

TEST_F(SynchronisationPage, AutomaticRateModeShowsNoRadioAndManualClickEnablesApply) {
    RunningPanel panel("", R"({"sampleRateMode": 1})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    // The demo's clock master is the first device.
    EXPECT_EQ(CheckedRows(sync.List()), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(sync.Rows()[0][2], "External");
    EXPECT_EQ(::SendMessageA(sync.Item(IDC_RATE_MANUAL), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(::IsWindowVisible(sync.Item(IDC_RATE_AUTOMATIC)));
    EXPECT_FALSE(sync.Enabled(IDC_SAMPLE_RATE_COMBO));
    EXPECT_TRUE(sync.Enabled(IDC_RATE_MANUAL));

    sim::Simulator::Instance().ClearTrace();
    ::SendMessageA(sync.Item(IDC_RATE_MANUAL), BM_CLICK, 0, 0);
    EXPECT_EQ(theDrv.m_sampleRateMode, 0u);
    EXPECT_EQ(::SendMessageA(sync.Item(IDC_RATE_MANUAL), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageA(sync.Item(IDC_RATE_AUTOMATIC), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(sync.Enabled(IDC_SAMPLE_RATE_COMBO));
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_APPLY));
    EXPECT_TRUE(Requests().empty());
}

TEST_F(SynchronisationPage, SelectionSurvivesARebuildByIndexUntilTheRowIsGone) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.page.m_syncList.SelectRow(3);
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_CHANGE_MODE));
    sync.page.RefreshSyncList();
    EXPECT_EQ(sync.page.m_syncList.GetSelectedIndex(), 3);
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_CHANGE_MODE));

    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1003"));
    sync.page.RefreshSyncList();
    EXPECT_EQ(sync.Rows().size(), 3u);
    EXPECT_EQ(sync.page.m_syncList.GetSelectedIndex(), -1);
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_CHANGE_MODE));

    // Without devices there is not even the PC driver row, and no rate to choose.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1001"));
    ASSERT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1002"));
    sync.page.RefreshSynchronisation();
    EXPECT_TRUE(sync.Rows().empty());
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(sync.Enabled(IDC_SAMPLE_RATE_COMBO));
    EXPECT_EQ(sync.RatePane(), "Current sampling rate: unknown");
}

TEST_F(SynchronisationPage, RateApplySendsOnlyTheRate) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.ChooseRate(0);
    EXPECT_TRUE(sync.Enabled(IDC_RATE_APPLY));
    sim::Simulator::Instance().ClearTrace();

    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_RATE_APPLY));
    const std::vector<Request> requests = Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests[0].code, kSetRate);
    EXPECT_EQ(requests[0].in, HexWords({0, 44100}));
    EXPECT_EQ(requests[0].status, "0x00000000");
    EXPECT_FALSE(Sent(requests, kStopStreaming));
    EXPECT_FALSE(Sent(requests, kStartStreaming));
    EXPECT_TRUE(Sent(requests, kGetRate));
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(sync.RatePane(), "Current sampling rate: 44.1 kHz");
    EXPECT_FALSE(sync.Enabled(IDC_RATE_APPLY));
}

TEST_F(SynchronisationPage, WdmInUseShowsTheWarningAndTheRateStays) {
    RunningPanel panel("", R"({"wdmInUse": true})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.ChooseRate(3);
    std::string text, caption;
    bool cancelVisible = true;
    HICON icon = nullptr;
    ModalAnswerer answerer([&](HWND box) {
        caption = WindowText(box);
        text = ControlText(box, 0xFFFF);
        // The message box's text and icon controls have fixed ids.
        for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
             child = ::GetWindow(child, GW_HWNDNEXT)) {
            char className[32] = "";
            ::GetClassNameA(child, className, sizeof className);
            if (std::strcmp(className, "Static") != 0) continue;
            if (auto shown = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0)))
                icon = shown;
            else if (text.empty())
                text = WindowText(child);
        }
        HWND cancel = ::GetDlgItem(box, IDCANCEL);
        cancelVisible = cancel != nullptr && ::IsWindowVisible(cancel);
        EXPECT_TRUE(ClickButton(box, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_RATE_APPLY));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_FALSE(answerer.TimedOut());
    EXPECT_EQ(text, "A WDM sound device is currently in use.\nSampling rate cannot be changed.");
    EXPECT_EQ(caption, LoadStringText(57344).str());
    EXPECT_FALSE(cancelVisible);
    EXPECT_EQ(icon, ::LoadIconA(nullptr, IDI_EXCLAMATION));

    const std::vector<Request> requests = Requests();
    ASSERT_TRUE(Sent(requests, kSetRate));
    // The combo box shows the rate the driver kept.
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(sync.RatePane(), "Current sampling rate: 48.0 kHz");
    EXPECT_FALSE(sync.Enabled(IDC_RATE_APPLY));
}

TEST_F(SynchronisationPage, AnUnavailableCurrentRateIsTheLastEntryAndNeverApplied) {
    RunningPanel panel("", R"({"sampleRate": {"currentRate": 22050, "rates": [44100, 48000]}})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    const std::vector<ComboEntry> expected = {
        {"44.1 kHz", 44100}, {"48.0 kHz", 48000}, {"22.0 kHz (unavailable)", 0}};
    EXPECT_EQ(ComboEntries(sync.Combo()), expected);
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(sync.RatePane(), "Current sampling rate: 22.0 kHz");

    sync.ChooseRate(0);
    EXPECT_TRUE(sync.Enabled(IDC_RATE_APPLY));
    sync.ChooseRate(2);
    EXPECT_FALSE(sync.Enabled(IDC_RATE_APPLY));
    // Even a click that reaches the page sends no rate for that entry.
    sim::Simulator::Instance().ClearTrace();
    ::SendMessageA(sync.page.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_RATE_APPLY, BN_CLICKED),
                   reinterpret_cast<LPARAM>(sync.Item(IDC_RATE_APPLY)));
    EXPECT_FALSE(Sent(Requests(), kSetRate));
}

TEST_F(SynchronisationPage, RateCountsPastTheRecordListOnlyWhatItHolds) {
    // Reserved, CurrentRate 48000, RateCount 50, then the record's eight rates.
    const std::string raw =
        HexWords({0, 48000, 50, 32000, 44100, 48000, 88200, 96000, 176400, 192000, 22050});
    RunningPanel panel("", R"({"raw": {"0x808828c0": ")" + raw + R"("}})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    const std::vector<ComboEntry> entries = ComboEntries(sync.Combo());
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries.back(), (ComboEntry{"22.0 kHz", 22050}));
    EXPECT_EQ(::SendMessageA(sync.Combo(), CB_GETCURSEL, 0, 0), 2);
}

// What the Device Synchronisation Mode dialog showed when it opened.
struct ModeDialogSeen {
    std::string caption;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> checked;
};

ModeDialogSeen Look(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, IDC_SYNC_LIST);
    return {WindowText(dialog), ListRows(list, 2), CheckedRows(list)};
}

bool SameMode(const _DEVICE_SYNC_MODE& a, const _DEVICE_SYNC_MODE& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(SynchronisationPage, ModeDialogPicksAModeThatApplySends) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.page.m_syncList.SelectRow(1);
    ASSERT_TRUE(sync.Enabled(IDC_SYNC_CHANGE_MODE));
    const _DEVICE_SYNC_MODE_INFO before = *theDrv.m_syncModes[0];
    sim::Simulator::Instance().ClearTrace();

    ModeDialogSeen seen;
    std::vector<bool> afterPick, afterUncheck;
    ModalAnswerer answerer([&](HWND dialog) {
        seen = Look(dialog);
        HWND list = ::GetDlgItem(dialog, IDC_SYNC_LIST);
        SetRowCheck(list, 2, true);
        afterPick = CheckedRows(list);
        SetRowCheck(list, 2, false);  // the chosen mode cannot be cleared
        afterUncheck = CheckedRows(list);
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_FALSE(answerer.TimedOut());
    EXPECT_EQ(seen.caption, "Device Synchronisation Mode");
    const std::vector<std::vector<std::string>> modes = {{"", "Internal"},
                                                         {"", "SYT (1394 bus)"},
                                                         {"", "Digital Input (S/PDIF)"},
                                                         {"", "External Clock (Word clock)"}};
    EXPECT_EQ(seen.rows, modes);
    EXPECT_EQ(seen.checked, (std::vector<bool>{true, false, false, false}));
    EXPECT_EQ(afterPick, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(afterUncheck, afterPick);

    // The whole entry became the current mode; nothing else of the record changed.
    const _DEVICE_SYNC_MODE_INFO& after = *theDrv.m_syncModes[0];
    EXPECT_TRUE(SameMode(after.CurrentMode, before.Modes[2]));
    EXPECT_EQ(after.DeviceId, before.DeviceId);
    EXPECT_EQ(after.ModeCount, before.ModeCount);
    EXPECT_EQ(std::memcmp(after.Modes, before.Modes, sizeof before.Modes), 0);
    EXPECT_EQ(sync.Rows()[1][2], "Digital Input (S/PDIF)");
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_APPLY));
    EXPECT_TRUE(Requests().empty()) << "nothing is sent before Apply";

    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_APPLY));
    const std::vector<Request> requests = Requests();
    ASSERT_EQ(CountOf(requests, kSetSyncMode), 3u);
    for (const Request& request : requests) {
        if (request.code == kSetSyncMode && request.in.rfind(HexWords({0x1001}), 0) == 0) {
            EXPECT_EQ(request.in, HexWords({0x1001, 4, 3}));
        }
    }
    // The driver took the mode: the rebuilt list shows it.
    EXPECT_EQ(sync.Rows()[1][2], "Digital Input (S/PDIF)");
}

TEST_F(SynchronisationPage, ModeDialogCancelledByDoubleClickChangesNothing) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.page.m_syncList.SelectRow(2);
    const _DEVICE_SYNC_MODE_INFO before = *theDrv.m_syncModes[1];

    ModeDialogSeen seen;
    ModalAnswerer answerer([&](HWND dialog) {
        seen = Look(dialog);
        SetRowCheck(::GetDlgItem(dialog, IDC_SYNC_LIST), 0, true);
        EXPECT_TRUE(ClickButton(dialog, IDCANCEL));
    });
    NMHDR doubleClick{sync.List(), IDC_SYNC_LIST, static_cast<UINT>(NM_DBLCLK)};
    ::SendMessageA(sync.page.m_hWnd, WM_NOTIFY, IDC_SYNC_LIST,
                   reinterpret_cast<LPARAM>(&doubleClick));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_EQ(seen.checked, (std::vector<bool>{false, true}));
    EXPECT_EQ(std::memcmp(theDrv.m_syncModes[1], &before, sizeof before), 0);
    EXPECT_EQ(sync.Rows()[2][2], "SYT (1394 bus)");
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));
}

TEST_F(SynchronisationPage, ModeDialogWithoutModesOrWithoutAMatchingMode) {
    RunningPanel panel("", R"({"devices": [
        {"id": "0x1001", "rank": 0, "name": "No Modes",
         "syncModes": {"current": {"syncType": 5, "modeId": 4, "modeName": "Word clock"},
                       "modes": []}},
        {"id": "0x1002", "rank": 1, "name": "Lost Mode",
         "syncModes": {"current": {"syncType": 2, "modeId": 9, "modeName": "gone"},
                       "modes": [{"syncType": 6, "modeId": 1, "modeName": ""},
                                 {"syncType": 2, "modeId": 2, "modeName": "1394 bus"}]}}],
        "clockMaster": {"masterType": 1, "masterDeviceId": "0x1001"}})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);

    // No modes at all: an empty list, and OK keeps the mode but still counts as a change.
    sync.page.m_syncList.SelectRow(1);
    ModeDialogSeen seen;
    ModalAnswerer empty([&](HWND dialog) {
        seen = Look(dialog);
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(empty.Answered());
    EXPECT_TRUE(seen.rows.empty());
    EXPECT_EQ(sync.Rows()[1][2], "External Clock (Word clock)");
    EXPECT_EQ(theDrv.m_syncModes[0]->CurrentMode.ModeId, 4u);
    EXPECT_TRUE(sync.Enabled(IDC_SYNC_APPLY));
}

TEST_F(SynchronisationPage, ModeDialogWithACurrentModeNotOfferedChecksNoRow) {
    RunningPanel panel("", R"({"devices": [
        {"id": "0x1002", "rank": 1, "name": "Lost Mode",
         "syncModes": {"current": {"syncType": 2, "modeId": 9, "modeName": "gone"},
                       "modes": [{"syncType": 6, "modeId": 1, "modeName": ""},
                                 {"syncType": 2, "modeId": 2, "modeName": "1394 bus"}]}}],
        "clockMaster": {"masterType": 0}})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    EXPECT_EQ(sync.Rows()[1][2], "SYT (gone)");
    sync.page.m_syncList.SelectRow(1);
    ModeDialogSeen seen;
    ModalAnswerer answerer([&](HWND dialog) {
        // Giving the list the keyboard focus must not pick a mode of its own accord.
        ::SetFocus(::GetDlgItem(dialog, IDC_SYNC_LIST));
        seen = Look(dialog);
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_EQ(seen.rows.size(), 2u);
    EXPECT_EQ(seen.checked, (std::vector<bool>{false, false}));
    EXPECT_EQ(theDrv.m_syncModes[0]->CurrentMode.ModeId, 9u);
}

TEST_F(SynchronisationPage, ARefreshWhileTheModeDialogIsOpenDropsItsResult) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);

    // The view refreshes all pages while the dialog is open (driver event, device change).
    sync.page.m_syncList.SelectRow(1);
    ModalAnswerer refreshed([&](HWND dialog) {
        SetRowCheck(::GetDlgItem(dialog, IDC_SYNC_LIST), 3, true);
        sync.page.RefreshSynchronisation();
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(refreshed.Answered());
    EXPECT_EQ(theDrv.m_syncModes[0]->CurrentMode.ModeId, 1u) << "the reloaded record is as read";
    EXPECT_EQ(sync.Rows()[1][2], "Internal");
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));

    // The same while the device leaves: its row index now belongs to another device.
    sync.page.m_syncList.SelectRow(1);
    ModalAnswerer unplugged([&](HWND dialog) {
        SetRowCheck(::GetDlgItem(dialog, IDC_SYNC_LIST), 2, true);
        EXPECT_TRUE(sim::Simulator::Instance().Execute("remove-device 0x1001"));
        sync.page.RefreshSynchronisation();
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(unplugged.Answered());
    ASSERT_EQ(theDrv.m_syncModes.GetSize(), 2);
    EXPECT_EQ(theDrv.m_syncModes[0]->DeviceId, 0x1002u);
    EXPECT_EQ(theDrv.m_syncModes[0]->CurrentMode.ModeId, 2u);
    EXPECT_EQ(sync.Rows()[1],
              (std::vector<std::string>{"", "Portable Interface", "SYT (1394 bus)"}));
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));
}

TEST_F(SynchronisationPage, ADriverEventWhileTheModeDialogIsOpenDropsItsResult) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    sync.page.m_syncList.SelectRow(2);
    bool refreshed = false;
    ModalAnswerer answerer([&](HWND dialog) {
        SetRowCheck(::GetDlgItem(dialog, IDC_SYNC_LIST), 0, true);
        // The driver reports a streaming restart; the view refreshes every page from the
        // dialog's modal loop.
        sim::Simulator::Instance().ClearTrace();
        EXPECT_TRUE(sim::Simulator::Instance().Execute("event 2"));
        refreshed = PumpUntil([] { return Sent(Requests(), "0x80882900"); });
        EXPECT_TRUE(ClickButton(dialog, IDOK));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(answerer.Answered());
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(theDrv.m_syncModes[1]->CurrentMode.ModeId, 2u);
    EXPECT_EQ(sync.Rows()[2][2], "SYT (1394 bus)");
    EXPECT_FALSE(sync.Enabled(IDC_SYNC_APPLY));
}

TEST_F(SynchronisationPage, QuitFromInsideTheModeDialogOrTheWarningEndsCleanly) {
    for (const bool warning : {false, true}) {
        RunningPanel panel("", R"({"wdmInUse": true})");
        ASSERT_TRUE(panel.Started());
        SyncPageUnderTest sync(panel);
        ASSERT_TRUE(sync.created);
        HWND page = sync.page.m_hWnd;
        HWND frame = panel.FrameWindow();
        sync.page.m_syncList.SelectRow(1);
        sync.ChooseRate(0);
        bool ended = false;
        // "-exit" from another start posts Quit while the dialog's modal loop runs; the view
        // and its pages are gone when the loop returns.
        ModalAnswerer answerer([&](HWND) {
            ::PostMessageA(frame, WM_COMMAND, ID_TRAY_QUIT, 0);
            ended = PumpUntil([&] { return !::IsWindow(frame); });
            sim::Simulator::Instance().ClearTrace();
        });
        ::SendMessageA(page, WM_COMMAND,
                       MAKEWPARAM(warning ? IDC_RATE_APPLY : IDC_SYNC_CHANGE_MODE, BN_CLICKED), 0);
        EXPECT_TRUE(answerer.Answered()) << warning;
        EXPECT_TRUE(ended) << warning;
        EXPECT_TRUE(sim::Simulator::Instance().TraceLines().empty()) << warning;
        // Nothing of the deleted page ran afterwards: it would have reloaded the model.
        EXPECT_EQ(theDrv.m_devices.GetSize(), 3) << warning;
        EXPECT_EQ(theDrv.m_syncModes.GetSize(), 3) << warning;
        EXPECT_TRUE(PumpUntil([] { return QuitSeen(); })) << warning;
    }
}

TEST_F(SynchronisationPage, ModeCountsPastTheRecordListOnlyItsSixteenModes) {
    _DEVICE_SYNC_MODE_INFO info{};
    info.DeviceId = 0x1001;
    info.ModeCount = 100;
    for (uint32_t i = 0; i < VESK_MAX_SYNC_MODES; ++i) {
        info.Modes[i].SyncType = 6;
        info.Modes[i].ModeId = i + 1;
        info.Modes[i].ModeName[0] = 'm';
        info.Modes[i].ModeName[1] = static_cast<char>('a' + i);
    }
    info.CurrentMode = info.Modes[15];
    RunningPanel panel("", R"({"raw": {"0x80882900": ")" + Hex(&info, sizeof info) + R"("}})");
    ASSERT_TRUE(panel.Started());
    SyncPageUnderTest sync(panel);
    ASSERT_TRUE(sync.created);
    EXPECT_EQ(sync.Rows()[1][2], "Internal (mp)");
    sync.page.m_syncList.SelectRow(1);
    ModeDialogSeen seen;
    ModalAnswerer answerer([&](HWND dialog) {
        seen = Look(dialog);
        EXPECT_TRUE(ClickButton(dialog, IDCANCEL));
    });
    ASSERT_TRUE(ClickButton(sync.page.m_hWnd, IDC_SYNC_CHANGE_MODE));
    ASSERT_TRUE(answerer.Answered());
    ASSERT_EQ(seen.rows.size(), 16u);
    EXPECT_EQ(seen.rows[15][1], "Internal (mp)");
    EXPECT_TRUE(seen.checked[15]);
}

}  // namespace
}  // namespace uitest
