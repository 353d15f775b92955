#include "tools/probe/TextFit.h"

namespace probe {

namespace {

std::string ClassNameOf(HWND window) {
    char name[64] = "";
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Problem(const char* what, int need, int have) {
    return std::string(what) + " " + std::to_string(need) + " > " + std::to_string(have);
}

// The box of a check box or radio button: the system's menu check mark, at the control's DPI.
int CheckBoxWidth(int dpi) {
    HDC screen = ::GetDC(nullptr);
    const int systemDpi = ::GetDeviceCaps(screen, LOGPIXELSX);
    ::ReleaseDC(nullptr, screen);
    return ::MulDiv(::GetSystemMetrics(SM_CXMENUCHECK), dpi, systemDpi > 0 ? systemDpi : 96);
}

}  // namespace

SIZE MeasureText(HFONT font, const std::string& text, UINT format, int wrapWidth) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT r = {0, 0, wrapWidth, 0};
    ::DrawTextA(dc, text.c_str(), -1, &r, format | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return {r.right - r.left, r.bottom - r.top};
}

std::string TextFitProblem(HWND control, const std::string& text, HFONT font, int dpi) {
    RECT client;
    ::GetClientRect(control, &client);
    const int width = client.right;
    const int height = client.bottom;
    const auto scaled = [dpi](int pixelsAt96) { return ::MulDiv(pixelsAt96, dpi, 96); };
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(control, GWL_STYLE));
    if (_stricmp(ClassNameOf(control).c_str(), "Button") == 0) {
        const DWORD type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            const SIZE need = MeasureText(font, text, DT_SINGLELINE, width);
            if (need.cx + scaled(8) > width) return Problem("width", need.cx + scaled(8), width);
            if (need.cy + scaled(4) > height) return Problem("height", need.cy + scaled(4), height);
        } else if (type == BS_GROUPBOX) {
            const SIZE need = MeasureText(font, text, DT_SINGLELINE, width);
            if (need.cx + scaled(16) > width) return Problem("width", need.cx + scaled(16), width);
        } else {
            const UINT lines = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
            const int room = width - CheckBoxWidth(dpi) - scaled(4);
            const SIZE need = MeasureText(font, text, lines, room);
            if (need.cx > room) return Problem("width", need.cx, room);
            if (need.cy > height) return Problem("height", need.cy, height);
        }
        return std::string();
    }
    const DWORD type = style & SS_TYPEMASK;
    UINT format = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
    format |= type == SS_LEFTNOWORDWRAP ? DT_EXPANDTABS : DT_WORDBREAK;
    const SIZE need = MeasureText(font, text, format, width);
    if (need.cx > width) return Problem("width", need.cx, width);
    if (need.cy > height) return Problem("height", need.cy, height);
    return std::string();
}

}  // namespace probe
