#include "framework/AccessibleText.h"

#include <oleacc.h>

#include <vector>

#include "os/win32/SystemLibrary.h"

// A wide text without its terminating zero; empty for none. (A vector, not std::wstring: the
// library's wide strings would add 35 KB to the x86 program.)
using WideText = std::vector<wchar_t>;

// What the control's client object says instead of the standard object's texts. Shared with
// every wrapper handed out, so that a screen reader holding one after the control is gone
// reads the standard object's answers, never freed memory.
struct CAccessibleText::Texts {
    HWND control = nullptr;  // null once the control or its texts are gone
    WideText name;
    WideText value;
    WideText description;
    // For a slider: its position when the value was last set (kNoPosition before that, and
    // for any other control).
    LRESULT valuePosition = kNoPosition;
    static constexpr LRESULT kNoPosition = -0x7FFFFFFF;
};

namespace {

// Client objects live on the user-interface thread alone (COM calls them there).
long g_objectsAlive = 0;

WideText Wide(const CString& text) {
    const char* ansi = text.GetString();
    const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (length <= 1) return {};
    WideText wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

// The position of a slider (kNoPosition for any other control).
LRESULT SliderPosition(HWND control) {
    char className[32];
    if (control == nullptr || ::GetClassNameA(control, className, sizeof className) == 0 ||
        ::lstrcmpiA(className, TRACKBAR_CLASSA) != 0)
        return CAccessibleText::Texts::kNoPosition;
    return ::SendMessageA(control, TBM_GETPOS, 0, 0);
}

bool IsSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// COM and the accessibility library on the user-interface thread, from its first
// accessibility request until the program ends: none of them is loaded at start-up, so a start
// costs what it did. (Wine initialises COM on a dialog's thread by itself; Windows does not.)
struct AccessibilityLibraries {
    HMODULE ole32 = nullptr;
    HMODULE oleaut32 = nullptr;
    HMODULE oleacc = nullptr;
    HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD) = nullptr;
    void(WINAPI* coUninitialize)() = nullptr;
    BSTR(WINAPI* sysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
    HRESULT(WINAPI* createStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* lresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
    bool tried = false;
    bool comInitialized = false;

    ~AccessibilityLibraries() {
        if (comInitialized) coUninitialize();
        for (HMODULE module : {oleacc, oleaut32, ole32})
            if (module != nullptr) ::FreeLibrary(module);
    }

    template <class Function>
    static bool Find(HMODULE module, const char* name, Function& function) {
        function = module ? reinterpret_cast<Function>(
                                reinterpret_cast<void*>(::GetProcAddress(module, name)))
                          : nullptr;
        return function != nullptr;
    }

    // True when everything a request needs is there.
    bool Ensure() {
        if (!tried) {
            tried = true;
            ole32 = os::LoadSystemLibrary("ole32.dll");
            oleaut32 = os::LoadSystemLibrary("oleaut32.dll");
            oleacc = os::LoadSystemLibrary("oleacc.dll");
            const bool found =
                Find(ole32, "CoInitializeEx", coInitializeEx) &&
                Find(ole32, "CoUninitialize", coUninitialize) &&
                Find(oleaut32, "SysAllocStringLen", sysAllocStringLen) &&
                Find(oleacc, "CreateStdAccessibleObject", createStdAccessibleObject) &&
                Find(oleacc, "LresultFromObject", lresultFromObject);
            // S_FALSE (already initialised) counts too: every success is balanced at exit.
            if (found)
                comInitialized = SUCCEEDED(coInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        }
        return comInitialized;
    }
};
thread_local AccessibilityLibraries t_libraries;

// The client object of one control: the standard object, with the name, value and
// description of the control's texts where they are set. Every interface it hands out is its
// own, so that a client that asks one of them for IAccessible again gets the wrapper, not the
// standard object and its texts. COM objects end through Release, never through a pointer to
// their interface, so the interfaces need no virtual destructor.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AccessibleWrapper final : public IAccessible, public IOleWindow {
  public:
    AccessibleWrapper(IAccessible* standard, std::shared_ptr<CAccessibleText::Texts> texts)
        : m_standard(standard), m_texts(std::move(texts)) {
        ++g_objectsAlive;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        if (iid == __uuidof(IOleWindow)) {
            *object = static_cast<IOleWindow*>(this);
            AddRef();
            return S_OK;
        }
        // No IEnumVARIANT: the standard object's would answer for IAccessible with itself.
        // Clients then read the children by index (get_accChildCount, get_accChild), which
        // the standard object answers. Marshalling is not asked for either: the wrapper is
        // marshalled as itself.
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG references = --m_references;
        if (references == 0) delete this;
        return static_cast<ULONG>(references);
    }

    // IDispatch: the standard object's type information and late binding.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return m_standard->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    // Late binding of the members the wrapper answers itself is not offered (the standard
    // object's would give the standard texts); everything else is the standard object's.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (id == DISPID_ACC_NAME || id == DISPID_ACC_VALUE || id == DISPID_ACC_DESCRIPTION)
            return E_NOTIMPL;
        return m_standard->Invoke(id, iid, locale, flags, parameters, result, exception,
                                  argumentError);
    }

    // IOleWindow: the control's window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) return E_POINTER;
        *window = m_texts->control;
        return *window != nullptr ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IAccessible: the three texts, and everything else from the standard object.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (Own(child, m_texts->name, name)) return S_OK;
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        if (Own(child, m_texts->value, value)) return S_OK;
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        if (Own(child, m_texts->description, description)) return S_OK;
        return m_standard->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return m_standard->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return m_standard->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return m_standard->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return m_standard->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return m_standard->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return m_standard->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

  private:
    ~AccessibleWrapper() {
        m_standard->Release();
        --g_objectsAlive;
    }

    // The control's own text for the object itself (child ids are the standard object's),
    // while the control exists and the text is set.
    bool Own(const VARIANT& child, const WideText& text, BSTR* out) const {
        if (out == nullptr || !IsSelf(child) || m_texts->control == nullptr || text.empty())
            return false;
        *out = t_libraries.sysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out != nullptr;
    }

    LONG m_references = 1;
    IAccessible* m_standard;
    std::shared_ptr<CAccessibleText::Texts> m_texts;
};
#pragma GCC diagnostic pop

}  // namespace

CAccessibleText::CAccessibleText() : m_texts(std::make_shared<Texts>()) {}

long CAccessibleText::ObjectsAlive() {
    return g_objectsAlive;
}

CAccessibleText::~CAccessibleText() {
    if (m_window != nullptr) m_window->m_accessibleText = nullptr;
    ControlGone();
}

void CAccessibleText::Attach(CWnd& control) {
    if (control.m_hWnd == nullptr || m_window == &control) return;
    if (m_window != nullptr) m_window->m_accessibleText = nullptr;
    // Texts attached to the control before give way: they no longer answer for it.
    if (control.m_accessibleText != nullptr) control.m_accessibleText->ControlGone();
    m_window = &control;
    control.m_accessibleText = this;
    m_texts->control = control.m_hWnd;
}

void CAccessibleText::ControlGone() {
    m_window = nullptr;
    m_texts->control = nullptr;
}

LRESULT CAccessibleText::Answer(HWND control, WPARAM wParam, LPARAM lParam) {
    // On x64 OBJID_CLIENT arrives zero-extended: only the low 32 bits name the object.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !t_libraries.Ensure())
        return 0;
    IAccessible* standard = nullptr;
    if (FAILED(t_libraries.createStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&standard))))
        return 0;
    auto* wrapper = new AccessibleWrapper(standard, m_texts);
    const LRESULT result = t_libraries.lresultFromObject(__uuidof(IAccessible), wParam,
                                                         static_cast<IAccessible*>(wrapper));
    wrapper->Release();
    // A result that could not be marshalled leaves the request to the standard route.
    return result > 0 ? result : 0;
}

