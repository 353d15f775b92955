// The three start-up paths: exit request, first instance and hand-over to a running instance.
#include "PanelTestFixture.h"
#include "app/AppMessages.h"

namespace uitest {
namespace {

bool MutexExists() {
    HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, SINGLE_INSTANCE_MUTEX_NAME);
    if (mutex == nullptr) return false;
    ::CloseHandle(mutex);
    return true;
}

// A second start of the program while the panel runs, in the same process.
BOOL StartSecondInstance(const std::string& commandLine, HANDLE* keptMutex = nullptr) {
    CVESK_CPLApp second;
    second.m_hInstance = ::GetModuleHandleA(nullptr);
    second.m_lpCmdLine = commandLine;
    const BOOL result = second.InitInstance();
    if (keptMutex != nullptr) *keptMutex = second.m_singleInstanceMutex;
    return result;
}

using Startup = PanelTest;

TEST_F(Startup, ExitRequestWithNothingRunningCreatesNeitherWindowNorMutex) {
    for (const char* line : {"-exit", "-hide -EXIT -asio"}) {
        RunningPanel panel(line);
        EXPECT_FALSE(panel.Started()) << line;
        EXPECT_EQ(panel.FrameWindow(), nullptr) << line;
        EXPECT_EQ(::FindWindowA(nullptr, Title().c_str()), nullptr) << line;
        EXPECT_FALSE(MutexExists()) << line;
        EXPECT_EQ(panel.App().m_singleInstanceMutex, nullptr) << line;
        EXPECT_FALSE(panel.App().m_asioPageRequested) << line;
    }
    EXPECT_EQ(FirstInstanceHookCalls(), 0);
    EXPECT_TRUE(ShellNotifyCalls().empty());
}

TEST_F(Startup, ExitRequestQuitsTheRunningInstance) {
    RunningPanel first("");
    ASSERT_TRUE(first.Started());
    HWND frame = first.FrameWindow();
    EXPECT_FALSE(StartSecondInstance("-exit"));
    ASSERT_TRUE(PumpUntil([] { return QuitSeen(); }));
    EXPECT_FALSE(::IsWindow(frame));
    ASSERT_FALSE(ShellNotifyCalls().empty());
    EXPECT_EQ(ShellNotifyCalls().back().message, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(Startup, FirstInstanceTakesTheMutexShowsTheTitledFrameAndRunsTheHookOnce) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    EXPECT_EQ(FirstInstanceHookCalls(), 1);
    EXPECT_EQ(FirstInstanceHookInstance(), ::GetModuleHandleA(nullptr));
    EXPECT_NE(panel.App().m_singleInstanceMutex, nullptr);
    EXPECT_TRUE(MutexExists());
    EXPECT_NE(panel.App().m_appIcon, nullptr);
    HWND frame = panel.FrameWindow();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(::IsWindowVisible(frame));
    EXPECT_EQ(WindowText(frame), Title());
    EXPECT_EQ(::FindWindowA(nullptr, Title().c_str()), frame);
    ASSERT_NE(panel.View(), nullptr);
    EXPECT_EQ(panel.View()->GetDocument()->GetFirstView(), panel.View());
    // The view opens on the Devices page.
    EXPECT_EQ(panel.View()->m_navigationTree.GetSelectedItem(), panel.View()->m_devicesItem);
}

TEST_F(Startup, MutexIsReleasedWhenThePanelEnds) {
    {
        RunningPanel panel("");
        ASSERT_TRUE(panel.Started());
    }
    EXPECT_FALSE(MutexExists());
    RunningPanel again("");
    EXPECT_TRUE(again.Started());
}

TEST_F(Startup, HideStartsWithOnlyTheIconAndAsioSelectsTheSettingsPage) {
    {
        RunningPanel panel("-hide");
        ASSERT_TRUE(panel.Started());
        EXPECT_FALSE(::IsWindowVisible(panel.FrameWindow()));
        ASSERT_EQ(ShellNotifyCalls().size(), 1u);
        EXPECT_EQ(ShellNotifyCalls()[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(panel.View()->m_navigationTree.GetSelectedItem(), panel.View()->m_devicesItem);
    }
    RunningPanel panel("-asio -HIDE");
    ASSERT_TRUE(panel.Started());
    EXPECT_TRUE(panel.App().m_asioPageRequested);
    EXPECT_FALSE(::IsWindowVisible(panel.FrameWindow()));
    EXPECT_EQ(panel.View()->m_navigationTree.GetSelectedItem(), panel.View()->m_settingsItem);
    PumpPending();
    EXPECT_EQ(PaneText(panel.Frame()->m_wndStatusBar.m_hWnd, 0), "Settings");
}

TEST_F(Startup, HandOverShowsTheHiddenFrameWithoutChangingItsPage) {
    RunningPanel first("-hide");
    ASSERT_TRUE(first.Started());
    HWND frame = first.FrameWindow();
    HANDLE secondMutex = nullptr;
    EXPECT_FALSE(StartSecondInstance("", &secondMutex));
    EXPECT_NE(secondMutex, nullptr);  // held until the second application object ended
    EXPECT_EQ(FirstInstanceHookCalls(), 1);
    EXPECT_TRUE(::IsWindowVisible(frame));
    EXPECT_EQ(::GetForegroundWindow(), frame);
    PumpPending();
    EXPECT_EQ(first.View()->m_navigationTree.GetSelectedItem(), first.View()->m_devicesItem);
    EXPECT_EQ(ShellNotifyCalls().size(), 1u);  // no second icon
}

TEST_F(Startup, HandOverRestoresAMinimisedFrameAndAsioSwitchesThePage) {
    RunningPanel first("");
    ASSERT_TRUE(first.Started());
    HWND frame = first.FrameWindow();
    ::ShowWindow(frame, SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(frame));
    EXPECT_FALSE(StartSecondInstance("-asio"));
    EXPECT_FALSE(::IsIconic(frame));
    EXPECT_TRUE(::IsWindowVisible(frame));
    CVESK_CPLView* view = first.View();
    EXPECT_TRUE(PumpUntil(
        [&] { return view->m_navigationTree.GetSelectedItem() == view->m_settingsItem; }));
    EXPECT_EQ(PaneText(first.Frame()->m_wndStatusBar.m_hWnd, 0), "Settings");
}

TEST_F(Startup, HandOverBringsTheRunningInstancesModalDialogToTheFront) {
    RunningPanel first("");
    ASSERT_TRUE(first.Started());
    HWND foregroundDuringDialog = nullptr;
    HWND dialog = nullptr;
    // Another program's window is in front when the second start comes.
    HWND other = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr);
    ModalAnswerer answerer([&](HWND about) {
        dialog = about;
        ::SetForegroundWindow(other);
        StartSecondInstance("");
        foregroundDuringDialog = ::GetForegroundWindow();
        ::SendMessageA(about, WM_COMMAND, IDOK, 0);
    });
    first.Command(ID_APP_ABOUT);
    ASSERT_TRUE(answerer.Answered());
    EXPECT_FALSE(answerer.TimedOut());
    EXPECT_EQ(foregroundDuringDialog, dialog);
    ::DestroyWindow(other);
}

TEST_F(Startup, HandOverWithoutARunningWindowEndsQuietly) {
    // Somebody holds the mutex but no window bears the title.
    HANDLE held = ::CreateMutexA(nullptr, TRUE, SINGLE_INSTANCE_MUTEX_NAME);
    ASSERT_NE(held, nullptr);
    {
        RunningPanel panel("-asio");
        EXPECT_FALSE(panel.Started());
        EXPECT_EQ(panel.FrameWindow(), nullptr);
        EXPECT_EQ(FirstInstanceHookCalls(), 0);
    }
    ::CloseHandle(held);
}

TEST_F(Startup, NewAndOpenRerunTheInitialUpdateInTheSameFrameAndView) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CMainFrame* frame = panel.Frame();
    CVESK_CPLView* view = panel.View();
    CDocument* document = view->GetDocument();
    HTREEITEM inputChannels = FindTreeItem(view->m_navigationTree.m_hWnd, "Input Channels");
    ASSERT_NE(inputChannels, nullptr);
    view->m_navigationTree.SelectItem(inputChannels);
    RECT fitted{};
    ::GetWindowRect(frame->m_hWnd, &fitted);

    // The initial update fits the frame to the form again: grow it to see that happen.
    auto grow = [&] {
        ::SetWindowPos(frame->m_hWnd, nullptr, 0, 0, fitted.right - fitted.left + 80,
                       fitted.bottom - fitted.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    };
    auto fitsAgain = [&] {
        RECT now{};
        ::GetWindowRect(frame->m_hWnd, &now);
        return now.right - now.left == fitted.right - fitted.left &&
               now.bottom - now.top == fitted.bottom - fitted.top;
    };

    grow();
    ASSERT_FALSE(fitsAgain());
    ::SetFocus(view->m_navigationTree.m_hWnd);
    PostKey(view->m_navigationTree.m_hWnd, 'N', true);  // Ctrl+N through the accelerators
    EXPECT_TRUE(PumpUntil(fitsAgain));
    PostKey(view->m_navigationTree.m_hWnd, VK_SHIFT, false);

    grow();
    char exePath[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, exePath, MAX_PATH);
    ModalAnswerer answerer([&](HWND open) {
        HWND name = ::GetDlgItem(open, 1152);
        if (name == nullptr) name = ::GetDlgItem(open, 1148);
        ::SetWindowTextA(name, exePath);
        ::SendMessageA(open, WM_COMMAND, IDOK, 0);
    });
    panel.Command(ID_FILE_OPEN);
    EXPECT_TRUE(answerer.Answered());
    EXPECT_TRUE(PumpUntil(fitsAgain));

    EXPECT_EQ(panel.Frame(), frame);
    EXPECT_EQ(panel.View(), view);
    EXPECT_EQ(view->GetDocument(), document);
    EXPECT_EQ(view->m_navigationTree.GetCount(), 5u);
    EXPECT_EQ(view->m_navigationTree.GetSelectedItem(), inputChannels);
}

}  // namespace
}  // namespace uitest
