#include "tools/probe/Accessibility.h"

#include <oleacc.h>

namespace probe {

namespace {

std::string Narrow(BSTR text) {
    if (text == nullptr) return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(length - 1));
    return narrow;
}

struct Com {
    Com() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Com() { ::CoUninitialize(); }
};

HWND g_eventControl = nullptr;
DWORD g_event = 0;
int g_eventCount = 0;

void CALLBACK CountEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                         DWORD) {
    if (event == g_event && window == g_eventControl && object == OBJID_CLIENT &&
        child == CHILDID_SELF)
        ++g_eventCount;
}

void PumpMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
}

BOOL CALLBACK AddIfFocusable(HWND child, LPARAM found) {
    // A control inside a hidden page is not reachable, whatever its own style says.
    for (HWND w = child; w != nullptr; w = ::GetParent(w))
        if (!(::GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE)) return TRUE;
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if ((style & WS_TABSTOP) && !(style & WS_DISABLED))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

}  // namespace

int EventsSoFar() {
    PumpMessages();
    return g_eventCount;
}

AccessibleTexts ReadAccessible(HWND control) {
    const Com com;
    AccessibleTexts texts;
    IAccessible* object = nullptr;
    if (FAILED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                            __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object))) ||
        object == nullptr)
        return texts;
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    BSTR value = nullptr;
    texts.read = SUCCEEDED(object->get_accName(self, &name));
    if (FAILED(object->get_accValue(self, &value))) value = nullptr;
    texts.name = Narrow(name);
    texts.value = Narrow(value);
    ::SysFreeString(name);
    ::SysFreeString(value);
    object->Release();
    return texts;
}

std::vector<HWND> FocusableControls(HWND top) {
    std::vector<HWND> found;
    ::EnumChildWindows(top, AddIfFocusable, reinterpret_cast<LPARAM>(&found));
    return found;
}

int CountEventsDuringImpl(HWND control, DWORD event, bool (*action)(void*), void* context) {
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(control, &process);
    (void)thread;
    g_eventControl = control;
    g_event = event;
    g_eventCount = 0;
    // The process filter alone: Wine tests WINEVENT_SKIPOWNPROCESS against it.
    HWINEVENTHOOK hook =
        ::SetWinEventHook(event, event, nullptr, CountEvent, process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) return -1;
    const bool acted = action(context);
    // Once the control's thread answers, every event it raised before is on its way here.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(control, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
    PumpMessages();
    ::UnhookWinEvent(hook);
    return acted ? g_eventCount : -1;
}

}  // namespace probe

namespace probe {

bool SliderAnnouncesItself() {
    static const bool announces = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        ::InitCommonControlsEx(&controls);
        HWND slider = ::CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_POPUP, 0, 0, 100, 30, nullptr,
                                        nullptr, ::GetModuleHandleA(nullptr), nullptr);
        if (slider == nullptr) return false;
        ::SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
        const int events = CountEventsDuring(slider, EVENT_OBJECT_VALUECHANGE, [&] {
            ::SendMessageA(slider, TBM_SETPOS, TRUE, 5);
            return true;
        });
        ::DestroyWindow(slider);
        return events > 0;
    }();
    return announces;
}

}  // namespace probe
