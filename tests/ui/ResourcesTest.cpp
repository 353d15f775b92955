// The program's resources as the code relies on them: every template creates as a dialog with
// the controls, classes, styles, places and texts the pages use, nothing is clipped, the string
// table holds every text byte for byte, and the menus, accelerators, icons, version
// information and manifest are there.
#include <windows.h>
// The common controls need the window types first.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tools/probe/TextFit.h"

namespace {

HINSTANCE Module() {
    return GetModuleHandleA(nullptr);
}

// The controls are common controls; the test may run before anything else registered them.
void RegisterCommonControls() {
    static bool done = false;
    if (done) return;
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    auto init = reinterpret_cast<InitFn>(
        reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
    ASSERT_NE(init, nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                 ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ASSERT_TRUE(init(&icc));
    done = true;
}

INT_PTR CALLBACK MinimalDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// One template created as a modeless dialog inside a hidden host window, destroyed with it.
class TemplateWindow {
  public:
    explicit TemplateWindow(int templateId) {
        RegisterCommonControls();
        m_host = CreateWindowExA(0, "STATIC", "resource test host", WS_POPUP, 0, 0, 800, 600,
                                 nullptr, nullptr, Module(), nullptr);
        m_dialog = CreateDialogParamA(Module(), MAKEINTRESOURCEA(templateId), m_host,
                                      MinimalDialogProc, 0);
    }
    ~TemplateWindow() {
        if (m_dialog) DestroyWindow(m_dialog);
        if (m_host) DestroyWindow(m_host);
    }
    TemplateWindow(const TemplateWindow&) = delete;
    TemplateWindow& operator=(const TemplateWindow&) = delete;

    HWND dialog() const { return m_dialog; }
    HWND control(int id) const { return GetDlgItem(m_dialog, id); }

    // A rectangle in dialog units, in pixels of this dialog's client area. Place and size are
    // converted separately, as the dialog manager does when it creates the controls.
    RECT Pixels(int x, int y, int width, int height) const {
        RECT r = {x, y, width, height};
        MapDialogRect(m_dialog, &r);
        return {r.left, r.top, r.left + r.right, r.top + r.bottom};
    }
    // Where a child window sits, in the dialog's client coordinates.
    RECT PlaceOf(HWND child) const {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(HWND_DESKTOP, m_dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND w = GetWindow(m_dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            children.push_back(w);
        return children;
    }

  private:
    HWND m_host = nullptr;
    HWND m_dialog = nullptr;
};

DWORD StyleOf(HWND w) {
    return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
}
DWORD ExStyleOf(HWND w) {
    return static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
}

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof(name));
    return name;
}

std::string TextOf(HWND w) {
    char text[1024] = {};
    GetWindowTextA(w, text, sizeof(text));
    return text;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

bool Contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// What a control's text needs, measured with the control's own font.
struct TextSize {
    int width;
    int height;
};
HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
}
TextSize MeasureText(HWND control, const std::string& text, UINT format, int wrapWidth) {
    const SIZE size = probe::MeasureText(FontOf(control), text, format, wrapWidth);
    return {size.cx, size.cy};
}

int LineHeight(HWND control) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, FontOf(control));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return metrics.tmHeight;
}

// Whether `text` shows whole in the control as the control would lay it out (the check the
// probe makes from outside, here with the control's own font).
void ExpectTextFits(HWND control, const std::string& text, const char* what) {
    HDC dc = GetDC(control);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(control, dc);
    EXPECT_EQ(probe::TextFitProblem(control, text, FontOf(control), dpi), "")
        << what << ": \"" << text << "\"";
}

// The style checks of one control.
struct ControlSpec {
    int id;
    const char* className;
    DWORD required;    // every one of these bits is set
    DWORD forbidden;   // none of these bits is set
    const char* text;  // the template's text, or null when it is set at run time
};

void ExpectControls(const TemplateWindow& window, const std::vector<ControlSpec>& specs,
                    const char* templateName) {
    for (const ControlSpec& spec : specs) {
        SCOPED_TRACE(std::string(templateName) + " control " + std::to_string(spec.id));
        HWND control = window.control(spec.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(_stricmp(ClassOf(control).c_str(), spec.className), 0) << ClassOf(control);
        const DWORD style = StyleOf(control);
        EXPECT_EQ(style & spec.required, spec.required) << std::hex << style;
        EXPECT_EQ(style & spec.forbidden, 0u) << std::hex << style;
        if (spec.text) {
            EXPECT_EQ(TextOf(control), spec.text);
        }
    }
}

// A list of the pages: report view, one row at a time, selection always shown.
void ExpectPageList(HWND list, bool bordered, bool unsortedHeader) {
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(_stricmp(ClassOf(list).c_str(), WC_LISTVIEWA), 0);
    const DWORD style = StyleOf(list);
    EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_TRUE(style & LVS_SINGLESEL);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & WS_VISIBLE);
    if (bordered) {
        EXPECT_TRUE((style & WS_BORDER) || (ExStyleOf(list) & WS_EX_CLIENTEDGE));
    }
    if (unsortedHeader) {
        EXPECT_TRUE(style & LVS_NOSORTHEADER);
    }
}

// The size in dialog units, the page style and the geometry every template must keep:
// everything inside the dialog, no visible control on top of another, every text whole.
void ExpectSoundLayout(const TemplateWindow& window, const char* templateName) {
    SCOPED_TRACE(templateName);
    RECT client;
    GetClientRect(window.dialog(), &client);
    std::vector<std::pair<HWND, RECT>> placed;
    for (HWND child : window.Children()) {
        const RECT place = window.PlaceOf(child);
        const std::string where = "control " + std::to_string(GetDlgCtrlID(child)) + " \"" +
                                  TextOf(child) + "\" at " + Describe(place);
        EXPECT_TRUE(Contains(client, place)) << where << " outside " << Describe(client);
        const DWORD style = StyleOf(child);
        if (!(style & WS_VISIBLE)) continue;
        const std::string text = TextOf(child);
        const bool isButton = _stricmp(ClassOf(child).c_str(), "Button") == 0;
        const bool isStatic = _stricmp(ClassOf(child).c_str(), "Static") == 0;
        const bool isTextStatic = isStatic && ((style & SS_TYPEMASK) <= SS_RIGHT ||
                                               (style & SS_TYPEMASK) == SS_LEFTNOWORDWRAP);
        if (!text.empty() && (isButton || isTextStatic)) ExpectTextFits(child, text, where.c_str());
        if (isButton && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
        for (const auto& other : placed) {
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &place, &other.second))
                << where << " overlaps control " << GetDlgCtrlID(other.first) << " at "
                << Describe(other.second);
        }
        placed.emplace_back(child, place);
    }
}

