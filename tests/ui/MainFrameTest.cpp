// The main frame: fixed size, hiding instead of closing, the notification-area icon and its
// messages, Quit, the status bar's panes and the menu prompts.
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "PanelTestFixture.h"
#include "app/AppMessages.h"

namespace uitest {
namespace {

using MainFrame = PanelTest;

// The shell gets the record up to its identifier field: its size differs by architecture.
#if defined(_WIN64)
constexpr DWORD kTrayRecordSize = 504;
#else
constexpr DWORD kTrayRecordSize = 488;
#endif

TEST_F(MainFrame, CannotBeResizedOrMaximisedButMinimised) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    const LONG style = ::GetWindowLongA(frame, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(::GetWindowLongA(frame, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    // The border gives no sizing handle.
    RECT window{};
    ::GetWindowRect(frame, &window);
    const LRESULT hit =
        ::SendMessageA(frame, WM_NCHITTEST, 0, MAKELPARAM(window.right - 1, window.bottom - 1));
    EXPECT_NE(hit, HTBOTTOMRIGHT);
    // The title was not extended by the document's name.
    EXPECT_EQ(WindowText(frame), Title());
    ::SendMessageA(frame, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(frame));
}

TEST_F(MainFrame, FitsItsFormAndKeepsTheStatusBarBelowIt) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView* view = panel.View();
    RECT viewClient{};
    ::GetClientRect(view->m_hWnd, &viewClient);
    EXPECT_EQ(viewClient.right, view->GetFormSize().cx);
    EXPECT_EQ(viewClient.bottom, view->GetFormSize().cy);
    RECT viewRect{}, barRect{};
    ::GetWindowRect(view->m_hWnd, &viewRect);
    ::GetWindowRect(panel.Frame()->m_wndStatusBar.m_hWnd, &barRect);
    EXPECT_LE(viewRect.bottom, barRect.top);
}

TEST_F(MainFrame, CloseHidesAndTheProcessGoesOn) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    ::SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::IsWindowVisible(frame));
    EXPECT_TRUE(::IsWindow(frame));
    // The low four bits of a system command belong to the system.
    ::ShowWindow(frame, SW_SHOW);
    ::SendMessageA(frame, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);
    EXPECT_FALSE(::IsWindowVisible(frame));
    ::ShowWindow(frame, SW_SHOW);
    panel.Command(ID_FILE_HIDE);
    EXPECT_FALSE(::IsWindowVisible(frame));
    PumpPending();
    EXPECT_FALSE(QuitSeen());
    EXPECT_TRUE(::IsWindow(frame));
    for (const ShellNotifyCall& call : ShellNotifyCalls())
        EXPECT_NE(call.message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(MainFrame, LeftButtonOnTheIconShowsAndOtherMessagesAreIgnored) {
    RunningPanel panel("-hide");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    auto tray = [&](WPARAM id, UINT mouse) {
        return ::SendMessageA(frame, WM_TRAY_NOTIFY, id, static_cast<LPARAM>(mouse));
    };
    EXPECT_EQ(tray(0x42424243, WM_LBUTTONDOWN), 0);
    EXPECT_FALSE(::IsWindowVisible(frame));
    for (UINT ignored : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN}) {
        EXPECT_EQ(tray(TRAY_ICON_ID, ignored), 0);
        EXPECT_FALSE(::IsWindowVisible(frame)) << ignored;
    }
    EXPECT_EQ(tray(TRAY_ICON_ID, WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(::IsWindowVisible(frame));
    EXPECT_EQ(::GetForegroundWindow(), frame);
    panel.Command(ID_FILE_HIDE);
    tray(TRAY_ICON_ID, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(::IsWindowVisible(frame));
    // A minimised frame is shown minimised.
    ::ShowWindow(frame, SW_MINIMIZE);
    panel.Command(ID_FILE_HIDE);
    panel.Command(ID_TRAY_OPEN);
    EXPECT_TRUE(::IsWindowVisible(frame));
}

// Watches the icon's menu open, notes its items and closes it again.
struct MenuWatch {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && call->message == WM_INITMENUPOPUP && active != nullptr) {
            HMENU menu = reinterpret_cast<HMENU>(call->wParam);
            for (int i = 0; i < ::GetMenuItemCount(menu); ++i)
                active->items.push_back(::GetMenuItemID(menu, i));
            active->owner = call->hwnd;
            if (active->choose != 0) {
                // The menu loop reads the keyboard from the queue: type the item's mnemonic.
                ::PostMessageA(call->hwnd, WM_KEYDOWN, active->choose, 0);
                ::PostMessageA(call->hwnd, WM_KEYUP, active->choose, 0xC0000000);
            } else {
                ::EndMenu();
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    explicit MenuWatch(UINT chooseKey = 0) : choose(chooseKey) {
        active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~MenuWatch() {
        ::UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    static inline MenuWatch* active = nullptr;
    UINT choose = 0;
    HHOOK hook = nullptr;
    std::vector<UINT> items;
    HWND owner = nullptr;
};

TEST_F(MainFrame, RightButtonOnTheIconOpensItsMenuWhoseItemsOpenAndQuit) {
    RunningPanel panel("-hide");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    {
        MenuWatch watch;
        ::SendMessageA(frame, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONUP);
        EXPECT_TRUE(watch.items.empty());  // the release opens nothing
        ::SendMessageA(frame, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
        EXPECT_EQ(watch.items, (std::vector<UINT>{ID_TRAY_OPEN, ID_TRAY_QUIT}));
        EXPECT_EQ(watch.owner, frame);
    }
    EXPECT_FALSE(::IsWindowVisible(frame));
    {
        MenuWatch watch;
        ::SendMessageA(frame, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONDBLCLK);
        EXPECT_EQ(watch.items.size(), 2u);
    }
    {
        MenuWatch watch('O');  // "&Open"
        ::SendMessageA(frame, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
        EXPECT_TRUE(PumpUntil([&] { return ::IsWindowVisible(frame) != FALSE; }));
    }
    {
        MenuWatch watch('Q');  // "&Quit"
        ::SendMessageA(frame, WM_TRAY_NOTIFY, TRAY_ICON_ID, WM_RBUTTONDOWN);
        EXPECT_TRUE(PumpUntil([] { return QuitSeen(); }));
        EXPECT_FALSE(::IsWindow(frame));
    }
}

TEST_F(MainFrame, QuitEndsTheLoopAndRemovesTheIcon) {
    for (UINT quit : {static_cast<UINT>(ID_TRAY_QUIT), static_cast<UINT>(ID_APP_EXIT)}) {
        ShellNotifyCalls().clear();
        RunningPanel panel("-hide");
        ASSERT_TRUE(panel.Started());
        HWND frame = panel.FrameWindow();
        ASSERT_EQ(ShellNotifyCalls().size(), 1u);
        const NOTIFYICONDATAA added = ShellNotifyCalls()[0].data;
        panel.Command(quit);
        EXPECT_TRUE(PumpUntil([] { return QuitSeen(); })) << quit;
        EXPECT_FALSE(::IsWindow(frame));
        EXPECT_EQ(panel.App().m_pMainWnd, nullptr);
        ASSERT_EQ(ShellNotifyCalls().size(), 2u);
        const ShellNotifyCall& removed = ShellNotifyCalls()[1];
        EXPECT_EQ(removed.message, static_cast<DWORD>(NIM_DELETE));
        EXPECT_EQ(removed.data.cbSize, kTrayRecordSize);
        EXPECT_EQ(removed.data.hWnd, added.hWnd);
        EXPECT_EQ(removed.data.uID, added.uID);
        EXPECT_EQ(removed.data.uFlags, 0u);
    }
}

TEST_F(MainFrame, IconIsAddedWithTheFramesRecordAndTheTitleAsTip) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    ASSERT_EQ(ShellNotifyCalls().size(), 1u);
    const ShellNotifyCall& call = ShellNotifyCalls()[0];
    EXPECT_EQ(call.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(call.data.cbSize, kTrayRecordSize);
    EXPECT_EQ(call.data.hWnd, panel.FrameWindow());
    EXPECT_EQ(call.data.uID, 0x42424242u);
    EXPECT_EQ(call.data.uFlags, 7u);
    EXPECT_EQ(call.data.uCallbackMessage, 0x8003u);
    EXPECT_EQ(call.data.hIcon, panel.App().m_appIcon);
    EXPECT_EQ(std::string(call.data.szTip), Title());
}

TEST_F(MainFrame, ANewShellGetsTheIconAgain) {
    RunningPanel panel("-hide");
    ASSERT_TRUE(panel.Started());
    ASSERT_EQ(ShellNotifyCalls().size(), 1u);
    ::SendMessageA(panel.FrameWindow(), ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(ShellNotifyCalls().size(), 2u);
    EXPECT_EQ(ShellNotifyCalls()[1].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(
        std::memcmp(&ShellNotifyCalls()[0].data, &ShellNotifyCalls()[1].data, kTrayRecordSize), 0);
}

// What the panel scales itself when it changes DPI.
struct DpiLayout {
    RECT frame;
    POINT pageOrigin;
    int paneWidths[4];
    int firstDeviceColumnWidth;
    int treeImageSize;
};

DpiLayout LayoutOf(RunningPanel& panel) {
    DpiLayout layout{};
    ::GetWindowRect(panel.FrameWindow(), &layout.frame);
    CVESK_CPLView* view = panel.View();
    RECT page{};
    ::GetWindowRect(view->m_pageDevices.m_hWnd, &page);
    layout.pageOrigin = {page.left, page.top};
    ::ScreenToClient(view->m_hWnd, &layout.pageOrigin);
    for (int pane = 0; pane < 4; ++pane) {
        UINT id = 0, style = 0;
        panel.Frame()->m_wndStatusBar.GetPaneInfo(pane, id, style, layout.paneWidths[pane]);
    }
    layout.firstDeviceColumnWidth = static_cast<int>(
        ::SendMessageA(view->m_pageDevices.m_deviceList.m_hWnd, LVM_GETCOLUMNWIDTH, 0, 0));
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(view->m_treeImages.GetSafeHandle(), &cx, &cy);
    layout.treeImageSize = cx;
    return layout;
}

TEST_F(MainFrame, AMoveToAnotherDpiScalesItsLengthsAndAMoveBackRestoresThem) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    const DpiLayout before = LayoutOf(panel);
    EXPECT_EQ(before.pageOrigin.x, 140);
    EXPECT_EQ(before.pageOrigin.y, 2);
    EXPECT_EQ(before.paneWidths[1], 150);
    EXPECT_EQ(before.firstDeviceColumnWidth, 235);
    EXPECT_EQ(before.treeImageSize, 16);

    const RECT& was = before.frame;
    RECT suggested = {was.left + 10, was.top + 20, was.left + 10 + (was.right - was.left) * 3 / 2,
                      was.top + 20 + (was.bottom - was.top) * 3 / 2};
    ::SendMessageA(panel.FrameWindow(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    const DpiLayout scaled = LayoutOf(panel);
    EXPECT_TRUE(::EqualRect(&scaled.frame, &suggested));
    EXPECT_EQ(scaled.pageOrigin.x, 210);
    EXPECT_EQ(scaled.pageOrigin.y, 3);
    EXPECT_EQ(scaled.paneWidths[1], 225);
    EXPECT_EQ(scaled.paneWidths[2], 300);
    EXPECT_EQ(scaled.paneWidths[3], 300);
    EXPECT_EQ(scaled.firstDeviceColumnWidth, 353);
    EXPECT_EQ(scaled.treeImageSize, 24);

    RECT back = before.frame;
    ::SendMessageA(panel.FrameWindow(), WM_DPICHANGED, MAKEWPARAM(96, 96),
                   reinterpret_cast<LPARAM>(&back));
    const DpiLayout restored = LayoutOf(panel);
    EXPECT_TRUE(::EqualRect(&restored.frame, &before.frame));
    EXPECT_EQ(restored.pageOrigin.x, 140);
    EXPECT_EQ(restored.pageOrigin.y, 2);
    for (int pane = 1; pane < 4; ++pane)
        EXPECT_EQ(restored.paneWidths[pane], before.paneWidths[pane]) << pane;
    EXPECT_EQ(restored.firstDeviceColumnWidth, 235);
    EXPECT_EQ(restored.treeImageSize, 16);
}

TEST(TrayIcon, TipIsCutTo127CharactersAndNothingGoesOutWithoutAWindow) {
    ShellNotifyCalls().clear();
    CTrayIcon unattached;
    EXPECT_EQ(unattached.Add(nullptr, "tip"), 0);
    EXPECT_EQ(unattached.Remove(), 0);
    EXPECT_TRUE(ShellNotifyCalls().empty());

    CTrayIcon icon;
    icon.Attach(::GetDesktopWindow(), 7);
    const std::string longTip(200, 'x');
    icon.Add(nullptr, (std::string(127, 'a') + longTip).c_str());
    icon.Add(nullptr, nullptr);
    ASSERT_EQ(ShellNotifyCalls().size(), 2u);
    EXPECT_EQ(std::string(ShellNotifyCalls()[0].data.szTip), std::string(127, 'a'));
    EXPECT_EQ(ShellNotifyCalls()[0].data.uID, 7u);
    EXPECT_EQ(std::string(ShellNotifyCalls()[1].data.szTip), "");
}

TEST_F(MainFrame, StatusBarHasFourPanesWithAStretchingFirstOne) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CStatusBar& bar = panel.Frame()->m_wndStatusBar;
    EXPECT_EQ(::GetDlgCtrlID(bar.m_hWnd), 59393);
    EXPECT_TRUE(::IsWindowVisible(bar.m_hWnd));
    EXPECT_EQ(bar.GetCount(), 4);
    const std::vector<int> edges = PaneEdges(bar.m_hWnd);
    ASSERT_EQ(edges.size(), 4u);
    RECT client{};
    ::GetClientRect(bar.m_hWnd, &client);
    EXPECT_GE(edges[0], 100);
    EXPECT_EQ(edges[1] - edges[0], 150);
    EXPECT_EQ(edges[2] - edges[1], 200);
    EXPECT_EQ(edges[3] - edges[2], 200);
    EXPECT_EQ(edges[3], std::max<int>(client.right, 650));
    for (int pane = 0; pane < 4; ++pane) {
        UINT id = 99, style = 99;
        int width = 0;
        bar.GetPaneInfo(pane, id, style, width);
        EXPECT_EQ(id, static_cast<UINT>(pane));
        EXPECT_EQ(style, pane == 0 ? SBPS_STRETCH : SBPS_NORMAL);
    }
    // Pages write panes by index.
    EXPECT_TRUE(bar.SetPaneText(3, "streaming"));
    EXPECT_EQ(PaneText(bar.m_hWnd, 3), "streaming");
    EXPECT_EQ(bar.GetPaneText(3), "streaming");
    EXPECT_FALSE(bar.SetPaneText(4, "past the last pane"));
}

// Each page writes its pane in the middle of a refresh of all pages: the pane is painted
// there and then, not after the pages that come later have sent their requests.
TEST_F(MainFrame, PanesWrittenByThePagesArePaintedAtOnce) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView& view = *panel.View();
    CStatusBar& bar = panel.Frame()->m_wndStatusBar;
    const std::vector<std::pair<int, std::function<void()>>> writers = {
        {0, [&] { view.m_navigationTree.SelectItem(view.m_settingsItem); }},
        {1, [&] { view.m_pageDevices.RefreshDevices(); }},
        {2, [&] { view.m_pageSynchronisation.RefreshSampleRates(); }},
        {3, [&] { view.m_pageStreams.RefreshStreams(); }}};
    for (const auto& [pane, write] : writers) {
        ::RedrawWindow(panel.FrameWindow(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        bar.SetPaneText(pane, "stale", FALSE);
        write();
        EXPECT_NE(PaneText(bar.m_hWnd, pane), "stale");
        EXPECT_FALSE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << "pane " << pane;
    }
}

TEST_F(MainFrame, MenuPromptsShowInPaneZeroAndTheIdleTextComesBack) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    // The idle work leaves the page's title alone.
    PumpPending();
    EXPECT_EQ(PaneText(bar, 0), "Devices");

    HMENU menu = ::GetMenu(frame);
    ASSERT_NE(menu, nullptr);
    auto highlight = [&](UINT item, UINT flags) {
        ::SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(item, flags),
                       reinterpret_cast<LPARAM>(menu));
        return PaneText(bar, 0);
    };
    EXPECT_EQ(highlight(ID_FILE_HIDE, MF_HILITE), "Hide the control panel.");
    EXPECT_EQ(highlight(ID_APP_EXIT, MF_HILITE), "Quit the control panel.");
    EXPECT_EQ(highlight(ID_APP_ABOUT, MF_HILITE),
              "Show the version of the control panel and of the driver.");
    EXPECT_EQ(highlight(0, MF_HILITE | MF_POPUP), "");
    ::SendMessageA(frame, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(PaneText(bar, 0), "Ready");
    PumpPending();
    EXPECT_EQ(PaneText(bar, 0), "Ready");
}

TEST_F(MainFrame, ActivationGivesTheFocusBackToTheViewsControl) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    CVESK_CPLView* view = panel.View();
    HWND tree = view->m_navigationTree.m_hWnd;
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    auto activate = [](HWND window) {
        ::SetForegroundWindow(window);
        PumpPending();
        return ::GetForegroundWindow() == window;
    };
    ASSERT_TRUE(activate(other));
    ASSERT_TRUE(activate(frame));
    EXPECT_EQ(::GetFocus(), tree);  // the form's first control

    HWND deviceList = ::GetDlgItem(view->m_pageDevices.m_hWnd, IDC_DEVICE_LIST);
    ::SetFocus(deviceList);
    ASSERT_TRUE(activate(other));
    ASSERT_TRUE(activate(frame));
    EXPECT_EQ(::GetFocus(), deviceList);

    // The page with the saved control is hidden meanwhile: the focus goes to the first control.
    ASSERT_TRUE(activate(other));
    view->m_navigationTree.SelectItem(view->m_settingsItem);
    ASSERT_FALSE(::IsWindowVisible(deviceList));
    ASSERT_TRUE(activate(frame));
    EXPECT_EQ(::GetFocus(), tree);
    ::DestroyWindow(other);
}

TEST_F(MainFrame, SelectAsioPageWhileHiddenSwitchesThePageAndStaysHidden) {
    RunningPanel panel("-hide");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    EXPECT_EQ(::SendMessageA(frame, WM_SELECT_ASIO_PAGE, 0, 0), 0);
    EXPECT_EQ(panel.View()->m_navigationTree.GetSelectedItem(), panel.View()->m_settingsItem);
    EXPECT_FALSE(::IsWindowVisible(frame));
}

}  // namespace
}  // namespace uitest

namespace uitest {
namespace {

int g_heard = 0;

LRESULT CALLBACK Listen(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                        DWORD_PTR watched) {
    if (message == static_cast<UINT>(watched)) ++g_heard;
    return ::DefSubclassProc(window, message, wParam, lParam);
}

// New system colours (a high-contrast scheme switched on) reach the controls, which only hear
// of them from a top-level window, and everything is painted again.
TEST_F(MainFrame, NewSystemColoursReachEveryControlAndRepaintEverything) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    HWND frame = panel.FrameWindow();
    HWND list = panel.View()->m_pageDevices.m_deviceList.GetSafeHwnd();
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    for (UINT message :
         {static_cast<UINT>(WM_SYSCOLORCHANGE), static_cast<UINT>(WM_THEMECHANGED)}) {
        SCOPED_TRACE(message);
        g_heard = 0;
        ::SetWindowSubclass(list, Listen, 1, message);
        ::RedrawWindow(frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        ASSERT_FALSE(::GetUpdateRect(list, nullptr, FALSE));
        ::SendMessageA(frame, message, 0, 0);
        EXPECT_EQ(g_heard, 1);
        EXPECT_TRUE(::GetUpdateRect(list, nullptr, FALSE));
        EXPECT_TRUE(::GetUpdateRect(bar, nullptr, FALSE));
        ::RemoveWindowSubclass(list, Listen, 1);
    }
}

}  // namespace
}  // namespace uitest
