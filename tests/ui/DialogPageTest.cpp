// The page base inside the view, the list and tree classes, and data exchange.
#include "PanelTestFixture.h"
#include "view/DialogPage.h"
#include "view/ListCtrlEx.h"

namespace uitest {
namespace {

// A page over the Devices template with its list bound, as the real pages do.
class TestPage : public CDialogPage {
  public:
    TestPage() : CDialogPage(IDD_PAGE_DEVICES) {}
    CListCtrlEx m_list;
    CString m_hint;
    int m_initDialogCalls = 0;

  protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialogPage::DoDataExchange(dx);
        DDX_Control(dx, IDC_DEVICE_LIST, m_list);
        DDX_Text(dx, IDC_DEVICE_HINT, m_hint);
    }
    BOOL OnInitDialog() override {
        ++m_initDialogCalls;
        m_hint = "50% & more";
        return CDialogPage::OnInitDialog();
    }
};

using Page = PanelTest;

// Notes the OK and Cancel commands that reach the page or the form around it (a page is a
// control of the form, so the dialog manager may send them to the form).
struct CommandWatch {
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active != nullptr && call->message == WM_COMMAND &&
            (call->hwnd == active->page || call->hwnd == active->form) &&
            (LOWORD(call->wParam) == IDOK || LOWORD(call->wParam) == IDCANCEL))
            active->commands.push_back(LOWORD(call->wParam));
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }
    CommandWatch(HWND pageWindow, HWND formWindow) : page(pageWindow), form(formWindow) {
        active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, &Hook, nullptr, ::GetCurrentThreadId());
    }
    ~CommandWatch() {
        ::UnhookWindowsHookEx(hook);
        active = nullptr;
    }
    static inline CommandWatch* active = nullptr;
    HWND page;
    HWND form;
    HHOOK hook = nullptr;
    std::vector<WORD> commands;
};

TEST_F(Page, EnterAndEscapeLeaveThePageShown) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    TestPage page;
    ASSERT_TRUE(page.Create(panel.View()));
    EXPECT_EQ(page.m_initDialogCalls, 1);
    EXPECT_EQ(::GetParent(page.m_hWnd), panel.View()->m_hWnd);
    EXPECT_TRUE(::GetWindowLongA(page.m_hWnd, GWL_STYLE) & WS_CHILD);
    page.SetWindowPos(nullptr, 140, 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ASSERT_TRUE(page.IsWindowVisible());
    ::SetFocus(page.m_list.m_hWnd);
    CommandWatch watch(page.m_hWnd, panel.View()->m_hWnd);
    // The keys arrive as OK and Cancel commands, and change nothing.
    PostKey(page.m_list.m_hWnd, VK_RETURN);
    PumpPending();
    PostKey(page.m_list.m_hWnd, VK_ESCAPE);
    PumpPending();
    EXPECT_EQ(watch.commands, (std::vector<WORD>{IDOK, IDCANCEL}));
    EXPECT_TRUE(::IsWindow(page.m_hWnd));
    EXPECT_TRUE(page.IsWindowVisible());
    EXPECT_TRUE(panel.View()->IsWindowVisible());
    EXPECT_TRUE(::IsWindowVisible(panel.FrameWindow()));
    EXPECT_FALSE(QuitSeen());
}

TEST_F(Page, TabMovesTheFocusFromTheTreeIntoTheShownPageAndBack) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CVESK_CPLView* view = panel.View();
    HWND devicesPage = view->m_pageDevices.m_hWnd;
    ASSERT_TRUE(::IsWindowVisible(devicesPage));
    HWND tree = view->m_navigationTree.m_hWnd;
    ::SetFocus(tree);
    ASSERT_EQ(::GetFocus(), tree);
    PostKey(tree, VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return ::IsChild(devicesPage, ::GetFocus()) != FALSE; }));
    // Hidden pages take no focus.
    for (CDialogPage* hidden : {static_cast<CDialogPage*>(&view->m_pageAsioSettings),
                                static_cast<CDialogPage*>(&view->m_pageInputChannels)})
        EXPECT_FALSE(::IsChild(hidden->m_hWnd, ::GetFocus()));
    // Shift+Tab from the page's first control goes back to the tree.
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    ::SetKeyboardState(keys);
    PostKey(::GetFocus(), VK_TAB);
    const bool back = PumpUntil([&] { return ::GetFocus() == tree; });
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
    EXPECT_TRUE(back);
}

