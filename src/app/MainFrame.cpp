#include "app/MainFrame.h"

#include "app/AppMessages.h"
#include "app/VESK_CPLApp.h"
#include "framework/Language.h"
#include "res/StringIds.h"
#include "settings/PanelMessage.h"
#include "view/VESK_CPLView.h"

namespace {
// A visible child aligned to the bottom with a border on top.
constexpr DWORD kStatusBarStyle = 0x50008200;
}  // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_MESSAGE(WM_SELECT_ASIO_PAGE, &CMainFrame::OnSelectAsioPage)
ON_MESSAGE(WM_TRAY_NOTIFY, &CMainFrame::OnTrayNotify)
ON_COMMAND(ID_TRAY_OPEN, &CMainFrame::OnTrayOpen)
ON_COMMAND(ID_TRAY_QUIT, &CMainFrame::OnTrayQuit)
ON_COMMAND(ID_FILE_HIDE, &CMainFrame::OnFileHide)
ON_WM_SYSCOMMAND()
ON_WM_DESTROY()
ON_MESSAGE(WM_DPICHANGED, &CMainFrame::OnDpiChanged)
ON_MESSAGE(DriverSettingsChangedMessage(), &CMainFrame::OnDriverSettingsChanged)
ON_MESSAGE(WM_SYSCOLORCHANGE, &CMainFrame::OnSysColorChange)
ON_MESSAGE(WM_THEMECHANGED, &CMainFrame::OnThemeChanged)
END_MESSAGE_MAP()

void CMainFrame::SetStatusPaneText(StatusPane pane, LPCSTR text) {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (frame == nullptr) return;
    if (pane == StatusPane::PageTitle) {
        frame->SetMessageText(text);
        return;
    }
    if (CStatusBar* bar = frame->GetMessageBar()) bar->SetPaneText(static_cast<int>(pane), text);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    if (!CFrameWnd::PreCreateWindow(cs)) return FALSE;
    // Fixed size, no maximise box, and a title that is exactly the one set at creation.
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.style &=
        ~static_cast<LONG>(WS_THICKFRAME | WS_MAXIMIZEBOX | FWS_ADDTOTITLE | FWS_PREFIXTITLE);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCTA cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    if (!m_wndStatusBar.Create(this, kStatusBarStyle, AFX_IDW_STATUS_BAR)) return -1;
    static const UINT kIndicators[kPaneCount] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR,
                                                 ID_SEPARATOR};
    if (!m_wndStatusBar.SetIndicators(kIndicators, kPaneCount)) return -1;
    SetPaneWidths(DpiOfWindow(m_hWnd));

    const CString title = LoadStringText(vesk::IDS_WINDOW_TITLE);
    SetWindowText(title);

    // An elevated panel hears these from programs of a lower integrity level (veskcfg run
    // from an ordinary console, Explorer restarted) only when it lets them through; neither
    // carries data.
    for (const UINT message : {DriverSettingsChangedMessage(), TaskbarCreatedMessage()})
        if (message != kNoMessage)
            ::ChangeWindowMessageFilterEx(m_hWnd, message, MSGFLT_ALLOW, nullptr);

    m_trayIcon.Attach(m_hWnd, TRAY_ICON_ID);
    // Fails while the shell is not up yet: its "TaskbarCreated" then brings the icon.
    AddTrayIcon();
    return 0;
}

void CMainFrame::SetPaneWidths(UINT dpi) {
    // The widths at 96 DPI; the first pane takes what the others leave.
    static constexpr int kPaneWidths[kPaneCount] = {100, 150, 200, 200};
    for (int pane = 0; pane < kPaneCount; ++pane)
        m_wndStatusBar.SetPaneInfo(pane, static_cast<UINT>(pane),
                                   pane == 0 ? SBPS_STRETCH : SBPS_NORMAL,
                                   ScaleFromBaseDpi(kPaneWidths[pane], dpi));
}

LRESULT CMainFrame::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT dpi = LOWORD(wParam);
    if (dpi == 0) return 0;
    SetPaneWidths(dpi);
    if (auto* view = dynamic_cast<CVESK_CPLView*>(GetActiveView())) view->OnDpiChanged(dpi);
    // The system suggests where the window goes and how large it is at the new DPI.
    if (const auto* suggested = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    return 0;
}

