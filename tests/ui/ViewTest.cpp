// The navigation view over the simulated driver: its start, the tree and the pages it shows,
// device notices, driver events and the initial update run again by New and Open.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "PanelTestFixture.h"
#include "app/AppMessages.h"

namespace uitest {
namespace {

constexpr char kGetEvent[] = "0x80882828";
constexpr char kGetChannelList[] = "0x80882864";
constexpr char kSetNotificationEvent[] = "0x80882820";
constexpr char kNoMoreEvents[] = "0x00000103";

// One traced request with the connection it went through.
struct Traced {
    int connection;
    std::string code;
    std::string status;
};

std::vector<Traced> TracedRequests() {
    std::vector<Traced> requests;
    for (const std::string& line : sim::Simulator::Instance().TraceLines()) {
        // ioctl N CODE in=HEX -> STATUS out=HEX; the hex may be empty.
        std::istringstream words(line);
        std::string kind, connection, code, in, arrow, status;
        words >> kind >> connection >> code >> in >> arrow >> status;
        if (kind == "ioctl" && arrow == "->")
            requests.push_back({std::atoi(connection.c_str()), code, status});
    }
    return requests;
}

size_t Count(const std::vector<Traced>& requests, const std::string& code, int connection = 0) {
    size_t count = 0;
    for (const Traced& request : requests)
        if (request.code == code && (connection == 0 || request.connection == connection)) ++count;
    return count;
}

size_t CountLines(const std::string& prefix) {
    size_t count = 0;
    for (const std::string& line : sim::Simulator::Instance().TraceLines())
        count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
}

// Each full refresh reads the channel list twice, once for each Channels page.
size_t FullRefreshes() {
    return Count(TracedRequests(), kGetChannelList) / 2;
}

// The pages in the order of the view's table, with the tree item that shows each.
struct PageOnShow {
    const char* item;
    CDialogPage* page;
};

std::vector<CDialogPage*> AllPages(CVESK_CPLView& view) {
    return {&view.m_pageStreams, &view.m_pageInputChannels, &view.m_pageOutputChannels,
            &view.m_pageDevices, &view.m_pageAsioSettings,  &view.m_pageSynchronisation};
}

std::vector<CDialogPage*> VisiblePages(CVESK_CPLView& view) {
    std::vector<CDialogPage*> visible;
    for (CDialogPage* page : AllPages(view))
        if (::IsWindowVisible(page->m_hWnd)) visible.push_back(page);
    return visible;
}

// A device-interface notice as the system sends it, with any name.
std::vector<unsigned char> InterfaceNotice(const std::string& name) {
    const size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name) + name.size() + 1;
    std::vector<unsigned char> storage(std::max(size, sizeof(DEV_BROADCAST_DEVICEINTERFACE_A)));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(size);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    std::memcpy(record->dbcc_name, name.c_str(), name.size() + 1);
    return storage;
}

// The same notice in UTF-16, as Wine sends it to every window.
std::vector<unsigned char> WideInterfaceNotice(const std::string& name) {
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    std::vector<unsigned char> storage = InterfaceNotice(std::string(name.size() * 2 + 1, 'x'));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(storage.data());
    record->dbcc_size = static_cast<DWORD>(nameOffset + (name.size() + 1) * 2);
    for (size_t i = 0; i <= name.size(); ++i) record->dbcc_name[i] = i < name.size() ? name[i] : 0;
    return storage;
}

// Connections are numbered from 1 again: the view's is 1, the notificator's 2.
class View : public PanelTest {
  protected:
    void SetUp() override {
        sim::Simulator::Instance().Reset();
        PanelTest::SetUp();
    }
};

TEST_F(View, StartsWithTheTreeFilledThePagesPlacedAndTheDevicesPageShown) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    EXPECT_FALSE(::GetWindowLongA(view.m_hWnd, GWL_STYLE) & WS_BORDER);

