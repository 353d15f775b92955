// The control wrappers, data exchange and the window-message entries the pages rely on, on the
// program's own templates.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>

#include "PanelHarness.h"
#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "res/StringIds.h"

namespace uitest {
namespace {

void InitControls() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
}

// A modeless dialog over one of the page templates, a child of a top-level test window.
class ExchangePage : public CDialog {
  public:
    explicit ExchangePage(UINT templateId) : m_id(templateId) {}
    BOOL Open() {
        if (!m_host.CreateEx(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 800, 500, nullptr,
                             nullptr))
            return FALSE;
        return Create(m_id, &m_host);
    }

    int m_radio = 0;
    int m_check = BST_UNCHECKED;
    CComboBox m_combo;
    CSliderCtrl m_slider;
    CButton m_checkBox;
    std::vector<std::string> m_events;
    CWnd* m_scrolledBar = nullptr;

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        if (m_id == IDD_PAGE_SYNCHRONISATION) {
            DDX_Control(dx, IDC_SAMPLE_RATE_COMBO, m_combo);
            DDX_Radio(dx, IDC_RATE_MANUAL, m_radio);
        }
        if (m_id == IDD_PAGE_CHANNELS) {
            DDX_Control(dx, IDC_CHANNEL_INCLUDE_DEVICE, m_checkBox);
            DDX_Check(dx, IDC_CHANNEL_INCLUDE_DEVICE, m_check);
        }
        if (m_id == IDD_PAGE_ASIO_SETTINGS) DDX_Control(dx, IDC_STREAM_SLIDER, m_slider);
    }
    void OnTimer(UINT_PTR id) {
        m_events.push_back("timer " + std::to_string(id));
        KillTimer(id);
    }
    void OnShowWindow(BOOL show, UINT) { m_events.push_back(show ? "shown" : "hidden"); }
    void OnHScroll(UINT code, UINT, CScrollBar* bar) {
        m_events.push_back("hscroll " + std::to_string(code));
        m_scrolledBar = bar;
        CDialog::OnHScroll(code, 0, bar);
    }
    void OnRateChanged() { m_events.push_back("rate changed"); }
    DECLARE_MESSAGE_MAP()

  private:
    UINT m_id;
    CWnd m_host;
};
// A list object with an entry of its own for one list message.
class WatchedList : public CListCtrl {
  public:
    int m_deleteAllSeen = 0;

