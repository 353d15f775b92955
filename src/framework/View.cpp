#include "framework/View.h"

#include <algorithm>

#include "framework/App.h"
#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "framework/Language.h"

BEGIN_MESSAGE_MAP(CView, CWnd)
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
    if (m_parentFrame != nullptr && m_parentFrame->GetActiveView() == this)
        m_parentFrame->SetActiveView(nullptr);
}

BOOL CView::PreCreateWindow(CREATESTRUCTA& cs) {
    // A view's border is drawn as a sunken edge.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return TRUE;
}

BOOL CView::CreateView(CWnd* parent, const RECT& rect, UINT id, CCreateContext* context) {
    static const char* const kViewClass = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcA;
        windowClass.hInstance = AfxGetInstanceHandle();
        windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = "VeskView";
        ::RegisterClassA(&windowClass);
        return "VeskView";
    }();
    JoinFrameAndDocument(parent, context);
    return CreateEx(0, kViewClass, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent->m_hWnd,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void CView::JoinFrameAndDocument(CWnd* parent, CCreateContext* context) {
    if (context != nullptr && context->m_pCurrentDoc != nullptr)
        context->m_pCurrentDoc->AddView(this);
    m_parentFrame = dynamic_cast<CFrameWnd*>(parent);
}

// A view passes commands it does not handle to its document.
BOOL CView::OnCmdMsg(UINT id, int code) {
    if (CWnd::OnCmdMsg(id, code)) return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(id, code);
}

INT_PTR CALLBACK CFormView::FormDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

BOOL CFormView::CreateView(CWnd* parent, const RECT& rect, UINT id, CCreateContext* context) {
    CREATESTRUCTA cs{};
    cs.style = WS_CHILD | WS_VISIBLE | WS_BORDER;
    if (!PreCreateWindow(cs)) return FALSE;
    JoinFrameAndDocument(parent, context);
    HWND hWnd = WithCreationHook([&] {
        const DLGTEMPLATE* form = AfxLoadDialogTemplate(m_templateId);
        return form ? ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), form, parent->m_hWnd,
                                                   &FormDialogProc, 0)
                    : nullptr;
    });
    if (hWnd == nullptr) return FALSE;
    // The template's style stands, but the border is the one the view asked for.
    ModifyStyle(WS_BORDER | WS_CAPTION, static_cast<DWORD>(cs.style) & (WS_BORDER | WS_CAPTION));
    ModifyStyleEx(WS_EX_CLIENTEDGE, cs.dwExStyle & WS_EX_CLIENTEDGE);
    ::SetWindowLongPtrA(m_hWnd, GWLP_ID, static_cast<LONG_PTR>(id));
    RECT templateRect{};
    GetWindowRect(&templateRect);
    m_formSize = {templateRect.right - templateRect.left, templateRect.bottom - templateRect.top};
    SetWindowPos(nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (cs.style & WS_VISIBLE) ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

void CFormView::OnInitialUpdate() {
    UpdateData(FALSE);
}

BOOL CFormView::PreTranslateMessage(MSG* msg) {
    // The dialog manager would take the frame's accelerators as keys for the form's controls,
    // so the frames translate first.
    for (CFrameWnd* frame = GetParentFrame(); frame != nullptr; frame = frame->GetParentFrame())
        if (frame->PreTranslateMessage(msg)) return TRUE;
    if (::GetWindow(m_hWnd, GW_CHILD) == nullptr) return FALSE;
    const bool input = (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST) ||
                       (msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST);
    return input && ::IsDialogMessageA(m_hWnd, msg);
}

void CFormView::ResizeParentToFit(BOOL shrinkOnly) {
    CFrameWnd* frame = GetParentFrame();
    if (frame == nullptr) return;
    RECT client{};
    GetClientRect(&client);
    LONG wantedWidth = m_formSize.cx;
    LONG wantedHeight = m_formSize.cy;
    if (shrinkOnly) {
        wantedWidth = std::min<LONG>(wantedWidth, client.right);
        wantedHeight = std::min<LONG>(wantedHeight, client.bottom);
    }
    RECT frameRect{};
    frame->GetWindowRect(&frameRect);
    const int width = frameRect.right - frameRect.left + (wantedWidth - client.right);
    const int height = frameRect.bottom - frameRect.top + (wantedHeight - client.bottom);
    frame->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BEGIN_MESSAGE_MAP(CFormView, CView)
END_MESSAGE_MAP()