void ExpectPageTemplate(const TemplateWindow& window, int height) {
    ASSERT_NE(window.dialog(), nullptr);
    const DWORD style = StyleOf(window.dialog());
    EXPECT_TRUE(style & WS_CHILD);
    EXPECT_FALSE(style & WS_VISIBLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME), 0u);
    EXPECT_EQ(ExStyleOf(window.dialog()) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME), 0u);
    RECT client;
    GetClientRect(window.dialog(), &client);
    EXPECT_TRUE(SameRect(client, window.Pixels(0, 0, 350, height))) << Describe(client);
}

void ExpectPlace(const TemplateWindow& window, int id, int x, int y, int width, int height) {
    HWND control = window.control(id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_TRUE(SameRect(window.PlaceOf(control), window.Pixels(x, y, width, height)))
        << "control " << id << " at " << Describe(window.PlaceOf(control)) << ", expected "
        << Describe(window.Pixels(x, y, width, height));
}

HWND FindChildByText(const TemplateWindow& window, const char* text) {
    for (HWND child : window.Children())
        if (TextOf(child) == text) return child;
    return nullptr;
}

// The controls that a group box of the template frames.
void ExpectInGroup(const TemplateWindow& window, const char* caption, std::vector<HWND> controls) {
    HWND group = FindChildByText(window, caption);
    ASSERT_NE(group, nullptr) << caption;
    EXPECT_EQ(StyleOf(group) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX)) << caption;
    const RECT frame = window.PlaceOf(group);
    for (HWND control : controls) {
        ASSERT_NE(control, nullptr) << caption;
        EXPECT_TRUE(Contains(frame, window.PlaceOf(control)))
            << "control " << GetDlgCtrlID(control) << " \"" << TextOf(control)
            << "\" is not inside \"" << caption << "\"";
    }
}

std::vector<HWND> Controls(const TemplateWindow& window, std::vector<int> ids) {
    std::vector<HWND> controls;
    for (int id : ids) controls.push_back(window.control(id));
    return controls;
}

void ExpectModalFrame(const TemplateWindow& window, const char* caption, bool systemMenu) {
    ASSERT_NE(window.dialog(), nullptr) << caption;
    const DWORD style = StyleOf(window.dialog());
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_EQ((style & WS_SYSMENU) != 0, systemMenu) << caption;
    EXPECT_EQ(TextOf(window.dialog()), caption);
}

const DWORD kSliderStyle = TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP | WS_VISIBLE;

}  // namespace

TEST(Resources, StringTableHoldsEveryTextByteForByte) {
    struct Entry {
        UINT id;
        const char* name;
        const char* text;
    };
    static const Entry entries[] = {
#define VESK_STRING(name, id, text) {(id), #name, text},
#define VESK_KEPT_STRING(name, id, text) {(id), #name, text},
#define VESK_TEMPLATE_TEXT(name, text)
#include "res/strings.def"
#undef VESK_TEMPLATE_TEXT
#undef VESK_KEPT_STRING
#undef VESK_STRING
    };
    for (const Entry& entry : entries) {
        char loaded[4096];
        const int length = LoadStringA(Module(), entry.id, loaded, sizeof(loaded));
        ASSERT_EQ(length, static_cast<int>(std::strlen(entry.text)))
            << entry.name << " (" << entry.id << ")";
        EXPECT_EQ(std::memcmp(loaded, entry.text, length), 0) << entry.name;
    }
    // The micro sign is one byte of code page 1252 and the line breaks are single bytes.
    char text[64];
    ASSERT_EQ(LoadStringA(Module(), 61225, text, sizeof(text)), 2);
    EXPECT_EQ(static_cast<unsigned char>(text[0]), 0xB5);
    ASSERT_GT(LoadStringA(Module(), 61258, text, sizeof(text)), 0);
    EXPECT_NE(std::strchr(text, '\n'), nullptr);
    EXPECT_EQ(std::strchr(text, '\\'), nullptr);
}

