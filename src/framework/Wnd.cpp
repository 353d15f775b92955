#include "framework/Wnd.h"

#include "framework/AccessibleText.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "framework/App.h"
#include "framework/DataExchange.h"
#include "framework/Frame.h"

// The user-interface thread owns every window object, so the maps need no lock.
struct WndRegistry {
    std::unordered_map<HWND, CWnd*> permanent;
    std::unordered_map<HWND, std::unique_ptr<CWnd>> temporary;
    // The object waiting to be attached to the next window the thread creates.
    CWnd* pendingCreation = nullptr;
    HHOOK creationHook = nullptr;

    // Never destroyed. The application object is a global built before the first window, so
    // an ordinary local static would be destroyed before it, and the application's destructor
    // (and any window object a static owns) would then clear maps that are already gone,
    // writing into freed memory while the process ends.
    static WndRegistry& Get() {
        static WndRegistry& registry = *new WndRegistry;
        return registry;
    }
};

CWnd::~CWnd() {
    if (m_hWnd == nullptr || m_temporary) return;
    if (m_ownsWindow) {
        ::DestroyWindow(m_hWnd);
    } else {
        UnsubclassWindow();
    }
    if (m_hWnd != nullptr) Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = WndRegistry::Get().permanent;
    auto found = map.find(hWnd);
    return found == map.end() ? nullptr : found->second;
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
    auto& temporary = WndRegistry::Get().temporary;
    auto& slot = temporary[hWnd];
    if (!slot) {
        slot = std::make_unique<CWnd>();
        slot->m_hWnd = hWnd;
        slot->m_temporary = true;
    }
    return slot.get();
}

void CWnd::DeleteTempMap() {
    WndRegistry::Get().temporary.clear();
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    WndRegistry::Get().permanent[hWnd] = this;
    WndRegistry::Get().temporary.erase(hWnd);
}

void CWnd::Detach() {
    if (m_accessibleText != nullptr) m_accessibleText->ControlGone();
    WndRegistry::Get().permanent.erase(m_hWnd);
    m_hWnd = nullptr;
    m_knownItems.clear();
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    Attach(hWnd);
    m_superWindowProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent != nullptr && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) return nullptr;
    if (m_superWindowProc != nullptr)
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superWindowProc));
    m_superWindowProc = nullptr;
    Detach();
    return hWnd;
}

// The hook is in place only while an object waits for its window: the controls a dialog makes
// after its own window, and every window a modal dialog's loop makes, are created without it
// (under Wine each hooked creation is three more trips to the server). A creation inside
// another's messages puts it back for itself.
void CWnd::BeginCreationHook() {
    auto& registry = WndRegistry::Get();
    registry.pendingCreation = this;
    if (registry.creationHook == nullptr)
        registry.creationHook =
            ::SetWindowsHookExA(WH_CBT, &CreationHookProc, nullptr, ::GetCurrentThreadId());
}

void CWnd::EndCreationHook() {
    auto& registry = WndRegistry::Get();
    if (registry.pendingCreation == this) registry.pendingCreation = nullptr;
    if (registry.pendingCreation == nullptr) RemoveCreationHook();
}

void CWnd::RemoveCreationHook() {
    auto& registry = WndRegistry::Get();
    if (registry.creationHook == nullptr) return;
    ::UnhookWindowsHookEx(registry.creationHook);
    registry.creationHook = nullptr;
}

// Attaches the waiting object before the window receives its first message, so that even
// WM_NCCREATE and WM_CREATE go through the message map.
LRESULT CALLBACK CWnd::CreationHookProc(int code, WPARAM wParam, LPARAM lParam) {
    auto& registry = WndRegistry::Get();
    const bool attaching = code == HCBT_CREATEWND && registry.pendingCreation != nullptr;
    if (attaching) {
        CWnd* wnd = registry.pendingCreation;
        registry.pendingCreation = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        wnd->Attach(hWnd);
        wnd->m_ownsWindow = true;
        wnd->m_superWindowProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StaticWindowProc)));
    }
    const LRESULT result = ::CallNextHookEx(registry.creationHook, code, wParam, lParam);
    if (attaching) RemoveCreationHook();
    return result;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA&) {
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId, LPVOID param) {
    CREATESTRUCTA cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = param;
    if (!PreCreateWindow(cs)) return FALSE;
    HWND hWnd = WithCreationHook([&] {
        return ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                 static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    });
    return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
    return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);
    const CurrentMessage saved = wnd->m_currentMessage;
    wnd->m_currentMessage = {message, wParam, lParam};
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        wnd->AfterNcDestroy();  // may delete the object: nothing touches it afterwards
        return result;
    }
    wnd->m_currentMessage = saved;
    return result;
}

