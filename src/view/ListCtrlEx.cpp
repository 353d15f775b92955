#include "view/ListCtrlEx.h"

BEGIN_MESSAGE_MAP(CListCtrlEx, CListCtrl)
END_MESSAGE_MAP()

CListCtrlEx::Rebuild::Rebuild(CListCtrlEx& list) : m_list(list) {
    if (m_list.m_rebuilds++ == 0 && m_list.m_hWnd != nullptr)
        m_list.SendMessage(WM_SETREDRAW, FALSE, 0);
}

CListCtrlEx::Rebuild::~Rebuild() {
    if (--m_list.m_rebuilds == 0 && m_list.m_hWnd != nullptr) {
        m_list.SendMessage(WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(m_list.m_hWnd, nullptr, TRUE);
    }
}