TEST(Resources, AboutBoxHasIconTextAndOk) {
    TemplateWindow about(IDD_ABOUTBOX);
    ExpectModalFrame(about, "About Control Panel", true);
    RECT client;
    GetClientRect(about.dialog(), &client);
    EXPECT_TRUE(SameRect(client, about.Pixels(0, 0, 270, 121))) << Describe(client);
    ExpectControls(about,
                   {{IDC_ABOUT_TEXT, "Static", SS_NOPREFIX | WS_VISIBLE, 0, ""},
                    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_VISIBLE, 0, "OK"}},
                   "about");
    ExpectPlace(about, IDC_ABOUT_TEXT, 45, 21, 218, 79);
    ExpectPlace(about, IDOK, 122, 100, 50, 14);

    HWND icon = nullptr;
    for (HWND child : about.Children())
        if ((StyleOf(child) & SS_TYPEMASK) == SS_ICON) icon = child;
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0);
    const RECT iconPlace = about.PlaceOf(icon);
    const RECT expected = about.Pixels(11, 17, 0, 0);
    EXPECT_EQ(iconPlace.left, expected.left);
    EXPECT_EQ(iconPlace.top, expected.top);

    // The composed text with a driver version fits without scrolling or clipping.
    ExpectTextFits(about.control(IDC_ABOUT_TEXT),
                   "Norvale QVX 1394 Driver Control Panel: V 1.01\n\n"
                   " - Driver Interface Version 255.255\n\n - Driver Version 255.255.-2147483648"
                   "\n\nCopyright (C) 2026 Norvale. All rights reserved.",
                   "about text");
    ExpectSoundLayout(about, "about");
}

TEST(Resources, NavigationFormHasTreeAndSeparators) {
    TemplateWindow form(IDD_VESK_CPL_FORM);
    ASSERT_NE(form.dialog(), nullptr);
    EXPECT_TRUE(StyleOf(form.dialog()) & WS_CHILD);
    RECT client;
    GetClientRect(form.dialog(), &client);
    EXPECT_TRUE(SameRect(client, form.Pixels(0, 0, 450, 239))) << Describe(client);

    HWND tree = form.control(IDC_NAV_TREE);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(_stricmp(ClassOf(tree).c_str(), WC_TREEVIEWA), 0);
    const DWORD style = StyleOf(tree);
    EXPECT_EQ(style & (WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS),
              static_cast<DWORD>(WS_VISIBLE | WS_TABSTOP | TVS_SHOWSELALWAYS));
    EXPECT_EQ(style & (TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT), 0u);
    EXPECT_TRUE((style & WS_BORDER) || (ExStyleOf(tree) & WS_EX_CLIENTEDGE));
    ExpectPlace(form, IDC_NAV_TREE, 7, 7, 80, 225);

    int frames = 0;
    for (HWND child : form.Children()) {
        if (child == tree) continue;
        EXPECT_EQ(StyleOf(child) & SS_TYPEMASK, static_cast<DWORD>(SS_BLACKFRAME));
        EXPECT_TRUE(StyleOf(child) & SS_SUNKEN);
        const RECT place = form.PlaceOf(child);
        if (SameRect(place, form.Pixels(91, 7, 1, 225)) ||
            SameRect(place, form.Pixels(1, 0, 449, 1)))
            ++frames;
    }
    EXPECT_EQ(frames, 2);
    ExpectSoundLayout(form, "form");
}