    // Five top-level items with their images and keys; nothing leads to the Streams page.
    struct Item {
        std::string text;
        int image, selectedImage;
        DWORD_PTR key;
        bool operator==(const Item& o) const {
            return text == o.text && image == o.image && selectedImage == o.selectedImage &&
                   key == o.key;
        }
    };
    std::vector<Item> items;
    CTreeCtrlEx& tree = view.m_navigationTree;
    for (HTREEITEM item = tree.GetRootItem(); item != nullptr;
         item = tree.GetNextSiblingItem(item)) {
        int image = -1, selected = -1;
        tree.GetItemImage(item, image, selected);
        items.push_back({tree.GetItemText(item).str(), image, selected, tree.GetItemData(item)});
        EXPECT_EQ(::SendMessageA(tree.m_hWnd, TVM_GETNEXTITEM, TVGN_CHILD,
                                 reinterpret_cast<LPARAM>(item)),
                  0);
    }
    const std::vector<Item> expected = {{"Devices", 1, 1, 0x12000000},
                                        {"Input Channels", 3, 3, 0x13000000},
                                        {"Output Channels", 3, 3, 0x14000000},
                                        {"Synchronisation", 5, 5, 0x18000000},
                                        {"Settings", 2, 2, 0x11000000}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(tree.GetImageList(TVSIL_NORMAL), view.m_treeImages.GetSafeHandle());
    EXPECT_EQ(view.m_treeImages.GetImageCount(), 6);
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(view.m_treeImages.GetSafeHandle(), &cx, &cy);
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 16);

    // Every page is a child of the view at (140, 2); only the Devices page shows.
    for (CDialogPage* page : AllPages(view)) {
        ASSERT_NE(page->m_hWnd, nullptr);
        EXPECT_EQ(::GetParent(page->m_hWnd), view.m_hWnd);
        RECT rect{};
        ::GetWindowRect(page->m_hWnd, &rect);
        ::MapWindowPoints(nullptr, view.m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(rect.left, CVESK_CPLView::kPageX);
        EXPECT_EQ(rect.top, CVESK_CPLView::kPageY);
    }
    EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{&view.m_pageDevices});
    EXPECT_EQ(tree.GetSelectedItem(), view.m_devicesItem);
    PumpPending();
    EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 0), "Devices");
    EXPECT_EQ(view.m_pageInputChannels.GetDirection(), 0);
    EXPECT_EQ(view.m_pageOutputChannels.GetDirection(), 1);

    // The main connection was opened first, then the notificator's, which took the event.
    const std::vector<std::string> opens = TraceLinesStartingWith("open ");
    ASSERT_GE(opens.size(), 2u);
    EXPECT_EQ(opens[0].rfind("open 1 \\\\.\\{B50F27E2-F1B7-440c-9BCA-8CFC653BD5C3}", 0), 0u);
    EXPECT_EQ(opens[1].rfind("open 2 ", 0), 0u);
    EXPECT_EQ(Count(TracedRequests(), kSetNotificationEvent, 2), 1u);
    EXPECT_TRUE(view.m_notificator.IsRunning());
    EXPECT_NE(view.m_deviceNotification, nullptr);
}

TEST_F(View, AsioRequestAtStartAndFromASecondStartSelectSettings) {
    {
        RunningPanel panel("-asio");
        ASSERT_TRUE(panel.Started());
        CVESK_CPLView& view = *panel.View();
        EXPECT_EQ(view.m_navigationTree.GetSelectedItem(), view.m_settingsItem);
        EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{&view.m_pageAsioSettings});
        PumpPending();
        EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 0), "Settings");
    }
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    ::PostMessageA(panel.FrameWindow(), WM_SELECT_ASIO_PAGE, 0, 0);
    EXPECT_TRUE(
        PumpUntil([&] { return view.m_navigationTree.GetSelectedItem() == view.m_settingsItem; }));
    EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{&view.m_pageAsioSettings});
}

