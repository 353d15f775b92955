#include "framework/Controls.h"

#include <string>

CString CComboBox::GetLBText(int index) const {
    const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length == CB_ERR) return CString();
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index),
                                       reinterpret_cast<LPARAM>(buffer.data()));
    return copied == CB_ERR ? CString() : CString(buffer.c_str(), static_cast<int>(copied));
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    return CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr,
                    nullptr);
}

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCSTR text) {
    if (window == nullptr || window->m_hWnd == nullptr) return FALSE;
    TOOLINFOA tool{};
    // The size every version of the common controls accepts.
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = ::GetParent(window->m_hWnd);
    tool.uId = reinterpret_cast<UINT_PTR>(window->m_hWnd);
    tool.lpszText = const_cast<LPSTR>(text);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool)));
}