TEST(Resources, DevicesPageAndNameDialog) {
    TemplateWindow page(IDD_PAGE_DEVICES);
    ExpectPageTemplate(page, 238);
    ExpectPageList(page.control(IDC_DEVICE_LIST), true, false);
    ExpectControls(page,
                   {{IDC_DEVICE_UP, "Button", WS_VISIBLE, 0, "Up"},
                    {IDC_DEVICE_DOWN, "Button", WS_VISIBLE, 0, "Down"},
                    {IDC_DEVICE_EDIT_NAME, "Button", WS_VISIBLE, 0, "Edit Device Name"},
                    {IDC_DEVICE_HINT, "Static", WS_VISIBLE, 0, ""},
                    {IDC_DEVICE_APPLY, "Button", WS_VISIBLE, 0, "Apply"}},
                   "devices");
    ExpectPlace(page, IDC_DEVICE_LIST, 7, 7, 306, 135);
    ExpectPlace(page, IDC_DEVICE_UP, 319, 54, 24, 14);
    ExpectPlace(page, IDC_DEVICE_DOWN, 319, 75, 24, 14);
    ExpectPlace(page, IDC_DEVICE_EDIT_NAME, 7, 148, 100, 14);
    ExpectPlace(page, IDC_DEVICE_HINT, 19, 182, 294, 21);
    ExpectPlace(page, IDC_DEVICE_APPLY, 283, 216, 60, 15);
    // The hint gets its two lines at run time.
    EXPECT_GE(page.PlaceOf(page.control(IDC_DEVICE_HINT)).bottom -
                  page.PlaceOf(page.control(IDC_DEVICE_HINT)).top,
              2 * LineHeight(page.control(IDC_DEVICE_HINT)));
    char hint[512];
    ASSERT_GT(LoadStringA(Module(), 61259, hint, sizeof(hint)), 0);
    ExpectTextFits(page.control(IDC_DEVICE_HINT), hint, "hint");
    ExpectSoundLayout(page, "devices");

    TemplateWindow edit(IDD_DEVICE_NAME_EDIT);
    ExpectModalFrame(edit, "Edit Device Name", false);
    RECT client;
    GetClientRect(edit.dialog(), &client);
    EXPECT_TRUE(SameRect(client, edit.Pixels(0, 0, 152, 61))) << Describe(client);
    ExpectControls(edit,
                   {{IDC_DEVICE_NAME_LABEL, "Static", WS_VISIBLE, 0, "Device name"},
                    {IDC_DEVICE_NAME_EDIT, "Edit", ES_AUTOHSCROLL | WS_TABSTOP,
                     ES_MULTILINE | ES_READONLY, ""},
                    {IDOK, "Button", BS_DEFPUSHBUTTON, 0, "OK"},
                    {IDCANCEL, "Button", WS_VISIBLE, BS_DEFPUSHBUTTON, "Cancel"}},
                   "device name");
    ExpectPlace(edit, IDC_DEVICE_NAME_LABEL, 7, 6, 138, 8);
    ExpectPlace(edit, IDC_DEVICE_NAME_EDIT, 7, 18, 138, 12);
    ExpectPlace(edit, IDOK, 7, 40, 50, 14);
    ExpectPlace(edit, IDCANCEL, 95, 40, 50, 14);
    EXPECT_TRUE((StyleOf(edit.control(IDC_DEVICE_NAME_EDIT)) & WS_BORDER) ||
                (ExStyleOf(edit.control(IDC_DEVICE_NAME_EDIT)) & WS_EX_CLIENTEDGE));
    ExpectSoundLayout(edit, "device name");
}

TEST(Resources, ChannelsPageAndNameDialog) {
    TemplateWindow page(IDD_PAGE_CHANNELS);
    ExpectPageTemplate(page, 238);
    ExpectPageList(page.control(IDC_CHANNEL_LIST), false, false);
    ExpectControls(
        page,
        {{IDC_CHANNEL_INCLUDE_DEVICE, "Button", BS_AUTOCHECKBOX | BS_MULTILINE | WS_VISIBLE, 0,
          "Include device name in\nASIO display name"},
         {IDC_CHANNEL_HW_NAME, "Edit", ES_READONLY | ES_AUTOHSCROLL | WS_VISIBLE, ES_MULTILINE, ""},
         {IDC_CHANNEL_HW_CAPTION, "Static", WS_VISIBLE, 0, "Hardware name of selected channel:"},
         {IDC_CHANNEL_EDIT_NAME, "Button", WS_VISIBLE, 0, "Edit Channel Name"}},
        "channels");
    EXPECT_EQ(StyleOf(page.control(IDC_CHANNEL_INCLUDE_DEVICE)) & BS_TYPEMASK,
              static_cast<DWORD>(BS_AUTOCHECKBOX));
    // The field shows one space and a hardware name of up to 39 characters.
    ExpectTextFits(page.control(IDC_CHANNEL_HW_CAPTION),
                   "Hardware name of selected channel:", "caption");
    HWND hardwareName = page.control(IDC_CHANNEL_HW_NAME);
    RECT field;
    GetClientRect(hardwareName, &field);
    EXPECT_LE(MeasureText(hardwareName, " Analog Input 12 (Line/Instrument Front)", DT_SINGLELINE,
                          field.right)
                  .width,
              field.right);
    ExpectSoundLayout(page, "channels");

    TemplateWindow edit(IDD_CHANNEL_NAME_EDIT);
    ExpectModalFrame(edit, "Edit Channel Name", false);
    ExpectControls(edit,
                   {{IDC_CHANNEL_NAME_LABEL, "Static", WS_VISIBLE, 0, "Channel name"},
                    {IDC_CHANNEL_NAME_EDIT, "Edit", ES_AUTOHSCROLL | WS_TABSTOP,
                     ES_MULTILINE | ES_READONLY, ""},
                    {IDOK, "Button", BS_DEFPUSHBUTTON, 0, "OK"},
                    {IDCANCEL, "Button", WS_VISIBLE, BS_DEFPUSHBUTTON, "Cancel"}},
                   "channel name");
    ExpectSoundLayout(edit, "channel name");
}

TEST(Resources, StreamsPageShowsListAndTwelveLinesOfDetail) {
    TemplateWindow page(IDD_PAGE_STREAMS);
    ExpectPageTemplate(page, 239);
    ExpectPageList(page.control(IDC_STREAM_LIST), true, false);
    HWND detail = page.control(IDC_STREAM_DETAIL);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(_stricmp(ClassOf(detail).c_str(), "Static"), 0);
    EXPECT_EQ(StyleOf(detail) & SS_TYPEMASK, static_cast<DWORD>(SS_LEFTNOWORDWRAP));
    EXPECT_TRUE(StyleOf(detail) & SS_SUNKEN);
    // Below the list, and room for four connected plugs of three lines each.
    EXPECT_GE(page.PlaceOf(detail).top, page.PlaceOf(page.control(IDC_STREAM_LIST)).bottom);
    std::string plug =
        "AudioOutPlug: successfully connected\n   Isochronous stream number: 63\n   "
        "Supported sampling rates (Hz): 32000  44100  [48000]  88200  96000  176400  192000  ";
    ExpectTextFits(detail, plug + "\n" + plug + "\n" + plug + "\n" + plug, "four plugs");
    ExpectTextFits(
        detail,
        "SynchOutPlug: connect failed (Error code 0xE0000022: Negative response for an FCP "
        "request.)",
        "failed plug");
    ExpectSoundLayout(page, "streams");
}

