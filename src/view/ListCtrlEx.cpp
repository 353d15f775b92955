#include "view/ListCtrlEx.h"

#include <algorithm>
#include <vector>

namespace {

// The lists whose drawing waits for their page to show.
std::vector<CListCtrlEx*>& DeferredLists() {
    static std::vector<CListCtrlEx*> lists;
    return lists;
}

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
    std::vector<CListCtrlEx*>& lists = DeferredLists();
    if (deferred)
        lists.push_back(this);
    else
        lists.erase(std::remove(lists.begin(), lists.end(), this), lists.end());
}

void CListCtrlEx::EndDeferredRebuild() {
    if (!m_drawingDeferred || m_rebuilds > 0 || m_hWnd == nullptr) return;
    SetDrawingDeferred(false);
    DrawAgain();
}

void CListCtrlEx::EndDeferredRebuildsOn(HWND page) {
    // A copy: ending a list's deferral takes it out of the list being walked.
    const std::vector<CListCtrlEx*> lists = DeferredLists();
    for (CListCtrlEx* list : lists)
        if (list->m_hWnd != nullptr && ::GetParent(list->m_hWnd) == page)
            list->EndDeferredRebuild();
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
