#include "view/VESK_CPLView.h"

#include "app/VESK_CPLApp.h"
#include "model/Drv.h"
#include "res/StringIds.h"

namespace {

// The tree's items in their order: text, image and the page key in the high byte.
struct NavigationItem {
    uint32_t textId;
    int image;
    uint32_t pageKey;
};
constexpr NavigationItem kNavigationItems[] = {
    {vesk::IDS_PAGE_DEVICES, 1, 0x12000000},
    {vesk::IDS_PAGE_INPUT_CHANNELS, 3, 0x13000000},
    {vesk::IDS_PAGE_OUTPUT_CHANNELS, 3, 0x14000000},
    {vesk::IDS_PAGE_SYNCHRONISATION, 5, 0x18000000},
    {vesk::IDS_PAGE_SETTINGS, 2, 0x11000000},
};

}  // namespace

BEGIN_MESSAGE_MAP(CVESK_CPLView, CFormView)
ON_NOTIFY(TVN_SELCHANGEDA, IDC_NAV_TREE, &CVESK_CPLView::OnTreeSelectionChanged)
END_MESSAGE_MAP()

CVESK_CPLView::CVESK_CPLView() : CFormView(IDD_VESK_CPL_FORM) {
    // Without a device the program runs with the connection closed.
    theDrv.Open(DEVICE_INTERFACE_NAME);
}

CVESK_CPLView::~CVESK_CPLView() {
    theDrv.Close();
}

BOOL CVESK_CPLView::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style &= ~WS_BORDER;
    return CFormView::PreCreateWindow(cs);
}

void CVESK_CPLView::DoDataExchange(CDataExchange* dx) {
    CFormView::DoDataExchange(dx);
    DDX_Control(dx, IDC_NAV_TREE, m_navigationTree);
}

void CVESK_CPLView::OnInitialUpdate() {
    CFormView::OnInitialUpdate();
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    ResizeParentToFit(TRUE);
    if (!m_firstInitialUpdate) return;
    FillNavigationTree();
    CVESK_CPLApp* app = CVESK_CPLApp::Current();
    m_navigationTree.SelectItem(app && app->m_asioPageRequested ? m_settingsItem : m_devicesItem);
    m_firstInitialUpdate = false;
}

void CVESK_CPLView::FillNavigationTree() {
    for (const NavigationItem& item : kNavigationItems) {
        HTREEITEM inserted = m_navigationTree.InsertItem(
            LoadStringText(item.textId), item.image, item.image, static_cast<LPARAM>(item.pageKey));
        if (item.textId == vesk::IDS_PAGE_DEVICES) m_devicesItem = inserted;
        if (item.textId == vesk::IDS_PAGE_SETTINGS) m_settingsItem = inserted;
    }
}

void CVESK_CPLView::OnTreeSelectionChanged(NMHDR*, LRESULT* result) {
    *result = 0;
    const uint32_t pageKey =
        static_cast<uint32_t>(m_navigationTree.GetItemData(m_navigationTree.GetSelectedItem())) &
        0xFF000000u;
    for (const NavigationItem& item : kNavigationItems) {
        if (item.pageKey != pageKey) continue;
        if (auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd()))
            frame->SetMessageText(LoadStringText(item.textId).GetString());
        return;
    }
}