TEST(Resources, SynchronisationPageAndModeDialog) {
    TemplateWindow page(IDD_PAGE_SYNCHRONISATION);
    ExpectPageTemplate(page, 238);
    ExpectPageList(page.control(IDC_SYNC_LIST), false, true);
    ExpectControls(
        page,
        {{IDC_RATE_MANUAL, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_DISABLED | WS_VISIBLE, 0,
          "Sampling rate is set manually"},
         {IDC_RATE_AUTOMATIC, "Button", BS_AUTORADIOBUTTON, WS_VISIBLE | WS_GROUP,
          "Sampling rate is set automatically as defined by the clock master"},
         {IDC_SYNC_APPLY, "Button", WS_VISIBLE, 0, "Apply"},
         {IDC_SYNC_CHANGE_MODE, "Button", WS_VISIBLE, 0, "Change Synchronisation Mode"},
         {IDC_RATE_APPLY, "Button", WS_VISIBLE, 0, "Apply"},
         {IDC_SAMPLE_RATE_COMBO, "ComboBox", CBS_DROPDOWNLIST | WS_VISIBLE, CBS_SORT, nullptr}},
        "synchronisation");
    EXPECT_EQ(StyleOf(page.control(IDC_RATE_MANUAL)) & BS_TYPEMASK,
              static_cast<DWORD>(BS_AUTORADIOBUTTON));
    EXPECT_EQ(StyleOf(page.control(IDC_SAMPLE_RATE_COMBO)) & 3u,
              static_cast<DWORD>(CBS_DROPDOWNLIST));
    // The radio group is 1088 and 1089 alone: the group data exchange walks to the next
    // WS_GROUP, so the control after 1089 must start a new group.
    EXPECT_EQ(GetWindow(page.control(IDC_RATE_MANUAL), GW_HWNDNEXT),
              page.control(IDC_RATE_AUTOMATIC));
    HWND afterGroup = GetWindow(page.control(IDC_RATE_AUTOMATIC), GW_HWNDNEXT);
    ASSERT_NE(afterGroup, nullptr);
    EXPECT_TRUE(StyleOf(afterGroup) & WS_GROUP);

    ExpectInGroup(page, "Synchronisation Settings",
                  Controls(page, {IDC_SYNC_LIST, IDC_SYNC_CHANGE_MODE, IDC_SYNC_APPLY,
                                  IDC_RATE_MANUAL, IDC_RATE_AUTOMATIC}));
    ExpectInGroup(page, "Sampling Rate", Controls(page, {IDC_SAMPLE_RATE_COMBO, IDC_RATE_APPLY}));

    // The drop-down shows the eight rates a record holds and the "unavailable" entry at once,
    // and scrolls should a driver offer more.
    HWND combo = page.control(IDC_SAMPLE_RATE_COMBO);
    COMBOBOXINFO comboInfo = {};
    comboInfo.cbSize = sizeof(comboInfo);
    ASSERT_TRUE(GetComboBoxInfo(combo, &comboInfo));
    ASSERT_NE(comboInfo.hwndList, nullptr);
    for (int i = 0; i < 30; ++i) SendMessageA(combo, CB_ADDSTRING, 0, LPARAM("48.0 kHz"));
    EXPECT_TRUE(StyleOf(comboInfo.hwndList) & WS_VSCROLL);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    RECT dropped = {};
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    RECT field;
    GetWindowRect(combo, &field);
    const int itemHeight = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
    EXPECT_GE((dropped.bottom - dropped.top) - (field.bottom - field.top), 9 * itemHeight);
    RECT comboClient;
    GetClientRect(combo, &comboClient);
    EXPECT_LE(MeasureText(combo, "192.0 kHz (unavailable)", DT_SINGLELINE, 1000).width +
                  GetSystemMetrics(SM_CXVSCROLL) + 4,
              comboClient.right);
    ExpectSoundLayout(page, "synchronisation");

    TemplateWindow modes(IDD_DEVICE_SYNCH);
    ExpectModalFrame(modes, "Device Synchronisation Mode", true);
    ExpectPageList(modes.control(IDC_SYNC_LIST), false, true);
    ExpectControls(modes,
                   {{IDOK, "Button", BS_DEFPUSHBUTTON | WS_VISIBLE, 0, "OK"},
                    {IDCANCEL, "Button", WS_VISIBLE, 0, "Cancel"}},
                   "device synch");
    // The list's two columns (20 and 290 pixels) fit beside a vertical scroll bar.
    RECT list;
    GetClientRect(modes.control(IDC_SYNC_LIST), &list);
    EXPECT_GE(list.right, 20 + 290);
    ExpectSoundLayout(modes, "device synch");
}