TEST_F(Page, DataExchangeBindsControlsAndCopiesTextsBothWays) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    TestPage page;
    ASSERT_TRUE(page.Create(panel.View()));
    ASSERT_NE(page.m_list.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(page.m_list.m_hWnd), &page.m_list);
    // Texts are shown as they are: no format, no prefix processing of the member.
    EXPECT_EQ(ControlText(page.m_hWnd, IDC_DEVICE_HINT), "50% & more");
    ::SetWindowTextA(::GetDlgItem(page.m_hWnd, IDC_DEVICE_HINT), "typed");
    EXPECT_TRUE(page.UpdateData(TRUE));
    EXPECT_EQ(page.m_hint, "typed");
    // Binding again does not subclass twice.
    EXPECT_TRUE(page.UpdateData(FALSE));
    EXPECT_EQ(CWnd::FromHandlePermanent(page.m_list.m_hWnd), &page.m_list);
}

TEST_F(Page, ListSelectionCheckBoxesItemDataAndLongTexts) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    TestPage page;
    ASSERT_TRUE(page.Create(panel.View()));
    CListCtrlEx& list = page.m_list;
    EXPECT_EQ(list.GetSelectedIndex(), -1);  // empty list
    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    EXPECT_TRUE(list.GetExtendedStyle() & LVS_EX_CHECKBOXES);
    EXPECT_EQ(list.InsertColumn(0, "Device name", LVCFMT_LEFT, 120), 0);
    EXPECT_EQ(list.InsertColumn(1, "Serial number", LVCFMT_LEFT, 120), 1);
    for (int row = 0; row < 3; ++row) {
        ASSERT_EQ(list.InsertItem(row, ("row " + std::to_string(row)).c_str()), row);
        list.SetItemData(row, static_cast<DWORD_PTR>(100 + row));
    }
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetSelectedIndex(), -1);  // rows but none selected
    EXPECT_TRUE(list.SelectRow(2));
    EXPECT_EQ(list.GetSelectedIndex(), 2);
    EXPECT_EQ(list.GetItemState(2, LVIS_FOCUSED), static_cast<UINT>(LVIS_FOCUSED));
    EXPECT_EQ(list.GetItemData(1), 101u);

    list.SetCheck(1, TRUE);
    EXPECT_TRUE(list.GetCheck(1));
    EXPECT_FALSE(list.GetCheck(0));
    list.SetCheck(1, FALSE);
    EXPECT_FALSE(list.GetCheck(1));

    // Texts longer than the read buffer come back cut, terminated.
    const std::string longText(2000, 'n');
    list.SetItemText(0, 1, longText.c_str());
    EXPECT_EQ(list.GetItemText(0, 1).str(), std::string(CListCtrl::kTextBufferSize - 1, 'n'));

    EXPECT_TRUE(list.DeleteItem(2));
    EXPECT_EQ(list.GetSelectedIndex(), -1);
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(Page, NavigationTreeHoldsTheFiveItemsWithTheirPageKeys) {
    RunningPanel panel("");
    ASSERT_TRUE(panel.Started());
    CTreeCtrlEx& tree = panel.View()->m_navigationTree;
    const std::vector<std::pair<std::string, DWORD_PTR>> expected = {
        {"Devices", 0x12000000},
        {"Input Channels", 0x13000000},
        {"Output Channels", 0x14000000},
        {"Synchronisation", 0x18000000},
        {"Settings", 0x11000000}};
    std::vector<std::pair<std::string, DWORD_PTR>> items;
    for (HTREEITEM item = tree.GetRootItem(); item != nullptr; item = tree.GetNextSiblingItem(item))
        items.emplace_back(tree.GetItemText(item).str(), tree.GetItemData(item));
    EXPECT_EQ(items, expected);
    HWND bar = panel.Frame()->m_wndStatusBar.m_hWnd;
    tree.SelectItem(FindTreeItem(tree.m_hWnd, "Output Channels"));
    EXPECT_EQ(PaneText(bar, 0), "Output Channels");
}

}  // namespace
}  // namespace uitest
