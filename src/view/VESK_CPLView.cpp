#include "view/VESK_CPLView.h"

// After the framework's headers, which bring in windows.h.
#include <dbt.h>
#include <algorithm>

#include <cstddef>
#include <cstring>
#include <string>

#include "app/AppMessages.h"
#include "app/MainFrame.h"
#include "app/VESK_CPLApp.h"
#include "model/Drv.h"
#include "model/TextField.h"
#include "os/DeviceFile.h"
#include "res/StringIds.h"

namespace {

// The high byte of a tree item's data names its page.
constexpr uint32_t kPageKeyMask = 0xFF000000;
constexpr uint32_t kKeySettings = 0x11000000;
constexpr uint32_t kKeyDevices = 0x12000000;
constexpr uint32_t kKeyInputChannels = 0x13000000;
constexpr uint32_t kKeyOutputChannels = 0x14000000;
constexpr uint32_t kKeyStreams = 0x16000000;
constexpr uint32_t kKeySynchronisation = 0x18000000;

// Every page once, in the order the view creates them: its key, its status-bar title, its
// place and image in the navigation tree (the Streams page has no tree item), and the page.
struct PageDescription {
    uint32_t key;
    uint32_t titleId;
    int treePosition;  // -1: no tree item
    int treeImage;
    CDialogPage& (*page)(CVESK_CPLView& view);
};
constexpr int kNoTreeItem = -1;
constexpr PageDescription kPages[] = {
    {kKeySettings, vesk::IDS_PAGE_SETTINGS, 4, 2,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageAsioSettings; }},
    {kKeyDevices, vesk::IDS_PAGE_DEVICES, 0, 1,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageDevices; }},
    {kKeyInputChannels, vesk::IDS_PAGE_INPUT_CHANNELS, 1, 3,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageInputChannels; }},
    {kKeyOutputChannels, vesk::IDS_PAGE_OUTPUT_CHANNELS, 2, 3,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageOutputChannels; }},
    {kKeyStreams, vesk::IDS_PAGE_STREAMS, kNoTreeItem, 0,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageStreams; }},
    {kKeySynchronisation, vesk::IDS_PAGE_SYNCHRONISATION, 3, 5,
     [](CVESK_CPLView& v) -> CDialogPage& { return v.m_pageSynchronisation; }},
};
constexpr int kTreeItemCount = 5;

const PageDescription* FindPage(uint32_t key) {
    for (const PageDescription& page : kPages)
        if (page.key == key) return &page;
    return nullptr;
}

// The tree's image list, in this order: images 0 to 5.
constexpr UINT kTreeIcons[] = {IDI_TREE_0,        IDI_TREE_DEVICES, IDI_TREE_SETTINGS,
                               IDI_TREE_CHANNELS, IDI_TREE_4,       IDI_TREE_SYNCHRONISATION};

// Shown once right after creation, so that every page is placed before it is hidden.
constexpr UINT kPlaceAndShow = SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW;

// Shorter names cannot be the driver's device path.
constexpr int kMinimumInterfaceNameLength = 5;

// The name of a device-interface notice: the text after the fixed part of the record, read
// no further than the size the record gives itself. Windows gives a window registered through
// the 8-bit API the 8-bit record; Wine gives it the UTF-16 record. The two differ in size for
// the same name: the 8-bit record holds one byte a character and its zero, the UTF-16 record
// two bytes a character and a zero of two bytes. A record is read as UTF-16 (characters past
// 7 bits becoming '?') only when its size is exactly that of its name read as UTF-16; an 8-bit
// record never is (its second character would have to be its zero, and nothing could follow).
CString InterfaceName(DWORD_PTR data) {
    if (data == 0) return CString();
    const auto* record = reinterpret_cast<const unsigned char*>(data);
    DWORD size = 0;
    std::memcpy(&size, record, sizeof size);
    constexpr size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_A, dbcc_name);
    if (size <= kNameOffset) return CString();
    const unsigned char* name = record + kNameOffset;
    const size_t nameBytes = size - kNameOffset;
    std::string wide;
    size_t units = 0;
    for (; units * 2 + 1 < nameBytes; ++units) {
        const unsigned unit = name[units * 2] | (name[units * 2 + 1] << 8);
        if (unit == 0) break;
        wide += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
    // The loop stops at the first zero unit within the record, or at its end.
    if (units > 0 && nameBytes == (units + 1) * 2) return CString(wide.c_str());
    return vesk::FieldText(reinterpret_cast<const char*>(name), nameBytes);
}

}  // namespace