TEST(Resources, AsioSettingsPageGroupsSlidersAndTexts) {
    TemplateWindow page(IDD_PAGE_ASIO_SETTINGS);
    ExpectPageTemplate(page, 238);
    ExpectControls(page,
                   {{IDC_STREAM_SLIDER, TRACKBAR_CLASSA, kSliderStyle, TBS_VERT, nullptr},
                    {IDC_ASIO_SLIDER, TRACKBAR_CLASSA, kSliderStyle, TBS_VERT, nullptr},
                    {IDC_WDM_SLIDER, TRACKBAR_CLASSA, kSliderStyle, TBS_VERT, nullptr},
                    {IDC_STREAM_LABEL, "Static", WS_VISIBLE, SS_NOTIFY, "Stream buffer depth:"},
                    {IDC_ASIO_LABEL, "Static", WS_VISIBLE | SS_NOTIFY, 0, "ASIO buffer depth:"},
                    {IDC_WDM_LABEL, "Static", WS_VISIBLE, SS_NOTIFY, "WDM sound buffer depth:"},
                    {IDC_STREAM_VALUE, "Static", WS_VISIBLE, SS_NOTIFY, ""},
                    {IDC_ASIO_VALUE, "Static", WS_VISIBLE | SS_NOTIFY, 0, ""},
                    {IDC_WDM_VALUE, "Static", WS_VISIBLE, SS_NOTIFY, ""},
                    {IDC_DROPOUTS, "Static", WS_VISIBLE, SS_NOTIFY, ""},
                    {IDC_STREAM_APPLY, "Button", WS_VISIBLE, 0, "Apply"},
                    {IDC_ASIO_APPLY, "Button", WS_VISIBLE, 0, "Apply"},
                    {IDC_WDM_APPLY, "Button", WS_VISIBLE, 0, "Apply"}},
                   "asio settings");
    ExpectInGroup(
        page, "Isochronous Streaming",
        Controls(page, {IDC_STREAM_LABEL, IDC_STREAM_SLIDER, IDC_STREAM_VALUE, IDC_STREAM_APPLY}));
    ExpectInGroup(page, "Audio Buffers",
                  Controls(page, {IDC_ASIO_LABEL, IDC_ASIO_SLIDER, IDC_ASIO_VALUE, IDC_ASIO_APPLY,
                                  IDC_WDM_LABEL, IDC_WDM_SLIDER, IDC_WDM_VALUE, IDC_WDM_APPLY}));
    ExpectInGroup(page, "ASIO Statistics",
                  {FindChildByText(page, "Drop outs detected:"), page.control(IDC_DROPOUTS)});

    // The widest values the page can show.
    ExpectTextFits(page.control(IDC_STREAM_VALUE), "10000 \xB5s", "stream value");
    ExpectTextFits(page.control(IDC_ASIO_VALUE), "40.0 ms\n7680 samples", "ASIO value");
    ExpectTextFits(page.control(IDC_WDM_VALUE), "40.0 ms\n7680 samples", "WDM value");
    ExpectTextFits(page.control(IDC_DROPOUTS), "4294967295", "drop-outs");
    ExpectSoundLayout(page, "asio settings");
}