TEST_F(View, EachSelectionShowsExactlyItsPageAndItsTitle) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    const std::vector<PageOnShow> order = {{"Synchronisation", &view.m_pageSynchronisation},
                                           {"Input Channels", &view.m_pageInputChannels},
                                           {"Settings", &view.m_pageAsioSettings},
                                           {"Output Channels", &view.m_pageOutputChannels},
                                           {"Devices", &view.m_pageDevices}};
    for (const PageOnShow& step : order) {
        HTREEITEM item = FindTreeItem(view.m_navigationTree.m_hWnd, step.item);
        ASSERT_NE(item, nullptr) << step.item;
        view.m_navigationTree.SelectItem(item);
        EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{step.page}) << step.item;
        EXPECT_EQ(PaneText(bar, 0), step.item);
    }

    // An item whose key names no page hides them all and leaves the status text.
    HTREEITEM stray = view.m_navigationTree.InsertItem("stray", 0, 0, 0x7F000000);
    view.m_navigationTree.SelectItem(stray);
    EXPECT_TRUE(VisiblePages(view).empty());
    EXPECT_EQ(PaneText(bar, 0), "Devices");
    // The low bits of an item's data play no part: this one shows the Streams page.
    HTREEITEM streams = view.m_navigationTree.InsertItem("streams", 0, 0, 0x16000042);
    view.m_navigationTree.SelectItem(streams);
    EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{&view.m_pageStreams});
    EXPECT_EQ(PaneText(bar, 0), "Streams");
}

// Lists keep their drawing off through a refresh while their page is hidden, and the shown
// page is briefly not drawn while its list lays out: whichever page was shown, every page
// and its list must be visible and drawing once selected again, with its rows.
TEST_F(View, AfterARefreshEveryPageShowsItsListWhenSelected) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    struct PageWithList {
        const char* item;
        CDialogPage* page;
        CListCtrlEx* list;
    };
    const std::vector<PageWithList> pages = {
        {"Devices", &view.m_pageDevices, &view.m_pageDevices.m_deviceList},
        {"Input Channels", &view.m_pageInputChannels, &view.m_pageInputChannels.m_channelList},
        {"Output Channels", &view.m_pageOutputChannels, &view.m_pageOutputChannels.m_channelList},
        {"Synchronisation", &view.m_pageSynchronisation, &view.m_pageSynchronisation.m_syncList}};
    auto select = [&](const PageWithList& page) {
        view.m_navigationTree.SelectItem(FindTreeItem(view.m_navigationTree.m_hWnd, page.item));
    };
    // A page is shown while the frame is visible, or while it is hidden (from the icon's
    // menu, say): then the page is told only that it shows, not that it moves.
    HWND frame = panel.FrameWindow();
    for (const bool frameHidden : {false, true}) {
        for (const PageWithList& shown : pages) {
            select(shown);
            EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{shown.page}) << shown.item;
            if (frameHidden) ::ShowWindow(frame, SW_HIDE);
            view.RefreshAllPages();
            for (const PageWithList& next : pages) {
                select(next);
                if (frameHidden) ::ShowWindow(frame, SW_SHOW);
                EXPECT_GT(next.list->GetItemCount(), 0) << next.item;
                // A list whose drawing is off does not draw what changes, such as a selection:
                // with everything painted, a new selection must leave something to paint.
                ::RedrawWindow(next.page->m_hWnd, nullptr, nullptr,
                               RDW_UPDATENOW | RDW_ALLCHILDREN);
                ::ValidateRect(next.list->m_hWnd, nullptr);
                next.list->SetItemState(
                    0, next.list->GetItemState(0, LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
                EXPECT_TRUE(::IsWindowVisible(next.list->m_hWnd) &&
                            ::GetUpdateRect(next.list->m_hWnd, nullptr, FALSE))
                    << next.item << " after a refresh on " << shown.item
                    << (frameHidden ? ", shown while the frame was hidden" : "");
                if (frameHidden) ::ShowWindow(frame, SW_HIDE);
            }
            if (frameHidden) ::ShowWindow(frame, SW_SHOW);
        }
    }
}

