#include "framework/Document.h"

#include <algorithm>

#include "framework/View.h"

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::~CDocument() {
    for (CView* view : m_views) view->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_pathName.clear();
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR pathName) {
    // The documents of this program keep nothing, so there is nothing to read.
    DeleteContents();
    SetPathName(pathName);
    return TRUE;
}

void CDocument::AddView(CView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    view->m_pDocument = nullptr;
}
