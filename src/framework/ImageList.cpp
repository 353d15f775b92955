#include "framework/ImageList.h"

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    DeleteImageList();
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HICON icon) {
    return m_hImageList ? ::ImageList_ReplaceIcon(m_hImageList, -1, icon) : -1;
}

int CImageList::GetImageCount() const {
    return m_hImageList ? ::ImageList_GetImageCount(m_hImageList) : 0;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) return FALSE;
    ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
    return TRUE;
}
