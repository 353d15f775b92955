#include "framework/Frame.h"

#include <string>

#include "framework/App.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Language.h"
#include "framework/StatusBar.h"
#include "framework/View.h"

namespace {

// One window class per frame resource, carrying that resource's icon; returns its name.
std::string FrameClassFor(UINT resourceId) {
    const std::string name = "VeskFrame" + std::to_string(resourceId);
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(AfxGetInstanceHandle(), name.c_str(), &existing)) return name;
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = AfxGetInstanceHandle();
    windowClass.hIcon = static_cast<HICON>(::LoadImageA(
        AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(resourceId), IMAGE_ICON,
                     ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = name.c_str();
    ::RegisterClassExA(&windowClass);
    return name;
}

// The first field of a "\n"-separated resource string.
CString FirstField(const CString& text) {
    const std::string& whole = text.str();
    return CString(whole.substr(0, whole.find('\n')));
}

}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_WM_MENUSELECT()
ON_WM_SETFOCUS()
ON_WM_ACTIVATE()
END_MESSAGE_MAP()

CFrameWnd::~CFrameWnd() {
    if (m_deletedFlag != nullptr) *m_deletedFlag = true;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context) {
    HINSTANCE instance = AfxGetInstanceHandle();
    m_strTitle = FirstField(LoadStringText(resourceId));
    HMENU menu = AfxLoadLocalizedMenu(resourceId);
    const std::string frameClass = FrameClassFor(resourceId);
    if (!CreateEx(0, frameClass.c_str(), m_strTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, menu, context)) {
        // A menu that no window took over is ours to free.
        if (menu != nullptr && ::IsMenu(menu) && m_hWnd == nullptr) ::DestroyMenu(menu);
        return FALSE;
    }
    m_hAccelTable = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(resourceId));
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs) {
    if (cs.style & FWS_ADDTOTITLE) cs.style |= FWS_PREFIXTITLE;
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCTA cs) {
    auto* context = static_cast<CCreateContext*>(cs->lpCreateParams);
    m_idTracking = AFX_IDS_IDLEMESSAGE;
    m_idLastMessage = 0;
    return OnCreateClient(cs, context) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCTA, CCreateContext* context) {
    if (context == nullptr || context->m_pNewViewClass == nullptr) return TRUE;
    CObject* object = context->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CView*>(object);
    if (view == nullptr) {
        delete object;
        return FALSE;
    }
    const RECT empty{0, 0, 0, 0};
    if (!view->CreateView(this, empty, AFX_IDW_PANE_FIRST, context)) {
        // No window was made, so the view cannot have deleted itself.
        if (view->m_hWnd == nullptr) delete view;
        return FALSE;
    }
    m_activeView = view;
    return TRUE;
}

void CFrameWnd::OnSize(UINT, int, int) {
    Default();
    RecalcLayout();
}

void CFrameWnd::OnClose() {
    DestroyWindow();
}

void CFrameWnd::OnActivate(UINT state, CWnd*, BOOL) {
    if (state == WA_INACTIVE && m_activeView != nullptr) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(m_activeView->m_hWnd, focus)) m_savedFocus = focus;
    }
    Default();
}

void CFrameWnd::OnSetFocus(CWnd*) {
    if (m_activeView == nullptr || m_activeView->m_hWnd == nullptr) {
        Default();
        return;
    }
    // A control on a page that has been hidden since, or disabled, cannot take it back.
    if (m_savedFocus != nullptr && ::IsChild(m_activeView->m_hWnd, m_savedFocus) &&
        ::IsWindowVisible(m_savedFocus) && ::IsWindowEnabled(m_savedFocus)) {
        ::SetFocus(m_savedFocus);
        return;
    }
    m_savedFocus = nullptr;
    if (HWND first = ::GetNextDlgTabItem(m_activeView->m_hWnd, nullptr, FALSE))
        ::SetFocus(first);
    else
        m_activeView->SetFocus();
}

