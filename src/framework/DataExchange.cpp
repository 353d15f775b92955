#include "framework/DataExchange.h"

#include <string>

#include "framework/Wnd.h"

HWND CDataExchange::PrepareCtrl(int id) const {
    return m_pDlgWnd ? m_pDlgWnd->GetDlgItemHandle(id) : nullptr;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd != nullptr) return;
    control.SubclassWindow(dx->PrepareCtrl(id));
}

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate) {
        const int length = ::GetWindowTextLengthA(control);
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        const int copied = ::GetWindowTextA(control, buffer.data(), length + 1);
        value = CString(buffer.c_str(), copied);
        return;
    }
    // Unchanged text is not set again, so that the control neither flickers nor loses its
    // caret.
    const int length = ::GetWindowTextLengthA(control);
    if (length == value.GetLength()) {
        std::string buffer(static_cast<size_t>(length) + 1, '\0');
        ::GetWindowTextA(control, buffer.data(), length + 1);
        if (value == buffer.c_str()) return;
    }
    ::SetWindowTextA(control, value);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (control == nullptr) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    // The group runs from the first button to the next control that starts a group.
    for (HWND button = control; button != nullptr; button = ::GetWindow(button, GW_HWNDNEXT)) {
        if (button != control && (::GetWindowLongA(button, GWL_STYLE) & WS_GROUP)) break;
        if (!(::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            // Only a button whose check changes is set: checking an automatic radio button
            // walks its whole group, which is costly under Wine.
            const WPARAM check = index == value ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(::SendMessageA(button, BM_GETCHECK, 0, 0)) != check)
                ::SendMessageA(button, BM_SETCHECK, check, 0);
        }
        ++index;
    }
}
