// A second floor of the panel's start-up: the windows the panel must make before it first
// paints, made straight with Win32 and nothing else. It links the panel's own resources (the
// same manifest, so the same common controls and theme), makes a frame with its menu and status
// bar, the notification-area icon, the navigation form with its tree, the six pages from their
// templates (each shown at its place, then all hidden), the tree's image list and items, and
// shows the Devices page and the frame. No framework, no driver, no page content: what the panel
// takes beyond this is its own.
#include <windows.h>
// The common controls need the window types first.
#include <commctrl.h>
#include <shellapi.h>

#include <array>

#include "resource.h"

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;

struct Windows {
    HWND form = nullptr;
    HWND status = nullptr;
    std::array<HWND, 6> pages{};
    HIMAGELIST images = nullptr;
};
Windows g_windows;

INT_PTR CALLBACK PageProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

NOTIFYICONDATAA TrayRecord(HWND frame) {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = frame;
    data.uID = 1;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayMessage;
    data.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP));
    ::lstrcpynA(data.szTip, "Bare panel", sizeof data.szTip);
    return data;
}

void HideAllPages() {
    for (HWND page : g_windows.pages) ::ShowWindow(page, SW_HIDE);
}

void MakeWindows(HWND frame) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    g_windows.form = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_VESK_CPL_FORM), frame,
                                          &PageProcedure, 0);
    ::ShowWindow(g_windows.form, SW_SHOW);
    g_windows.status = ::CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                         frame, nullptr, instance, nullptr);
    NOTIFYICONDATAA tray = TrayRecord(frame);
    ::Shell_NotifyIconA(NIM_ADD, &tray);

    // The frame around the form: its client area holds the form and the status bar.
    RECT form{}, status{}, outer{};
    ::GetWindowRect(g_windows.form, &form);
    ::GetWindowRect(g_windows.status, &status);
    outer = {0, 0, form.right - form.left, form.bottom - form.top + status.bottom - status.top};
    ::AdjustWindowRectEx(&outer, static_cast<DWORD>(::GetWindowLongA(frame, GWL_STYLE)), TRUE, 0);
    ::SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER);

    const std::array<int, 6> templates{IDD_PAGE_ASIO_SETTINGS, IDD_PAGE_DEVICES,
                                       IDD_PAGE_CHANNELS,      IDD_PAGE_CHANNELS,
                                       IDD_PAGE_STREAMS,       IDD_PAGE_SYNCHRONISATION};
    HWND tree = ::GetDlgItem(g_windows.form, IDC_NAV_TREE);
    RECT treeRect{};
    ::GetWindowRect(tree, &treeRect);
    ::MapWindowPoints(nullptr, g_windows.form, reinterpret_cast<POINT*>(&treeRect), 2);
    for (size_t i = 0; i < templates.size(); ++i) {
        g_windows.pages[i] = ::CreateDialogParamA(instance, MAKEINTRESOURCEA(templates[i]),
                                                  g_windows.form, &PageProcedure, 0);
        ::SetWindowPos(g_windows.pages[i], nullptr, treeRect.right + 8, treeRect.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    }
    HideAllPages();

    g_windows.images = ::ImageList_Create(16, 16, 0, 6, 1);
    for (int icon : {IDI_TREE_0, IDI_TREE_DEVICES, IDI_TREE_SETTINGS, IDI_TREE_CHANNELS, IDI_TREE_4,
                     IDI_TREE_SYNCHRONISATION})
        ::ImageList_AddIcon(g_windows.images, ::LoadIconA(instance, MAKEINTRESOURCEA(icon)));
    TreeView_SetImageList(tree, g_windows.images, TVSIL_NORMAL);
    const std::array<const char*, 5> items{"Devices", "Input Channels", "Output Channels",
                                           "Synchronisation", "Settings"};
    const std::array<int, 5> images{1, 3, 3, 5, 2};
    HTREEITEM devices = nullptr;
    for (size_t i = 0; i < items.size(); ++i) {
        TVINSERTSTRUCTA insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(items[i]);
        insert.item.iImage = insert.item.iSelectedImage = images[i];
        insert.item.lParam = static_cast<LPARAM>(i);
        HTREEITEM item = reinterpret_cast<HTREEITEM>(
            ::SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        if (i == 0) devices = item;
    }
    HideAllPages();
    TreeView_SelectItem(tree, devices);
    ::ShowWindow(g_windows.pages[1], SW_SHOW);
    ::SendMessageA(g_windows.status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Devices"));
}

LRESULT CALLBACK FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            MakeWindows(frame);
            return 0;
        case WM_SIZE:
            if (g_windows.status != nullptr) ::SendMessageA(g_windows.status, WM_SIZE, 0, 0);
            return 0;
        case WM_DESTROY: {
            NOTIFYICONDATAA tray = TrayRecord(frame);
            ::Shell_NotifyIconA(NIM_DELETE, &tray);
            ::ImageList_Destroy(g_windows.images);
            ::PostQuitMessage(0);
            return 0;
        }
        default:
            return ::DefWindowProcA(frame, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &FrameProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP));
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDR_MAINFRAME);
    windowClass.lpszClassName = "VeskBarePanel";
    ::RegisterClassA(&windowClass);
    HWND frame = ::CreateWindowExA(0, "VeskBarePanel", "Bare panel",
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   nullptr, nullptr, instance, nullptr);
    ::ShowWindow(frame, SW_SHOW);
    ::UpdateWindow(frame);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (::IsDialogMessageA(frame, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