BEGIN_MESSAGE_MAP(CVESK_CPLView, CFormView)
ON_NOTIFY(TVN_SELCHANGEDA, IDC_NAV_TREE, &CVESK_CPLView::OnTreeSelectionChanged)
ON_WM_DESTROY()
ON_WM_DEVICECHANGE()
ON_MESSAGE(WM_DRIVER_EVENT, &CVESK_CPLView::OnDriverEvent)
END_MESSAGE_MAP()

CVESK_CPLView::CVESK_CPLView()
    : CFormView(IDD_VESK_CPL_FORM), m_pageInputChannels(0), m_pageOutputChannels(1) {
    // Without a device the program runs with the connection closed; an arrival opens it.
    theDrv.Open(DEVICE_INTERFACE_NAME);
}

CVESK_CPLView::~CVESK_CPLView() {
    // The main connection goes first; the members follow in the reverse of their order.
    theDrv.Close();
}

CVESK_CPLView* CVESK_CPLView::Active() {
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    return frame ? dynamic_cast<CVESK_CPLView*>(frame->GetActiveView()) : nullptr;
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
    // New and Open run this again: one registration is enough, a second would only double
    // every notice.
    if (m_deviceNotification == nullptr)
        m_deviceNotification =
            os::RegisterDeviceInterfaceNotification(m_hWnd, DEVICE_INTERFACE_CLASS_GUID);
    m_notificator.SetTarget(m_hWnd, WM_DRIVER_EVENT, 0, 0);
    // Without a device this fails; ReconnectDriver starts it when the device comes.
    if (!m_notificator.IsRunning()) m_notificator.Start(DEVICE_INTERFACE_NAME);
    if (CFrameWnd* frame = GetParentFrame()) frame->RecalcLayout();
    ResizeParentToFit(TRUE);
    if (!m_firstInitialUpdate) return;

    m_dpi = DpiOfWindow(m_hWnd);
    NameControl(m_navigationTreeAccessible, m_navigationTree, vesk::IDS_ACC_PAGES);
    CreatePages();
    HideAllPages();
    LoadTreeImages();
    FillNavigationTree();
    HideAllPages();
    CVESK_CPLApp* app = CVESK_CPLApp::Current();
    m_navigationTree.SelectItem(app && app->m_asioPageRequested ? m_settingsItem : m_devicesItem);
    m_firstInitialUpdate = false;
}

void CVESK_CPLView::CreatePages() {
    for (const PageDescription& description : kPages) {
        CDialogPage& page = description.page(*this);
        page.Create(this);
        page.SetWindowPos(nullptr, PageLeft(m_dpi), ScaleFromBaseDpi(kPageY, m_dpi), 0, 0,
                          kPlaceAndShow);
    }
}

int CVESK_CPLView::PageLeft(UINT dpi) const {
    // A language whose names need a wider tree has its separator further right than English
    // has it: its pages move right by as much.
    RECT english = {kEnglishSeparatorX, 0, kEnglishSeparatorX, 0};
    ::MapDialogRect(m_hWnd, &english);
    RECT separator{};
    if (HWND line = GetDlgItemHandle(IDC_NAV_SEPARATOR)) {
        ::GetWindowRect(line, &separator);
        ::MapWindowPoints(HWND_DESKTOP, m_hWnd, reinterpret_cast<POINT*>(&separator), 2);
    }
    return ScaleFromBaseDpi(kPageX, dpi) + std::max(0L, separator.left - english.left);
}

void CVESK_CPLView::LoadTreeImages() {
    const int size = ScaleFromBaseDpi(kTreeImageSize, m_dpi);
    m_treeImages.Create(size, size, 0, 6, 1);
    for (UINT icon : kTreeIcons)
        m_treeImages.Add(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(icon)));
    m_navigationTree.SetImageList(&m_treeImages, TVSIL_NORMAL);
}