TEST_F(View, QueuedEventsAreDrainedOnTheNotificatorsConnectionWithOneRefreshPerChange) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    PumpPending();
    sim::Simulator& simulator = sim::Simulator::Instance();

    // One message reads all three records; bus reset alone refreshes nothing.
    simulator.ClearTrace();
    for (const char* command : {"event 1", "event 2", "event 3"})
        ASSERT_TRUE(simulator.Execute(command));
    EXPECT_EQ(::SendMessageA(view.m_hWnd, WM_DRIVER_EVENT, 0, 0), 0);
    std::vector<Traced> requests = TracedRequests();
    EXPECT_EQ(Count(requests, kGetEvent), 4u);
    EXPECT_EQ(Count(requests, kGetEvent, 2), 4u);
    EXPECT_EQ(FullRefreshes(), 2u);
    // Every refresh is one of the main connection.
    EXPECT_EQ(Count(requests, kGetChannelList, 1), 4u);

    // The notificator's own messages for those signals find nothing left.
    simulator.ClearTrace();
    EXPECT_TRUE(PumpUntil([] { return Count(TracedRequests(), kGetEvent) >= 1; }));
    PumpPending();
    EXPECT_EQ(FullRefreshes(), 0u);

    // Through the notificator: an ASIO buffer-size change is read and dropped.
    simulator.ClearTrace();
    ASSERT_TRUE(simulator.Execute("event 100"));
    ASSERT_TRUE(PumpUntil([] {
        const std::vector<Traced> now = TracedRequests();
        for (const Traced& request : now)
            if (request.code == kGetEvent && request.status == kNoMoreEvents) return true;
        return false;
    }));
    bool read = false;
    for (const Traced& request : TracedRequests())
        read |=
            request.code == kGetEvent && request.connection == 2 && request.status == "0x00000000";
    EXPECT_TRUE(read);
    EXPECT_EQ(FullRefreshes(), 0u);

    // And a domain change refreshes every page once.
    simulator.ClearTrace();
    ASSERT_TRUE(simulator.Execute("event 3"));
    ASSERT_TRUE(PumpUntil([] { return FullRefreshes() == 1; }));
}

TEST_F(View, ADriverThatNeverRunsOutOfEventsDoesNotHoldTheView) {
    // Every event request answers with an ASIO buffer-size change.
    RunningPanel panel("", R"({"raw": {"0x80882828": "64000000"}})");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    sim::Simulator::Instance().ClearTrace();
    EXPECT_EQ(::SendMessageA(view.m_hWnd, WM_DRIVER_EVENT, 0, 0), 0);
    EXPECT_EQ(Count(TracedRequests(), kGetEvent),
              static_cast<size_t>(CVESK_CPLView::kMaxEventsPerMessage));
    EXPECT_EQ(FullRefreshes(), 0u);
    // The rest is left to a message of its own, behind what is already queued.
    MSG next{};
    EXPECT_TRUE(::PeekMessageA(&next, view.m_hWnd, WM_DRIVER_EVENT, WM_DRIVER_EVENT, PM_REMOVE));
}

TEST_F(View, ALongBurstOfEventsIsDrainedWhole) {
    RunningPanel panel("", "");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    sim::Simulator& simulator = sim::Simulator::Instance();
    const int burst = CVESK_CPLView::kMaxEventsPerMessage + 6;
    for (int i = 0; i < burst - 1; ++i) ASSERT_TRUE(simulator.Execute("event 1"));
    ASSERT_TRUE(simulator.Execute("event 3"));
    simulator.ClearTrace();
    ::SendMessageA(view.m_hWnd, WM_DRIVER_EVENT, 0, 0);
    MSG next{};
    while (::PeekMessageA(&next, view.m_hWnd, WM_DRIVER_EVENT, WM_DRIVER_EVENT, PM_REMOVE))
        ::DispatchMessageA(&next);
    // Every record is read and the last one refreshes.
    size_t read = 0;
    for (const Traced& request : TracedRequests())
        if (request.code == kGetEvent && request.status == "0x00000000") ++read;
    EXPECT_EQ(read, static_cast<size_t>(burst));
    EXPECT_EQ(FullRefreshes(), 1u);
}

