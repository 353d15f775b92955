#include "view/ListCtrlEx.h"

namespace {

// The first of the lists whose drawing waits for their page to show; each links to the next.
// A plain pointer, constant-initialised, has nothing to destroy: the lists are members of
// pages that the application object's destructor may destroy at exit, after every ordinary
// static of this file would be gone.
CListCtrlEx* g_firstDeferred = nullptr;

}  // namespace

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
        m_list.SetDrawingDeferred(true);
        return;
    }
    m_list.SetDrawingDeferred(false);
    m_list.DrawAgain();
}

CListCtrlEx::~CListCtrlEx() {
    SetDrawingDeferred(false);
}

void CListCtrlEx::SetDrawingDeferred(bool deferred) {
    if (deferred == m_drawingDeferred) return;
    m_drawingDeferred = deferred;
    if (deferred) {
        m_nextDeferred = g_firstDeferred;
        g_firstDeferred = this;
        return;
    }
    for (CListCtrlEx** link = &g_firstDeferred; *link != nullptr; link = &(*link)->m_nextDeferred) {
        if (*link == this) {
            *link = m_nextDeferred;
            break;
        }
    }
    m_nextDeferred = nullptr;
}

void CListCtrlEx::EndDeferredRebuild() {
    if (!m_drawingDeferred || m_rebuilds > 0 || m_hWnd == nullptr) return;
    SetDrawingDeferred(false);
    DrawAgain();
}

void CListCtrlEx::EndDeferredRebuildsOn(HWND page) {
    // Ending a list's deferral takes it out of the chain being walked: the next is taken first.
    for (CListCtrlEx* list = g_firstDeferred; list != nullptr;) {
        CListCtrlEx* next = list->m_nextDeferred;
        if (list->m_hWnd != nullptr && ::GetParent(list->m_hWnd) == page)
            list->EndDeferredRebuild();
        list = next;
    }
}

void CListCtrlEx::DrawAgain() {
    if (!::IsWindowVisible(m_hWnd)) {
        SendMessage(WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return;
    }
    // Drawing back on, the list sets its scroll bars, and a visible list paints them at once:
    // under Wine's themes that takes milliseconds a bar. The list's own control keeps its
    // window visible while its drawing is off, so for that moment the window's drawing is
    // turned off the way every window's is; the bars are then only set, and the list with
    // its frame is painted with the next paint, together with whatever else changed.
    ::DefWindowProcA(m_hWnd, WM_SETREDRAW, FALSE, 0);
    SendMessage(WM_SETREDRAW, TRUE, 0);
    ::DefWindowProcA(m_hWnd, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}