void CVESK_CPLView::OnDpiChanged(UINT dpi) {
    if (dpi == 0 || dpi == m_dpi || m_firstInitialUpdate) return;
    const UINT previous = m_dpi;
    m_dpi = dpi;
    LoadTreeImages();
    for (const PageDescription& description : kPages) {
        CDialogPage& page = description.page(*this);
        if (page.GetSafeHwnd() == nullptr) continue;
        page.SetWindowPos(nullptr, PageLeft(dpi), ScaleFromBaseDpi(kPageY, dpi), 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        page.RescaleListColumns(previous, dpi);
    }
}

void CVESK_CPLView::FillNavigationTree() {
    for (int position = 0; position < kTreeItemCount; ++position) {
        for (const PageDescription& page : kPages) {
            if (page.treePosition != position) continue;
            HTREEITEM inserted = m_navigationTree.InsertItem(
                LoadStringText(page.titleId), page.treeImage, page.treeImage,
                static_cast<LPARAM>(page.key), TVI_ROOT, TVI_LAST);
            if (page.key == kKeyDevices) m_devicesItem = inserted;
            if (page.key == kKeySettings) m_settingsItem = inserted;
        }
    }
}

void CVESK_CPLView::HideAllPages() {
    for (const PageDescription& description : kPages) {
        CDialogPage& page = description.page(*this);
        if (page.GetSafeHwnd() != nullptr) page.ShowWindow(SW_HIDE);
    }
}

void CVESK_CPLView::OnTreeSelectionChanged(NMHDR*, LRESULT* result) {
    *result = 0;
    HideAllPages();
    const uint32_t pageKey =
        static_cast<uint32_t>(m_navigationTree.GetItemData(m_navigationTree.GetSelectedItem())) &
        kPageKeyMask;
    const PageDescription* description = FindPage(pageKey);
    if (description == nullptr) return;
    description->page(*this).ShowWindow(SW_SHOW);
    CMainFrame::SetStatusPaneText(StatusPane::PageTitle,
                                  LoadStringText(description->titleId).GetString());
}

void CVESK_CPLView::OnDestroy() {
    m_notificator.Stop();
    m_notificator.SetTarget(nullptr, 0, 0, 0);
    CFormView::OnDestroy();
}

BOOL CVESK_CPLView::OnDeviceChange(UINT event, DWORD_PTR data) {
    const CString name = InterfaceName(data);
    if (name.GetLength() >= kMinimumInterfaceNameLength &&
        (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE))
        ReconnectDriver();
    return TRUE;
}

void CVESK_CPLView::StartNotificator() {
    m_notificator.SetTarget(m_hWnd, WM_DRIVER_EVENT, 0, 0);
    m_notificator.Start(DEVICE_INTERFACE_NAME);
}

void CVESK_CPLView::ReconnectDriver() {
    // An open connection stays as it is, whatever the notice said.
    if (theDrv.IsOpen()) return;
    if (theDrv.Open(DEVICE_INTERFACE_NAME) == 0 && !m_notificator.IsRunning()) StartNotificator();
    RefreshAllPages();
}

LRESULT CVESK_CPLView::OnDriverEvent(WPARAM, LPARAM) {
    // The records are read on the notificator's own connection until the driver has none.
    for (int read = 0; read < kMaxEventsPerMessage; ++read) {
        VESK_EVENT_RECORD record{};
        if (m_notificator.GetEvent(&record) != 0) return 0;
        if (record.EventType == EvtType_StreamingRestarted ||
            record.EventType == EvtType_DomainConfigurationChanged)
            RefreshAllPages();
    }
    // A long burst (or a driver that never runs out) is drained in batches: the rest waits
    // behind the input already queued, so the window keeps answering and no record is lost.
    ::PostMessageA(m_hWnd, WM_DRIVER_EVENT, 0, 0);
    return 0;
}

bool CVESK_CPLView::PagesCreated() const {
    return !m_firstInitialUpdate || m_pageSynchronisation.GetSafeHwnd() != nullptr;
}

void CVESK_CPLView::RefreshAllPages() {
    // Before the first initial update the pages have no windows; they read the driver when
    // they are created.
    if (!PagesCreated()) return;
    m_pageDevices.RefreshDevices();
    m_pageInputChannels.RefreshChannels();
    m_pageOutputChannels.RefreshChannels();
    m_pageStreams.RefreshStreams();
    m_pageAsioSettings.RefreshAsioSettings();
    m_pageSynchronisation.RefreshSynchronisation();
}

void CVESK_CPLView::OnDeviceSettingsChanged() {
    if (!PagesCreated()) return;
    m_pageInputChannels.RefreshChannels();
    m_pageOutputChannels.RefreshChannels();
    m_pageSynchronisation.RefreshSyncList();
}
