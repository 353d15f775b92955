#include "framework/Dialog.h"

#include <cstring>

#include "framework/App.h"
#include "framework/Language.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, &CDialog::OnOK)
ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

// The window procedure of the dialog is the object's; the system's dialog procedure only
// calls this one for the initialisation.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    RECT before{};
    ::GetWindowRect(hWnd, &before);
    const BOOL result = dialog ? dialog->OnInitDialog() : TRUE;
    RECT after{};
    ::GetWindowRect(hWnd, &after);
    // A dialog that did not place itself opens over the window it belongs to, as users expect,
    // rather than at its template's corner of that window.
    if (std::memcmp(&before, &after, sizeof before) == 0) CenterOverOwner(hWnd);
    return result;
}

void CDialog::CenterOverOwner(HWND hWnd) {
    if (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) return;
    HMONITOR monitor = ::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoA(monitor, &info)) return;
    const RECT work = info.rcWork;
    RECT area = work;
    HWND owner = ::GetWindow(hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &area);
    RECT self{};
    ::GetWindowRect(hWnd, &self);
    const LONG width = self.right - self.left;
    const LONG height = self.bottom - self.top;
    LONG x = area.left + (area.right - area.left - width) / 2;
    LONG y = area.top + (area.bottom - area.top - height) / 2;
    // Keep the whole dialog, caption first, on the screen.
    if (x + width > work.right) x = work.right - width;
    if (y + height > work.bottom) y = work.bottom - height;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    ::SetWindowPos(hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CDialog::OwnerWindow() const {
    if (m_pParentWnd != nullptr) return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main ? main->m_hWnd : nullptr;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_templateId = templateId;
    if (parent != nullptr) m_pParentWnd = parent;
    HWND owner = OwnerWindow();
    HWND hWnd = WithCreationHook([&] {
        const DLGTEMPLATE* dialog = AfxLoadDialogTemplate(templateId);
        return dialog ? ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), dialog, owner,
                                                     &DialogProc, 0)
                      : nullptr;
    });
    return hWnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = OwnerWindow();
    const INT_PTR result = WithCreationHook([&] {
        const DLGTEMPLATE* dialog = AfxLoadDialogTemplate(m_templateId);
        return dialog ? ::DialogBoxIndirectParamA(AfxGetInstanceHandle(), dialog, owner,
                                                  &DialogProc, 0)
                      : INT_PTR{-1};
    });
    return result;
}

void CDialog::EndDialog(int result) {
    ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    const bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                       (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    return input && ::IsDialogMessageA(m_hWnd, msg);
}