TEST_F(View, ArrivalWhileClosedConnectsAndRefreshesWhileOpenNoticesChangeNothing) {
    RunningPanel panel("", R"({"loaded": false})");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    EXPECT_FALSE(view.m_notificator.IsRunning());
    EXPECT_EQ(view.m_pageDevices.m_deviceList.GetItemCount(), 0);
    EXPECT_EQ(PaneText(bar, 1), "0 Device(s) connected.");
    sim::Simulator& simulator = sim::Simulator::Instance();

    // Notices without data, with a short name, or of another kind are ignored.
    simulator.ClearTrace();
    const std::vector<unsigned char> shortName = InterfaceNotice("\\\\.\\");
    const std::vector<unsigned char> longName = InterfaceNotice("\\\\.\\x");
    auto notice = [&](WPARAM event, const std::vector<unsigned char>* record) {
        return ::SendMessageA(view.m_hWnd, WM_DEVICECHANGE, event,
                              record ? reinterpret_cast<LPARAM>(record->data()) : 0);
    };
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, nullptr), TRUE);
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, &shortName), TRUE);
    EXPECT_EQ(notice(DBT_DEVICEQUERYREMOVE, &longName), TRUE);
    EXPECT_EQ(notice(DBT_DEVICEREMOVEPENDING, &longName), TRUE);
    EXPECT_EQ(notice(DBT_CUSTOMEVENT, &longName), TRUE);
    // The name is read no further than the record's own size says.
    std::vector<unsigned char> cutShort = InterfaceNotice("\\\\.\\x");
    reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(cutShort.data())->dbcc_size -= 2;
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, &cutShort), TRUE);
    const std::vector<unsigned char> wideShortName = WideInterfaceNotice("\\\\.\\");
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, &wideShortName), TRUE);
    // An 8-bit record of a one-character name, with bytes other than zero after the name and
    // within its size, is that one character: only a record of the size of a UTF-16 name is
    // read as UTF-16.
    std::vector<unsigned char> oneCharacter = InterfaceNotice(std::string("A\0BCDEFGHIJK", 12));
    reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(oneCharacter.data())->dbcc_size -= 1;
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, &oneCharacter), TRUE);
    EXPECT_TRUE(simulator.TraceLines().empty());
    // The UTF-16 form of a notice counts its characters, not its bytes.
    const std::vector<unsigned char> wideName = WideInterfaceNotice("\\\\?\\root#x");
    EXPECT_EQ(notice(DBT_DEVICEARRIVAL, &wideName), TRUE);
    EXPECT_EQ(CountLines("open - "), 1u);
    simulator.ClearTrace();
    // Five characters are enough: the open is tried, fails, and the pages refresh anyway
    // (without a connection their requests never reach the driver).
    panel.Frame()->m_wndStatusBar.SetPaneText(1, "stale");
    EXPECT_EQ(notice(DBT_DEVICEREMOVECOMPLETE, &longName), TRUE);
    EXPECT_EQ(CountLines("open - "), 1u);
    EXPECT_EQ(PaneText(bar, 1), "0 Device(s) connected.");
    EXPECT_FALSE(view.m_notificator.IsRunning());

    // The device interface arrives: connection, notificator and every page.
    simulator.ClearTrace();
    ASSERT_TRUE(simulator.Execute("load"));
    EXPECT_EQ(CountLines("notify 0x8000"), 1u);
    EXPECT_EQ(CountLines("open 1 "), 1u);
    EXPECT_EQ(CountLines("open 2 "), 1u);
    EXPECT_EQ(Count(TracedRequests(), kSetNotificationEvent, 2), 1u);
    EXPECT_TRUE(view.m_notificator.IsRunning());
    EXPECT_EQ(FullRefreshes(), 1u);
    EXPECT_EQ(view.m_pageDevices.m_deviceList.GetItemCount(), 3);
    EXPECT_EQ(view.m_pageInputChannels.m_channelList.GetItemCount(), 18);
    EXPECT_EQ(PaneText(bar, 1), "3 Device(s) connected.");

    // While the connection is open, removal and arrival change nothing.
    simulator.ClearTrace();
    ASSERT_TRUE(simulator.Execute("unload"));
    ASSERT_TRUE(simulator.Execute("load"));
    EXPECT_EQ(simulator.TraceLines(), (std::vector<std::string>{"command unload", "notify 0x8004",
                                                                "command load", "notify 0x8000"}));
    EXPECT_EQ(view.m_pageDevices.m_deviceList.GetItemCount(), 3);
}