CStatusBar* CFrameWnd::GetMessageBar() const {
    return dynamic_cast<CStatusBar*>(
        FromHandlePermanent(GetDlgItemHandle(static_cast<int>(AFX_IDW_STATUS_BAR))));
}

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_hWnd == nullptr) return;
    RECT client{};
    GetClientRect(&client);
    // The bar's own visibility counts, not its parent's: the frame may not be shown yet.
    if (CStatusBar* bar = GetMessageBar(); bar != nullptr && (bar->GetStyle() & WS_VISIBLE))
        client.bottom -= bar->Reposition();
    if (m_activeView != nullptr && m_activeView->m_hWnd != nullptr)
        m_activeView->SetWindowPos(nullptr, client.left, client.top, client.right - client.left,
                                   client.bottom > client.top ? client.bottom - client.top : 0,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void CFrameWnd::ActivateFrame(int cmdShow) {
    if (cmdShow == -1) {
        if (!IsWindowVisible())
            cmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            cmdShow = SW_RESTORE;
    }
    if (cmdShow == -1) {
        ::BringWindowToTop(m_hWnd);
        return;
    }
    ShowWindow(cmdShow);
    if (cmdShow != SW_HIDE && cmdShow != SW_MINIMIZE && cmdShow != SW_SHOWMINNOACTIVE)
        ::BringWindowToTop(m_hWnd);
}

void CFrameWnd::InitialUpdateFrame(CDocument* document, BOOL makeVisible) {
    if (m_activeView == nullptr)
        m_activeView = dynamic_cast<CView*>(
            FromHandlePermanent(GetDlgItemHandle(static_cast<int>(AFX_IDW_PANE_FIRST))));
    if (makeVisible) {
        if (m_activeView != nullptr) m_activeView->OnInitialUpdate();
        int cmdShow = -1;
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == this) {
            // The start-up show state applies to the first activation only.
            cmdShow = app->m_nCmdShow;
            app->m_nCmdShow = -1;
        }
        ActivateFrame(cmdShow);
    }
    UpdateFrameTitle(document);
}

void CFrameWnd::UpdateFrameTitle(CDocument* document) {
    if (!(GetStyle() & FWS_ADDTOTITLE)) return;
    CString title = m_strTitle;
    if (document != nullptr && !document->GetTitle().empty()) {
        const CString name(document->GetTitle());
        title =
            (GetStyle() & FWS_PREFIXTITLE) ? name + " - " + m_strTitle : m_strTitle + " - " + name;
    }
    SetWindowText(title);
}

void CFrameWnd::SetMessageText(LPCSTR text) {
    if (CStatusBar* bar = GetMessageBar()) {
        const int index = bar->CommandToIndex(ID_SEPARATOR);
        if (index >= 0) bar->SetPaneText(index, text);
    }
    m_idLastMessage = 0;
    m_idTracking = 0;
}

void CFrameWnd::SetMessageText(UINT id) {
    const CString text = id != 0 ? FirstField(LoadStringText(id)) : CString();
    SetMessageText(text.GetString());
    m_idLastMessage = id;
    m_idTracking = id;
}

void CFrameWnd::OnIdleUpdate() {
    if (m_idTracking != m_idLastMessage) SetMessageText(m_idTracking);
}

UINT CFrameWnd::PromptIdForMenuItem(UINT itemId, UINT flags) {
    if (itemId == 0 || (flags & (MF_POPUP | MF_SEPARATOR))) return 0;
    // System-menu commands have no prompts of the program's own.
    if (itemId >= 0xF000 && itemId < 0xF1F0) return 0;
    return itemId;
}

void CFrameWnd::OnMenuSelect(UINT itemId, UINT flags, HMENU menu) {
    if (flags == 0xFFFF && menu == nullptr) {
        // The menu closed: back to the idle text.
        SetMessageText(AFX_IDS_IDLEMESSAGE);
        return;
    }
    SetMessageText(PromptIdForMenuItem(itemId, flags));
}

BOOL CFrameWnd::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    return m_hAccelTable != nullptr && ::TranslateAcceleratorA(m_hWnd, m_hAccelTable, msg);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code) {
    if (m_activeView != nullptr && m_activeView->OnCmdMsg(id, code)) return TRUE;
    if (CWnd::OnCmdMsg(id, code)) return TRUE;
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->OnCmdMsg(id, code);
}