TEST(Resources, MenusHoldTheirCommands) {
    struct Item {
        const char* text;
        UINT id;
    };
    auto expectItems = [](HMENU menu, std::vector<Item> items) {
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(items.size()));
        for (size_t i = 0; i < items.size(); ++i) {
            char text[64] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
            EXPECT_STREQ(text, items[i].text);
            EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(i)), items[i].id) << items[i].text;
        }
    };

    HMENU frame = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(GetMenuItemCount(frame), 2);
    char text[64] = {};
    GetMenuStringA(frame, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&File");
    GetMenuStringA(frame, 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Info");
    expectItems(GetSubMenu(frame, 0), {{"&Close", ID_FILE_HIDE}, {"&Quit", ID_APP_EXIT}});
    expectItems(GetSubMenu(frame, 1), {{"&About Control Panel...", ID_APP_ABOUT}});
    DestroyMenu(frame);

    HMENU tray = LoadMenuA(Module(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    ASSERT_NE(tray, nullptr);
    ASSERT_EQ(GetMenuItemCount(tray), 1);
    HMENU popup = GetSubMenu(tray, 0);
    expectItems(popup, {{"&Open", ID_TRAY_OPEN}, {"&Quit", ID_TRAY_QUIT}});
    EXPECT_EQ(GetMenuDefaultItem(popup, FALSE, 0), static_cast<UINT>(-1));
    DestroyMenu(tray);
}

TEST(Resources, AcceleratorsAreTheStandardEditingKeys) {
    HACCEL table = LoadAcceleratorsA(Module(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(table, nullptr);
    ACCEL keys[32];
    const int count = CopyAcceleratorTableA(table, keys, 32);
    struct Key {
        BYTE modifiers;
        WORD key;
        WORD command;
        bool operator==(const Key& o) const {
            return modifiers == o.modifiers && key == o.key && command == o.command;
        }
    };
    std::vector<Key> loaded;
    for (int i = 0; i < count; ++i) {
        EXPECT_TRUE(keys[i].fVirt & FVIRTKEY);
        loaded.push_back({static_cast<BYTE>(keys[i].fVirt & (FSHIFT | FCONTROL | FALT)),
                          keys[i].key, keys[i].cmd});
    }
    const std::vector<Key> expected = {
        {FCONTROL, 'N', ID_FILE_NEW},        {FCONTROL, 'O', ID_FILE_OPEN},
        {FCONTROL, 'S', ID_FILE_SAVE},       {FCONTROL, 'Z', ID_EDIT_UNDO},
        {FALT, VK_BACK, ID_EDIT_UNDO},       {FCONTROL, 'X', ID_EDIT_CUT},
        {FSHIFT, VK_DELETE, ID_EDIT_CUT},    {FCONTROL, 'C', ID_EDIT_COPY},
        {FCONTROL, VK_INSERT, ID_EDIT_COPY}, {FCONTROL, 'V', ID_EDIT_PASTE},
        {FSHIFT, VK_INSERT, ID_EDIT_PASTE},  {0, VK_F6, ID_NEXT_PANE},
        {FSHIFT, VK_F6, ID_PREV_PANE}};
    EXPECT_EQ(loaded.size(), expected.size());
    for (const Key& key : expected)
        EXPECT_NE(std::find(loaded.begin(), loaded.end(), key), loaded.end())
            << "key " << key.key << " modifiers " << int(key.modifiers) << " command "
            << key.command;
    DestroyAcceleratorTable(table);
}

namespace {

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

const void* ResourceBytes(LPCSTR name, LPCSTR type, DWORD* size) {
    HRSRC found = FindResourceA(Module(), name, type);
    if (!found) return nullptr;
    *size = SizeofResource(Module(), found);
    return LockResource(LoadResource(Module(), found));
}

}  // namespace

TEST(Resources, IconsCarrySmallAndLargeImagesWithAlpha) {
    const struct {
        int id;
        std::vector<int> sizes;
    } icons[] = {{IDI_APP, {16, 32, 48}},
                 {IDI_TREE_0, {16, 32}},
                 {IDI_TREE_DEVICES, {16, 32}},
                 {IDI_TREE_SETTINGS, {16, 32}},
                 {IDI_TREE_CHANNELS, {16, 32}},
                 {IDI_TREE_4, {16, 32}},
                 {IDI_TREE_SYNCHRONISATION, {16, 32}}};
    for (const auto& icon : icons) {
        SCOPED_TRACE("icon " + std::to_string(icon.id));
        DWORD size = 0;
        auto header = static_cast<const GroupIconHeader*>(
            ResourceBytes(MAKEINTRESOURCEA(icon.id), RT_GROUP_ICON, &size));
        ASSERT_NE(header, nullptr);
        ASSERT_GE(size, sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry));
        auto entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
        std::vector<int> sizes;
        for (int i = 0; i < header->count; ++i) {
            EXPECT_EQ(entries[i].bitCount, 32);
            sizes.push_back(entries[i].width);
            // The image itself: 32 bits, with transparent corners and soft edges.
            DWORD imageSize = 0;
            auto bitmap = static_cast<const BITMAPINFOHEADER*>(
                ResourceBytes(MAKEINTRESOURCEA(entries[i].id), RT_ICON, &imageSize));
            ASSERT_NE(bitmap, nullptr);
            ASSERT_EQ(bitmap->biBitCount, 32);
            const int pixels = entries[i].width * entries[i].width;
            ASSERT_GE(imageSize, bitmap->biSize + pixels * 4u);
            auto bgra = reinterpret_cast<const BYTE*>(bitmap) + bitmap->biSize;
            int clear = 0, partial = 0;
            for (int p = 0; p < pixels; ++p) {
                const BYTE alpha = bgra[p * 4 + 3];
                clear += alpha == 0;
                partial += alpha > 0 && alpha < 255;
            }
            EXPECT_GT(clear, 0);
            EXPECT_GT(partial, 0);
        }
        EXPECT_EQ(sizes, icon.sizes);

        for (int side : {16, 32}) {
            HICON loaded = static_cast<HICON>(
                LoadImageA(Module(), MAKEINTRESOURCEA(icon.id), IMAGE_ICON, side, side, 0));
            ASSERT_NE(loaded, nullptr) << side;
            ICONINFO info = {};
            ASSERT_TRUE(GetIconInfo(loaded, &info));
            BITMAP bits = {};
            GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bits), &bits);
            EXPECT_EQ(bits.bmWidth, side);
            if (info.hbmColor) DeleteObject(info.hbmColor);
            if (info.hbmMask) DeleteObject(info.hbmMask);
            DestroyIcon(loaded);
        }
    }
    // The application loads the icon at its own size, as the first instance does.
    HICON app = static_cast<HICON>(
        LoadImageA(Module(), MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    EXPECT_NE(app, nullptr);
    if (app) DestroyIcon(app);
}

TEST(Resources, VersionInformationNamesTheProgram) {
    HMODULE versionDll = LoadLibraryA("version.dll");
    ASSERT_NE(versionDll, nullptr);
    using SizeFn = DWORD(WINAPI*)(LPCSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
    auto getSize = reinterpret_cast<SizeFn>(
        reinterpret_cast<void*>(GetProcAddress(versionDll, "GetFileVersionInfoSizeA")));
    auto getInfo = reinterpret_cast<InfoFn>(
        reinterpret_cast<void*>(GetProcAddress(versionDll, "GetFileVersionInfoA")));
    auto query = reinterpret_cast<QueryFn>(
        reinterpret_cast<void*>(GetProcAddress(versionDll, "VerQueryValueA")));
    ASSERT_TRUE(getSize && getInfo && query);

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof(path));
    DWORD handle = 0;
    const DWORD size = getSize(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(getInfo(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(block.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);

    char title[256];
    ASSERT_GT(LoadStringA(Module(), 61234, title, sizeof(title)), 0);
    char copyright[256];
    ASSERT_GT(LoadStringA(Module(), 61270, copyright, sizeof(copyright)), 0);
    auto value = [&](const char* name) {
        char* text = nullptr;
        UINT textLength = 0;
        const std::string key = std::string("\\StringFileInfo\\040904e4\\") + name;
        if (!query(block.data(), key.c_str(), reinterpret_cast<LPVOID*>(&text), &textLength))
            return std::string("<missing>");
        return std::string(text);
    };
    EXPECT_EQ(value("ProductName"), title);
    EXPECT_EQ(value("FileDescription"), title);
    EXPECT_EQ(value("CompanyName"), "Norvale");
    EXPECT_EQ(value("FileVersion"), "1.01");
    EXPECT_EQ(value("LegalCopyright"), copyright);
}

TEST(Resources, ManifestSelectsCommonControlsSix) {
#if defined(_WIN64)
    const char* const ownArchitecture = "processorArchitecture=\"amd64\"";
#else
    const char* const ownArchitecture = "processorArchitecture=\"x86\"";
#endif
    DWORD size = 0;
    auto bytes = static_cast<const char*>(ResourceBytes(MAKEINTRESOURCEA(1), RT_MANIFEST, &size));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, size);
    for (const char* needle :
         {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"", ownArchitecture,
          "publicKeyToken=\"6595b64144ccf1df\"", "level=\"asInvoker\""})
        EXPECT_NE(manifest.find(needle), std::string::npos) << needle;

    // Honoured: the buttons of a template are version 6 buttons, which know their ideal size.
    TemplateWindow about(IDD_ABOUTBOX);
    SIZE ideal = {};
    EXPECT_TRUE(
        SendMessageA(about.control(IDOK), BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)));
    EXPECT_GT(ideal.cx, 0);
}

namespace {

// The letter after a single '&' of a control's text, or 0 ("&&" is a plain '&').
char MnemonicOf(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

// Whether the user works the control: buttons of every kind, lists, trees, sliders, combo
// boxes and edit fields (read-only ones too: their text can be selected and copied).
bool IsInteractive(HWND control) {
    const std::string cls = ClassOf(control);
    if (cls == "Button") return (StyleOf(control) & BS_TYPEMASK) != BS_GROUPBOX;
    return cls == WC_LISTVIEWA || cls == WC_TREEVIEWA || cls == TRACKBAR_CLASSA ||
           cls == "ComboBox" || cls == "Edit";
}

}  // namespace

// Every dialog can be worked from the keyboard alone: no two of its controls share a mnemonic,
// and Tab reaches every enabled control the user works (radio buttons through a group's first).
TEST(Resources, EveryDialogIsWorkedFromTheKeyboardAlone) {
    for (int id : {IDD_ABOUTBOX, IDD_VESK_CPL_FORM, IDD_PAGE_ASIO_SETTINGS, IDD_PAGE_DEVICES,
                   IDD_PAGE_CHANNELS, IDD_DEVICE_NAME_EDIT, IDD_CHANNEL_NAME_EDIT, IDD_PAGE_STREAMS,
                   IDD_PAGE_SYNCHRONISATION, IDD_DEVICE_SYNCH}) {
        SCOPED_TRACE(id);
        TemplateWindow window(id);
        ASSERT_NE(window.dialog(), nullptr);
        std::vector<char> mnemonics;
        for (HWND child : window.Children()) {
            char text[256] = "";
            GetWindowTextA(child, text, sizeof text);
            if (const char letter = MnemonicOf(text)) mnemonics.push_back(letter);
        }
        std::sort(mnemonics.begin(), mnemonics.end());
        EXPECT_EQ(std::adjacent_find(mnemonics.begin(), mnemonics.end()), mnemonics.end())
            << "a mnemonic is used twice";

        std::vector<HWND> reached;
        HWND first = GetNextDlgTabItem(window.dialog(), nullptr, FALSE);
        for (HWND at = first; at != nullptr;) {
            reached.push_back(at);
            at = GetNextDlgTabItem(window.dialog(), at, FALSE);
            if (at == first || reached.size() > 64) break;
        }
        for (HWND child : window.Children()) {
            // What the template hides or disables is not the user's to work.
            if (!IsInteractive(child) || (StyleOf(child) & WS_DISABLED) ||
                !(StyleOf(child) & WS_VISIBLE))
                continue;
            const DWORD kind = StyleOf(child) & BS_TYPEMASK;
            const bool radio = ClassOf(child) == "Button" &&
                               (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON);
            // Only the first button of a radio group is a tab stop; the arrows move inside it.
            if (radio && !(StyleOf(child) & WS_GROUP)) continue;
            EXPECT_NE(std::find(reached.begin(), reached.end(), child), reached.end())
                << "Tab never reaches control " << GetDlgCtrlID(child) << " (" << ClassOf(child)
                << ")";
        }
    }
}
