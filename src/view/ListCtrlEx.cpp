#include "view/ListCtrlEx.h"

BEGIN_MESSAGE_MAP(CListCtrlEx, CListCtrl)
END_MESSAGE_MAP()

CListCtrlEx::Rebuild::Rebuild(CListCtrlEx& list) : m_list(list) {
    if (m_list.m_rebuilds++ == 0 && m_list.m_hWnd != nullptr && !m_list.m_drawingDeferred)
        m_list.SendMessage(WM_SETREDRAW, FALSE, 0);
}

CListCtrlEx::Rebuild::~Rebuild() {
    if (--m_list.m_rebuilds != 0 || m_list.m_hWnd == nullptr) return;
    HWND parent = ::GetParent(m_list.m_hWnd);
    if (parent != nullptr && !(::GetWindowLongA(parent, GWL_STYLE) & WS_VISIBLE)) {
        m_list.m_drawingDeferred = true;
        return;
    }
    m_list.m_drawingDeferred = false;
    // Drawing back on, the list sets its scroll bars, and a visible list paints them at once:
    // under Wine's themes that takes milliseconds a bar. With the page's drawing off
    // meanwhile, the bars are only set, and the list with its frame is painted with the
    // next paint, together with whatever else the refresh changed.
    if (parent == nullptr || !::IsWindowVisible(m_list.m_hWnd)) {
        m_list.DrawAgain();
        return;
    }
    // Turning the page's drawing off also drops what was waiting to be painted in it, so the
    // whole page is painted again.
    ::SendMessageA(parent, WM_SETREDRAW, FALSE, 0);
    m_list.SendMessage(WM_SETREDRAW, TRUE, 0);
    ::SendMessageA(parent, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(parent, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void CListCtrlEx::EndDeferredRebuild() {
    if (!m_drawingDeferred || m_rebuilds > 0 || m_hWnd == nullptr) return;
    m_drawingDeferred = false;
    DrawAgain();
}

void CListCtrlEx::DrawAgain() {
    SendMessage(WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
