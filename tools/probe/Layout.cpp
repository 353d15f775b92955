#include "tools/probe/Layout.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "tools/probe/RemoteMemory.h"
#include "tools/probe/TextFit.h"
#include "tools/probe/WindowQuery.h"

namespace probe {

namespace {

template <typename Function>
Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("user32.dll"), name)));
}

int DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (auto get = User32<GetDpiForWindowFn>("GetDpiForWindow"))
        return static_cast<int>(get(window));
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}

// The font every template names (8-point MS Shell Dlg), as the dialog manager makes it at
// `dpi`. A font handle of the panel's is of no use in this process, so it is made again.
class DialogFonts {
  public:
    ~DialogFonts() {
        for (auto& entry : m_fonts) ::DeleteObject(entry.second);
    }
    HFONT At(int dpi) {
        HFONT& font = m_fonts[dpi];
        if (font == nullptr) {
            LOGFONTA spec{};
            spec.lfHeight = -::MulDiv(8, dpi, 72);
            spec.lfWeight = FW_NORMAL;
            spec.lfCharSet = DEFAULT_CHARSET;
            lstrcpynA(spec.lfFaceName, "MS Shell Dlg", LF_FACESIZE);
            font = ::CreateFontIndirectA(&spec);
        }
        return font;
    }

  private:
    std::map<int, HFONT> m_fonts;
};

BOOL CALLBACK Collect(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

DWORD StyleOf(HWND window) {
    return static_cast<DWORD>(::GetWindowLongA(window, GWL_STYLE));
}

bool IsClass(HWND window, const char* name) {
    return _stricmp(ClassOf(window).c_str(), name) == 0;
}

bool IsGroupBox(HWND window) {
    return IsClass(window, "Button") && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX;
}

bool IsTextStatic(HWND window) {
    const DWORD type = StyleOf(window) & SS_TYPEMASK;
    return IsClass(window, "Static") && (type <= SS_RIGHT || type == SS_LEFTNOWORDWRAP);
}

RECT ScreenRect(HWND window) {
    RECT r;
    ::GetWindowRect(window, &r);
    return r;
}

std::string Name(HWND window) {
    return ClassOf(window) + " " + std::to_string(::GetDlgCtrlID(window)) + " \"" + TextOf(window) +
           "\"";
}

void CheckListHeader(HWND list, HFONT font, int dpi, std::vector<std::string>* problems) {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    if (header == nullptr) return;
    const int count = static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    constexpr size_t kText = 256;
    RemoteMemory memory(list, sizeof(HDITEMA) + kText);
    if (!memory.Valid()) return;
    RECT client;
    ::GetClientRect(list, &client);
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
    if (total > client.right)
        problems->push_back(Name(list) + ": columns " + std::to_string(total) +
                            " wide in a list of " + std::to_string(client.right));
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = static_cast<char*>(memory.At(sizeof item));
        item.cchTextMax = kText;
        const char empty = '\0';
        if (!memory.Write(0, &item, sizeof item) || !memory.Write(sizeof item, &empty, 1)) return;
        ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(i), memory.Param());
        const std::string text = memory.ReadText(sizeof item);
        const int width = static_cast<int>(::SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0));
        const int need = MeasureText(font, text, DT_SINGLELINE, width).cx + ::MulDiv(12, dpi, 96);
        if (!text.empty() && need > width)
            problems->push_back(Name(list) + ": column \"" + text + "\" needs " +
                                std::to_string(need) + " > " + std::to_string(width));
    }
}

void CheckTreeItems(HWND tree, std::vector<std::string>* problems) {
    RECT client;
    ::GetClientRect(tree, &client);
    RemoteMemory memory(tree, sizeof(RECT));
    if (!memory.Valid()) return;
    for (const TreeItem& item : TreeItems(tree)) {
        RECT r{};
        std::memcpy(&r, &item.item, sizeof item.item);
        if (!memory.Write(0, &r, sizeof r)) return;
        if (!::SendMessageA(tree, TVM_GETITEMRECT, TRUE, memory.Param())) continue;
        memory.Read(0, &r, sizeof r);
        if (r.right > client.right)
            problems->push_back(Name(tree) + ": item \"" + item.text + "\" ends at " +
                                std::to_string(r.right) + " > " + std::to_string(client.right));
    }
}

void CheckComboItems(HWND combo, HFONT font, int dpi, std::vector<std::string>* problems) {
    RECT client;
    ::GetClientRect(combo, &client);
    const int room = client.right - ::MulDiv(::GetSystemMetrics(SM_CXVSCROLL) + 6, dpi, 96);
    for (const std::string& text : ComboItems(combo)) {
        const int need = MeasureText(font, text, DT_SINGLELINE, room).cx;
        if (need > room)
            problems->push_back(Name(combo) + ": item \"" + text + "\" needs " +
                                std::to_string(need) + " > " + std::to_string(room));
    }
}