  protected:
    LRESULT OnDeleteAll(WPARAM wParam, LPARAM lParam) {
        ++m_deleteAllSeen;
        return DefWindowProc(LVM_DELETEALLITEMS, wParam, lParam);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(WatchedList, CListCtrl)
ON_MESSAGE(LVM_DELETEALLITEMS, &WatchedList::OnDeleteAll)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(ExchangePage, CDialog)
ON_WM_TIMER()
ON_WM_SHOWWINDOW()
ON_WM_HSCROLL()
ON_CBN_SELCHANGE(IDC_SAMPLE_RATE_COMBO, &ExchangePage::OnRateChanged)
END_MESSAGE_MAP()

TEST(FrameworkControls, RadioGroupAndCheckBoxExchangeBothWays) {
    InitControls();
    ExchangePage sync(IDD_PAGE_SYNCHRONISATION);
    ASSERT_TRUE(sync.Open());
    HWND manual = ::GetDlgItem(sync.m_hWnd, IDC_RATE_MANUAL);
    HWND automatic = ::GetDlgItem(sync.m_hWnd, IDC_RATE_AUTOMATIC);
    EXPECT_EQ(::SendMessageA(manual, BM_GETCHECK, 0, 0), BST_CHECKED);  // index 0 at start
    sync.m_radio = 1;
    sync.UpdateData(FALSE);
    EXPECT_EQ(::SendMessageA(manual, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageA(automatic, BM_GETCHECK, 0, 0), BST_CHECKED);
    ::SendMessageA(automatic, BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageA(manual, BM_SETCHECK, BST_CHECKED, 0);
    sync.UpdateData(TRUE);
    EXPECT_EQ(sync.m_radio, 0);
    ::SendMessageA(manual, BM_SETCHECK, BST_UNCHECKED, 0);
    sync.UpdateData(TRUE);
    EXPECT_EQ(sync.m_radio, -1);  // none checked

    ExchangePage channels(IDD_PAGE_CHANNELS);
    ASSERT_TRUE(channels.Open());
    channels.m_check = BST_CHECKED;
    channels.UpdateData(FALSE);
    EXPECT_EQ(channels.m_checkBox.GetCheck(), BST_CHECKED);
    channels.m_checkBox.SetCheck(BST_UNCHECKED);
    channels.UpdateData(TRUE);
    EXPECT_EQ(channels.m_check, BST_UNCHECKED);
}

TEST(FrameworkControls, ComboBoxEntriesDataAndSelectionNotifyThePage) {
    InitControls();
    ExchangePage sync(IDD_PAGE_SYNCHRONISATION);
    ASSERT_TRUE(sync.Open());
    CComboBox& combo = sync.m_combo;
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    for (int rate : {44100, 48000, 96000}) {
        const int index = combo.AddString(std::to_string(rate).c_str());
        ASSERT_GE(index, 0);
        combo.SetItemData(index, static_cast<DWORD_PTR>(rate));
    }
    EXPECT_EQ(combo.GetCount(), 3);  // unsorted: the order of adding
    EXPECT_EQ(combo.GetLBText(1), "48000");
    EXPECT_EQ(combo.GetItemData(2), 96000u);
    EXPECT_EQ(combo.SetCurSel(1), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    // A selection by the user arrives as CBN_SELCHANGE through the page's map.
    ::SendMessageA(sync.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SAMPLE_RATE_COMBO, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo.m_hWnd));
    EXPECT_EQ(sync.m_events, (std::vector<std::string>{"rate changed"}));
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST(FrameworkControls, SliderRangePositionAndScrollReachThePageWithTheSlider) {
    InitControls();
    ExchangePage asio(IDD_PAGE_ASIO_SETTINGS);
    ASSERT_TRUE(asio.Open());
    CSliderCtrl& slider = asio.m_slider;
    slider.SetRangeMin(8, TRUE);
    slider.SetRangeMax(80, TRUE);
    slider.SetTicFreq(1);
    slider.SetPageSize(1);
    slider.SetLineSize(1);
    slider.SetPos(16);
    EXPECT_EQ(slider.GetRangeMin(), 8);
    EXPECT_EQ(slider.GetRangeMax(), 80);
    EXPECT_EQ(slider.GetPageSize(), 1);
    EXPECT_EQ(slider.GetLineSize(), 1);
    EXPECT_EQ(slider.GetPos(), 16);
    slider.SetPos(200);
    EXPECT_EQ(slider.GetPos(), 80);  // kept within the range
    // A key on the slider moves it and tells the page.
    ::SendMessageA(slider.m_hWnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(slider.GetPos(), 79);
    ASSERT_FALSE(asio.m_events.empty());
    EXPECT_EQ(asio.m_events.front().rfind("hscroll", 0), 0u);
    EXPECT_EQ(asio.m_scrolledBar, &slider);
}

TEST(FrameworkControls, TimerAndShowWindowArriveThroughTheMap) {
    InitControls();
    ExchangePage page(IDD_PAGE_STREAMS);
    ASSERT_TRUE(page.Open());
    page.ShowWindow(SW_SHOWNOACTIVATE);
    page.ShowWindow(SW_HIDE);
    EXPECT_EQ(page.m_events, (std::vector<std::string>{"shown", "hidden"}));
    page.m_events.clear();
    ASSERT_EQ(page.SetTimer(27, 10), 27u);
    EXPECT_TRUE(PumpUntil([&] { return !page.m_events.empty(); }));
    EXPECT_EQ(page.m_events, (std::vector<std::string>{"timer 27"}));
}

TEST(FrameworkControls, ToolTipTakesToolsForChildWindows) {
    InitControls();
    ExchangePage page(IDD_PAGE_ASIO_SETTINGS);
    ASSERT_TRUE(page.Open());
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&page, TTS_ALWAYSTIP));
    EXPECT_TRUE(tip.GetStyle() & TTS_ALWAYSTIP);
    // A tooltip is owned by the top-level window of its parent.
    EXPECT_NE(::GetWindow(tip.m_hWnd, GW_OWNER), nullptr);
    tip.SetMaxTipWidth(180);
    EXPECT_EQ(tip.SetMaxTipWidth(180), 180);
    EXPECT_TRUE(tip.AddTool(page.GetDlgItem(IDC_ASIO_VALUE), "a note"));
    EXPECT_EQ(tip.GetToolCount(), 1);
    EXPECT_FALSE(tip.AddTool(nullptr, "nothing"));
    tip.Activate(TRUE);
    MSG msg{page.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    tip.RelayEvent(&msg);
}

// A modal dialog with an edit bound to a text member, over the device-name template.
class NameDialog : public CDialog {
  public:
    NameDialog() : CDialog(IDD_DEVICE_NAME_EDIT) {}
    CString m_name = "before";
    int m_initCalls = 0;

  protected:
    BOOL OnInitDialog() override {
        ++m_initCalls;
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Text(dx, IDC_DEVICE_NAME_EDIT, m_name);
    }
};

TEST(FrameworkControls, ModalDialogReturnsItsEndAndOkCopiesTheControls) {
    InitControls();
    NameDialog dialog;
    std::string shown;
    ModalAnswerer typeAndOk([&](HWND window) {
        shown = ControlText(window, IDC_DEVICE_NAME_EDIT);
        ::SetDlgItemTextA(window, IDC_DEVICE_NAME_EDIT, "after");
        EXPECT_TRUE(ClickButton(window, IDOK));
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(typeAndOk.Answered());
    EXPECT_EQ(shown, "before");
    EXPECT_EQ(dialog.m_name, "after");
    EXPECT_EQ(dialog.m_hWnd, nullptr);

    NameDialog cancelled;
    ModalAnswerer typeAndCancel([&](HWND window) {
        ::SetDlgItemTextA(window, IDC_DEVICE_NAME_EDIT, "dropped");
        EXPECT_TRUE(ClickButton(window, IDCANCEL));
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_name, "before");
    EXPECT_EQ(cancelled.m_initCalls, 1);

    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(FrameworkControls, ControlObjectsGoBeforeTheirWindowsAndTemporaryObjectsAfterIdle) {
    InitControls();
    ExchangePage page(IDD_PAGE_CHANNELS);
    ASSERT_TRUE(page.Open());
    HWND checkBox = ::GetDlgItem(page.m_hWnd, IDC_CHANNEL_INCLUDE_DEVICE);
    EXPECT_EQ(CWnd::FromHandle(checkBox), &page.m_checkBox);
    CWnd* temporary = page.GetDlgItem(IDC_CHANNEL_HW_CAPTION);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(temporary->m_hWnd), nullptr);
    EXPECT_EQ(page.GetDlgItem(IDC_CHANNEL_HW_CAPTION), temporary);  // the same until idle
    {
        CButton early;
        ASSERT_TRUE(early.SubclassWindow(checkBox) == FALSE);  // already has an object
        HWND list = ::GetDlgItem(page.m_hWnd, IDC_CHANNEL_LIST);
        ASSERT_TRUE(early.SubclassWindow(list));
    }
    // The object is gone; its window works on with its own procedure.
    HWND list = ::GetDlgItem(page.m_hWnd, IDC_CHANNEL_LIST);
    EXPECT_EQ(CWnd::FromHandlePermanent(list), nullptr);
    EXPECT_EQ(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(list));
}

TEST(FrameworkControls, ControlsFoundByIdAreLookedUpAgainWhenReplacedOrMoved) {
    InitControls();
    ExchangePage page(IDD_PAGE_CHANNELS);
    ASSERT_TRUE(page.Open());
    HWND caption = page.GetDlgItemHandle(IDC_CHANNEL_HW_CAPTION);
    ASSERT_EQ(caption, ::GetDlgItem(page.m_hWnd, IDC_CHANNEL_HW_CAPTION));
    ::DestroyWindow(caption);
    EXPECT_EQ(page.GetDlgItemHandle(IDC_CHANNEL_HW_CAPTION), nullptr);
    HWND replacement = ::CreateWindowExA(
        0, "STATIC", "new", WS_CHILD, 0, 0, 10, 10, page.m_hWnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_CHANNEL_HW_CAPTION)), nullptr, nullptr);
    EXPECT_EQ(page.GetDlgItemHandle(IDC_CHANNEL_HW_CAPTION), replacement);
    // A control moved to another parent is no longer this page's.
    HWND field = page.GetDlgItemHandle(IDC_CHANNEL_HW_NAME);
    ASSERT_NE(field, nullptr);
    ::SetParent(field, ::GetParent(page.m_hWnd));
    EXPECT_EQ(page.GetDlgItemHandle(IDC_CHANNEL_HW_NAME), nullptr);
}

TEST(FrameworkControls, ListWrappersReachTheListAndTheObjectsOwnEntries) {
    InitControls();
    HWND window = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT, 0, 0, 300, 200,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        WatchedList list;
        ASSERT_TRUE(list.SubclassWindow(window));
        list.InsertColumn(0, "name");
        list.InsertColumn(1, "serial");
        // Rows go straight to the list's own procedure: they arrive all the same.
        ASSERT_EQ(list.InsertItem(0, "first", 7), 0);
        EXPECT_TRUE(list.SetItemText(0, 1, "SN-1"));
        EXPECT_EQ(list.GetItemText(0, 1), CString("SN-1"));
        EXPECT_EQ(list.GetItemData(0), 7u);
        // A message the object has an entry for still passes through it.
        EXPECT_TRUE(list.DeleteAllItems());
        EXPECT_EQ(list.m_deleteAllSeen, 1);
        EXPECT_EQ(list.GetItemCount(), 0);
    }
    ::DestroyWindow(window);
}

TEST(FrameworkControls, TextsAttachedLastAnswerForTheControlAfterEarlierTextsAreGone) {
    CWnd control;
    ASSERT_TRUE(control.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr));
    const auto name = [&] {
        IAccessible* object = nullptr;
        if (FAILED(::AccessibleObjectFromWindow(control.m_hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                __uuidof(IAccessible),
                                                reinterpret_cast<void**>(&object))))
            return std::wstring(L"(no object)");
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        std::wstring read = SUCCEEDED(object->get_accName(self, &text)) && text ? text : L"";
        ::SysFreeString(text);
        object->Release();
        return read;
    };
    CAccessibleText later;
    {
        CAccessibleText earlier;
        NameControl(earlier, control, vesk::IDS_ACC_DEVICES);
        NameControl(later, control, vesk::IDS_ACC_PAGES);
        EXPECT_EQ(name(), L"Pages");
    }
    // The earlier texts' end leaves the control to the later ones.
    EXPECT_EQ(name(), L"Pages");
    control.DestroyWindow();
}

// A client that reaches the object through another of its interfaces, or by late binding,
// reads the same texts.
TEST(FrameworkControls, EveryRouteToTheClientObjectReadsTheControlsTexts) {
    CWnd control;
    ASSERT_TRUE(control.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr));
    CAccessibleText texts;
    NameControl(texts, control, vesk::IDS_ACC_PAGES);
    IAccessible* object = nullptr;
    ASSERT_EQ(
        ::AccessibleObjectFromWindow(control.m_hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
        S_OK);
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    IOleWindow* window = nullptr;
    ASSERT_EQ(object->QueryInterface(__uuidof(IOleWindow), reinterpret_cast<void**>(&window)),
              S_OK);
    HWND reported = nullptr;
    EXPECT_EQ(window->GetWindow(&reported), S_OK);
    EXPECT_EQ(reported, control.m_hWnd);
    IAccessible* again = nullptr;
    ASSERT_EQ(window->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&again)),
              S_OK);
    BSTR name = nullptr;
    EXPECT_EQ(again->get_accName(self, &name), S_OK);
    EXPECT_STREQ(name, L"Pages");
    ::SysFreeString(name);
    // Late binding never gives the standard object's name in place of the control's.
    DISPPARAMS parameters{&self, nullptr, 1, 0};
    VARIANT result;
    ::VariantInit(&result);
    EXPECT_EQ(object->Invoke(DISPID_ACC_NAME, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                             &parameters, &result, nullptr, nullptr),
              E_NOTIMPL);
    ::VariantClear(&result);
    EXPECT_EQ(object->QueryInterface(__uuidof(IEnumVARIANT), reinterpret_cast<void**>(&again)),
              E_NOINTERFACE);
    again = nullptr;
    window->Release();
    object->Release();
    control.DestroyWindow();
}

}  // namespace
}  // namespace uitest