void CWnd::AfterNcDestroy() {
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Detach();
    m_superWindowProc = nullptr;
    m_ownsWindow = false;
    PostNcDestroy();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (message == WM_GETOBJECT && m_accessibleText != nullptr &&
        (result = m_accessibleText->Answer(m_hWnd, wParam, lParam)) > 0)
        return result;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam)) return FALSE;
        *result = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) return OnNotify(wParam, lParam, result);
    return DispatchEntry(message, 0, 0, wParam, lParam, result);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT code = HIWORD(wParam);
    // Accelerators arrive with code 1; like menu items they are plain commands.
    if (lParam == 0 && code == 1) code = 0;
    return OnCmdMsg(LOWORD(wParam), static_cast<int>(code));
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    (void)wParam;
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header == nullptr) return FALSE;
    return DispatchEntry(WM_NOTIFY, header->code, static_cast<UINT>(header->idFrom), wParam, lParam,
                         result);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_superWindowProc != nullptr)
        return ::CallWindowProcA(m_superWindowProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam,
                         m_currentMessage.lParam);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate) {
    if (m_hWnd == nullptr) return FALSE;
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}
LRESULT CWnd::SendToControl(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (m_superWindowProc == nullptr || FindMessageEntry(GetMessageMap(), message, 0, 0) != nullptr)
        return SendMessage(message, wParam, lParam);
    return ::CallWindowProcA(m_superWindowProc, m_hWnd, message, wParam, lParam);
}
BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
}
BOOL CWnd::ShowWindow(int cmdShow) {
    return ::ShowWindow(m_hWnd, cmdShow);
}
BOOL CWnd::IsWindowVisible() const {
    return ::IsWindowVisible(m_hWnd);
}
BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}
BOOL CWnd::EnableWindow(BOOL enable) {
    // Disabling sends the window WM_CANCELMODE even when it is disabled already, and under
    // Wine that costs a round trip to the window server; the result is the same either way.
    if (!enable && m_hWnd != nullptr && !::IsWindowEnabled(m_hWnd)) return TRUE;
    return ::EnableWindow(m_hWnd, enable);
}
BOOL CWnd::IsWindowEnabled() const {
    return ::IsWindowEnabled(m_hWnd);
}
void CWnd::SetWindowText(LPCSTR text) {
    ::SetWindowTextA(m_hWnd, text);
}
int CWnd::GetWindowText(LPSTR buffer, int size) const {
    return ::GetWindowTextA(m_hWnd, buffer, size);
}
void CWnd::GetWindowText(CString& text) const {
    const int length = ::GetWindowTextLengthA(m_hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(m_hWnd, buffer.data(), length + 1);
    text = CString(buffer.c_str(), copied);
}
BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    return ::SetWindowPos(m_hWnd, insertAfter ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}
void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}
void CWnd::GetClientRect(LPRECT rect) const {
    ::GetClientRect(m_hWnd, rect);
}
void CWnd::GetWindowRect(LPRECT rect) const {
    ::GetWindowRect(m_hWnd, rect);
}
CWnd* CWnd::GetDlgItem(int id) const {
    return FromHandle(GetDlgItemHandle(id));
}

HWND CWnd::GetDlgItemHandle(int id) const {
    if (m_hWnd == nullptr) return nullptr;
    auto known = std::find_if(m_knownItems.begin(), m_knownItems.end(),
                              [id](const std::pair<int, HWND>& item) { return item.first == id; });
    // A remembered child still counts only while it is this window's child with this id.
    if (known != m_knownItems.end() && ::IsWindow(known->second) &&
        ::GetParent(known->second) == m_hWnd && ::GetDlgCtrlID(known->second) == id)
        return known->second;
    HWND child = ::GetDlgItem(m_hWnd, id);
    if (known != m_knownItems.end()) m_knownItems.erase(known);
    if (child != nullptr) m_knownItems.emplace_back(id, child);
    return child;
}
int CWnd::GetDlgCtrlID() const {
    return ::GetDlgCtrlID(m_hWnd);
}
CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}
CFrameWnd* CWnd::GetParentFrame() const {
    for (HWND parent = ::GetParent(m_hWnd); parent != nullptr; parent = ::GetParent(parent)) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(FromHandlePermanent(parent))) return frame;
    }
    return nullptr;
}
DWORD CWnd::GetStyle() const {
    return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE));
}
DWORD CWnd::GetExStyle() const {
    return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE));
}
BOOL CWnd::ModifyStyle(DWORD remove, DWORD add) {
    const DWORD style = GetStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(changed));
    return TRUE;
}
BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add) {
    const DWORD style = GetExStyle();
    const DWORD changed = (style & ~remove) | add;
    if (changed == style) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(changed));
    return TRUE;
}
void CWnd::UpdateWindow() {
    ::UpdateWindow(m_hWnd);
}
void CWnd::Invalidate(BOOL erase) {
    ::InvalidateRect(m_hWnd, nullptr, erase);
}
BOOL CWnd::SetForegroundWindow() {
    return ::SetForegroundWindow(m_hWnd);
}
CWnd* CWnd::SetFocus() {
    return FromHandle(::SetFocus(m_hWnd));
}
HICON CWnd::SetIcon(HICON icon, BOOL big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}
UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc) {
    return ::SetTimer(m_hWnd, id, elapse, timerProc);
}
BOOL CWnd::KillTimer(UINT_PTR id) {
    return ::KillTimer(m_hWnd, id);
}
int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type) {
    CString appName;
    if (caption == nullptr) {
        appName = LoadStringText(AFX_IDS_APP_TITLE);
        caption = appName;
    }
    return ::MessageBoxA(m_hWnd, text, caption, type);
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app ? app->m_pMainWnd : nullptr;
}