// The status bar's font: the system's, as the bar takes it (its own handle is of no use here).
HFONT StatusFont() {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return nullptr;
    return ::CreateFontIndirectA(&metrics.lfStatusFont);
}

bool HasDoubleByteText(const std::string& text) {
    for (unsigned char c : text)
        if (::IsDBCSLeadByte(c)) return true;
    return false;
}

void CheckStatusPanes(HWND bar, int dpi, std::vector<std::string>* problems) {
    RECT client;
    ::GetClientRect(bar, &client);
    const std::vector<std::string> texts = StatusPaneTexts(bar);
    RemoteMemory memory(bar, sizeof(RECT));
    HFONT font = StatusFont();
    if (!memory.Valid() || font == nullptr) return;
    for (size_t i = 0; i < texts.size(); ++i) {
        RECT part{};
        if (!::SendMessageA(bar, SB_GETRECT, i, memory.Param()) ||
            !memory.Read(0, &part, sizeof part))
            continue;
        const int need = MeasureText(font, texts[i], DT_SINGLELINE | DT_NOPREFIX, 10000).cx +
                         ::MulDiv(6, dpi, 96);
        const int have = std::min(part.right, client.right) - part.left;
        if (part.left >= client.right)
            problems->push_back(Name(bar) + ": pane " + std::to_string(i) + " is off the bar");
        // Under Wine a double-byte text measures here through another fallback font than the
        // one the bar draws it in (far wider): the bar fits those itself, measured with its own
        // font, and the screenshots show them.
        if (::GetACP() != 1252 && HasDoubleByteText(texts[i])) continue;
        if (!texts[i].empty() && need > have)
            problems->push_back(Name(bar) + ": pane " + std::to_string(i) + " \"" + texts[i] +
                                "\" needs " + std::to_string(need) + " > " + std::to_string(have));
    }
    ::DeleteObject(font);
}

}  // namespace

void BecomeDpiAware() {
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    if (auto set = User32<SetContextFn>("SetProcessDpiAwarenessContext")) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
        if (set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)))) return;
    }
    ::SetProcessDPIAware();
}

std::vector<std::string> LayoutProblems(HWND top) {
    std::vector<std::string> problems;
    std::vector<HWND> all;
    ::EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&all));
    DialogFonts fonts;
    std::vector<HWND> placed;
    for (HWND control : all) {
        if (!::IsWindowVisible(control) || IsClass(control, "#32770")) continue;
        HWND parent = ::GetParent(control);
        // The controls of the pages and dialogs; the frame's own bars lay themselves out.
        if (parent != top && !IsClass(parent, "#32770")) continue;
        const int dpi = DpiOf(control);
        HFONT font = fonts.At(dpi);
        const std::string text = TextOf(control);
        if (!text.empty() && (IsClass(control, "Button") || IsTextStatic(control))) {
            const std::string problem = TextFitProblem(control, text, font, dpi);
            if (!problem.empty()) problems.push_back(Name(control) + ": " + problem);
        }
        if (IsClass(control, WC_LISTVIEWA)) CheckListHeader(control, font, dpi, &problems);
        if (IsClass(control, WC_TREEVIEWA)) CheckTreeItems(control, &problems);
        if (IsClass(control, WC_COMBOBOXA)) CheckComboItems(control, font, dpi, &problems);
        if (IsClass(control, STATUSCLASSNAMEA)) CheckStatusPanes(control, dpi, &problems);
        if (IsGroupBox(control)) continue;
        const RECT place = ScreenRect(control);
        RECT parentClient;
        ::GetClientRect(parent, &parentClient);
        ::MapWindowPoints(parent, HWND_DESKTOP, reinterpret_cast<POINT*>(&parentClient), 2);
        RECT inside;
        // A frame line carries nothing to read: a pixel of it past the edge, where dialog-unit
        // rounding puts it at some DPIs, is clipped away unseen.
        const DWORD type = StyleOf(control) & SS_TYPEMASK;
        const bool frameLine =
            IsClass(control, "Static") && type >= SS_BLACKRECT && type <= SS_WHITEFRAME;
        if (!frameLine &&
            (!::IntersectRect(&inside, &place, &parentClient) || !::EqualRect(&inside, &place)))
            problems.push_back(Name(control) + ": outside its page");
        for (HWND other : placed) {
            RECT overlap;
            const RECT otherPlace = ScreenRect(other);
            if (::GetParent(other) == parent && ::IntersectRect(&overlap, &place, &otherPlace))
                problems.push_back(Name(control) + " overlaps " + Name(other));
        }
        placed.push_back(control);
    }
    return problems;
}

}  // namespace probe