TEST_F(View, NewAndOpenRunTheInitialUpdateAgainWithoutCreatingAnythingTwice) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    std::vector<HWND> pageWindows;
    for (CDialogPage* page : AllPages(view)) pageWindows.push_back(page->m_hWnd);
    HIMAGELIST images = view.m_treeImages.GetSafeHandle();
    view.m_navigationTree.SelectItem(FindTreeItem(view.m_navigationTree.m_hWnd, "Output Channels"));
    PumpPending();

    sim::Simulator::Instance().ClearTrace();
    panel.Command(ID_FILE_NEW);
    PumpPending();
    ASSERT_EQ(panel.View(), &view);
    // No page, item, image list, connection or notificator thread is made a second time.
    std::vector<HWND> now;
    for (CDialogPage* page : AllPages(view)) now.push_back(page->m_hWnd);
    EXPECT_EQ(now, pageWindows);
    int childDialogs = 0;
    for (HWND child = ::GetWindow(view.m_hWnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = "";
        ::GetClassNameA(child, className, sizeof className);
        childDialogs += std::strcmp(className, "#32770") == 0 ? 1 : 0;
    }
    EXPECT_EQ(childDialogs, 6);
    EXPECT_EQ(view.m_navigationTree.GetCount(), 5u);
    EXPECT_EQ(view.m_treeImages.GetSafeHandle(), images);
    EXPECT_EQ(view.m_navigationTree.GetSelectedItem(),
              FindTreeItem(view.m_navigationTree.m_hWnd, "Output Channels"));
    EXPECT_EQ(VisiblePages(view), std::vector<CDialogPage*>{&view.m_pageOutputChannels});
    EXPECT_EQ(CountLines("open "), 0u);
    EXPECT_TRUE(TracedRequests().empty());
    EXPECT_TRUE(view.m_notificator.IsRunning());

    // The notificator still delivers to the view.
    ASSERT_TRUE(sim::Simulator::Instance().Execute("event 2"));
    EXPECT_TRUE(PumpUntil([] { return FullRefreshes() == 1; }));

    // The window is registered once for device notices: one notice per change.
    sim::Simulator::Instance().ClearTrace();
    ASSERT_TRUE(sim::Simulator::Instance().Execute("unload"));
    EXPECT_EQ(CountLines("notify "), 1u);
}

TEST_F(View, DestroyingTheViewStopsTheNotificatorAndClosesBothConnections) {
    {
        RunningPanel panel("");
        ASSERT_TRUE(panel.Started());
        sim::Simulator::Instance().ClearTrace();
    }
    // The notificator's connection closes when its thread stops, the main one at the end.
    const std::vector<std::string> closes = TraceLinesStartingWith("close ");
    EXPECT_EQ(closes, (std::vector<std::string>{"close 2", "close 1"}));
}

}  // namespace
}  // namespace uitest