void CMainFrame::AddTrayIcon() {
    CVESK_CPLApp* app = CVESK_CPLApp::Current();
    m_trayIcon.Add(app ? app->m_appIcon : nullptr, LoadStringText(vesk::IDS_WINDOW_TITLE));
}

UINT CMainFrame::TaskbarCreatedMessage() {
    static const UINT message = RegisteredMessage("TaskbarCreated");
    return message;
}

UINT CMainFrame::RegisteredMessage(const char* name) {
    // Without a number of its own the handler must not take WM_NULL (0) instead.
    const UINT message = ::RegisterWindowMessageA(name);
    return message != 0 ? message : kNoMessage;
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TaskbarCreatedMessage() && message != kNoMessage) {
        // A new shell holds none of the old icons.
        AddTrayIcon();
        return 0;
    }
    return CFrameWnd::WindowProc(message, wParam, lParam);
}

UINT CMainFrame::DriverSettingsChangedMessage() {
    static const UINT message = RegisteredMessage(kDriverSettingsChangedMessageName);
    return message;
}

LRESULT CMainFrame::OnDriverSettingsChanged(WPARAM, LPARAM) {
    // Another program (veskcfg) wrote the driver's settings: read everything again, as for the
    // driver's own domain-configuration event.
    auto* view = dynamic_cast<CVESK_CPLView*>(GetActiveView());
    if (view != nullptr) view->RefreshAllPages();
    return 0;
}

LRESULT CMainFrame::OnSysColorChange(WPARAM wParam, LPARAM lParam) {
    return ColoursChanged(WM_SYSCOLORCHANGE, wParam, lParam);
}

LRESULT CMainFrame::OnThemeChanged(WPARAM wParam, LPARAM lParam) {
    return ColoursChanged(WM_THEMECHANGED, wParam, lParam);
}

BOOL CALLBACK CMainFrame::TellChild(HWND child, LPARAM message) {
    ::SendMessageA(child, static_cast<UINT>(message), 0, 0);
    return TRUE;
}

LRESULT CMainFrame::ColoursChanged(UINT message, WPARAM wParam, LPARAM lParam) {
    // Only top-level windows hear of new system colours (a high-contrast scheme switched on
    // or off): the controls are told, and everything is painted again in the new colours.
    ::EnumChildWindows(m_hWnd, TellChild, static_cast<LPARAM>(message));
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CMainFrame::OnSelectAsioPage(WPARAM, LPARAM) {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (frame == nullptr) return 0;
    auto* view = dynamic_cast<CVESK_CPLView*>(frame->GetActiveView());
    if (view == nullptr) return 0;
    view->m_navigationTree.SelectItem(view->m_settingsItem);
    return 0;
}

LRESULT CMainFrame::OnTrayNotify(WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != TRAY_ICON_ID) return 0;
    switch (static_cast<UINT>(mouseMessage)) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnTrayOpen();
            break;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            ShowTrayMenu();
            break;
        default:
            break;
    }
    return 0;
}

void CMainFrame::ShowTrayMenu() {
    POINT cursor{};
    if (!::GetCursorPos(&cursor)) return;
    HMENU menu = AfxLoadLocalizedMenu(IDR_TRAY_MENU);
    if (menu == nullptr) return;
    if (HMENU popup = ::GetSubMenu(menu, 0)) {
        // Without the frame in the foreground the menu would not close when clicked away.
        SetForegroundWindow();
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
    }
    ::DestroyMenu(menu);
}

void CMainFrame::OnTrayOpen() {
    ShowWindow(SW_SHOW);
    SetForegroundWindow();
}

void CMainFrame::OnTrayQuit() {
    PostMessage(WM_COMMAND, ID_APP_EXIT, 0);
}

void CMainFrame::OnFileHide() {
    ShowWindow(SW_HIDE);
}

void CMainFrame::OnSysCommand(UINT command, LPARAM lParam) {
    if ((command & 0xFFF0) == SC_CLOSE) {
        OnFileHide();
        return;
    }
    CFrameWnd::OnSysCommand(command, lParam);
}

void CMainFrame::OnDestroy() {
    m_trayIcon.Remove();
    CFrameWnd::OnDestroy();
}