void CAccessibleText::SetName(const CString& name) {
    m_texts->name = Wide(name);
}

void CAccessibleText::SetDescription(const CString& description) {
    m_texts->description = Wide(description);
}

void CAccessibleText::SetValue(const CString& value) {
    // Windows' slider announces every new position itself (EVENT_OBJECT_VALUECHANGE), and a
    // screen reader then reads the value here: a second event would be heard twice. The value
    // is announced here only when its text changes while the slider stays where it was (a new
    // rate gives the same depth other samples), and for any other control.
    const LRESULT position = SliderPosition(m_texts->control);
    const bool sliderMoved = position != m_texts->valuePosition;
    m_texts->valuePosition = position;
    WideText wide = Wide(value);
    if (wide == m_texts->value) return;
    m_texts->value = std::move(wide);
    const bool controlAnnounces = position != Texts::kNoPosition && sliderMoved;
    if (m_texts->control != nullptr && !controlAnnounces)
        ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_texts->control, OBJID_CLIENT, CHILDID_SELF);
}

void NameControl(CAccessibleText& text, CWnd& control, uint32_t nameId) {
    text.Attach(control);
    text.SetName(LoadStringText(nameId));
}

void DescribeDisabled(CAccessibleText& text, bool enabled, uint32_t reasonId) {
    text.SetDescription(enabled ? CString() : LoadStringText(reasonId));
}

void NotifyAccessibleNameChange(HWND control, LONG childId) {
    if (control != nullptr)
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, childId);
}
