#include "pages/DlgPgChannels.h"

#include "model/ChannelText.h"
#include "model/TextField.h"
#include "pages/SubDlgChannelNameEdit.h"
#include "res/StringIds.h"
#include "view/VESK_CPLView.h"

namespace {

constexpr int kDeviceColumn = 0;
constexpr int kChannelColumn = 1;
constexpr int kDisplayNameColumn = 2;

struct Column {
    uint32_t headerId;
    int width;
};
constexpr Column kColumns[] = {
    {vesk::IDS_COL_DEVICE_NAME, 160},
    {vesk::IDS_COL_CHANNEL_NAME, 160},
    {vesk::IDS_COL_ASIO_DISPLAY_NAME, 180},
};

// Full-row select, header drag-and-drop and grid lines.
constexpr DWORD kListStyleBits = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES;

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPgChannels, CDialogPage)
ON_BN_CLICKED(IDC_CHANNEL_INCLUDE_DEVICE, &CDlgPgChannels::OnIncludeDeviceNameClicked)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_CHANNEL_LIST, &CDlgPgChannels::OnChannelListItemChanged)
ON_BN_CLICKED(IDC_CHANNEL_EDIT_NAME, &CDlgPgChannels::OnEditChannelName)
ON_NOTIFY(NM_DBLCLK, IDC_CHANNEL_LIST, &CDlgPgChannels::OnChannelListDoubleClick)
END_MESSAGE_MAP()

CDlgPgChannels::CDlgPgChannels(int direction, CWnd* parent)
    : CDialogPage(IDD_PAGE_CHANNELS, parent), m_direction(direction) {}

CChannelArray& CDlgPgChannels::Channels() const {
    return m_direction == kInputChannels ? theDrv.m_inputChannels : theDrv.m_outputChannels;
}

void CDlgPgChannels::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CHANNEL_INCLUDE_DEVICE, m_includeDeviceNameCheck);
    DDX_Control(dx, IDC_CHANNEL_HW_NAME, m_hardwareNameField);
    DDX_Control(dx, IDC_CHANNEL_HW_CAPTION, m_hardwareNameCaption);
    DDX_Control(dx, IDC_CHANNEL_EDIT_NAME, m_editNameButton);
    DDX_Control(dx, IDC_CHANNEL_LIST, m_channelList);
    DDX_Check(dx, IDC_CHANNEL_INCLUDE_DEVICE, m_includeDeviceName);
    DDX_Text(dx, IDC_CHANNEL_HW_NAME, m_hardwareNameText);
}

BOOL CDlgPgChannels::OnInitDialog() {
    CDialogPage::OnInitDialog();
    NameControl(m_channelListAccessible, m_channelList,
                m_direction == 0 ? vesk::IDS_ACC_INPUT_CHANNELS : vesk::IDS_ACC_OUTPUT_CHANNELS);
    m_editNameAccessible.Attach(m_editNameButton);
    {
        const CListCtrlEx::Rebuild rebuild(m_channelList);
        int index = 0;
        for (const Column& column : kColumns)
            m_channelList.InsertColumn(index++, LoadStringText(column.headerId), LVCFMT_LEFT,
                                       ScaleForWindow(m_hWnd, column.width));
    }
    m_channelList.FitColumnsToWidth();
    m_channelList.SetExtendedStyle(m_channelList.GetExtendedStyle() | kListStyleBits);
    m_editNameButton.EnableWindow(FALSE);
    // Only here is the setting read; afterwards only the check boxes change it.
    if (theDrv.GetAsioNameIncludesDevice(&theDrv.m_asioNameIncludesDevice) == 0)
        m_includeDeviceName = theDrv.m_asioNameIncludesDevice != 0 ? 1 : 0;
    RefreshChannels();
    ComposeAsioDisplayNames();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgPgChannels::RefreshChannels() {
    const int selected = m_channelList.GetSelectedIndex();
    {
        const CListCtrlEx::Rebuild rebuild(m_channelList);
        m_channelList.DeleteAllItems();
        CChannelArray& channels = Channels();
        if (theDrv.LoadChannels(channels, m_direction) == 0) {
            for (int i = 0; i < channels.GetSize(); ++i) {
                const _VESK_CHANNEL_PROPERTIES& channel = *channels[i];
                _VESK_DEVICE_PROPERTIES device{};
                // A channel whose device cannot be read has no row.
                if (theDrv.GetDeviceProperties(&channel.DeviceId, &device) != 0) continue;
                const CString deviceName = vesk::FieldText(device.DeviceName);
                const CString channelName = vesk::FieldText(channel.ChannelName);
                const int row = m_channelList.InsertItem(i, deviceName, static_cast<LPARAM>(i));
                if (row < 0) continue;
                m_channelList.SetItemText(row, kChannelColumn, channelName);
                m_channelList.SetItemText(
                    row, kDisplayNameColumn,
                    vesk::AsioDisplayName(deviceName, channelName, m_includeDeviceName != 0));
            }
        }
    }
    if (selected >= 0) m_channelList.SelectRow(selected);
    UpdateSelectedChannel();
}

void CDlgPgChannels::ComposeAsioDisplayNames() {
    // Only texts change: nothing of the selection the list's notices are watched for.
    const CListCtrlEx::Rebuild rebuild(m_channelList);
    for (int row = 0; row < m_channelList.GetItemCount(); ++row) {
        const CString displayName = vesk::AsioDisplayName(
            m_channelList.GetItemText(row, kDeviceColumn),
            m_channelList.GetItemText(row, kChannelColumn), m_includeDeviceName != 0);
        m_channelList.SetItemText(row, kDisplayNameColumn, displayName);
    }
}

void CDlgPgChannels::UpdateSelectedChannel() {
    const int selected = m_channelList.GetSelectedIndex();
    CString text;
    if (selected >= 0) {
        const int channelIndex = static_cast<int>(m_channelList.GetItemData(selected));
        if (const _VESK_CHANNEL_PROPERTIES* channel = Channels().Find(channelIndex))
            text = vesk::HardwareNameText(*channel);
    }
    const BOOL enable = selected >= 0;
    m_editNameButton.EnableWindow(enable);
    DescribeDisabled(m_editNameAccessible, enable, vesk::IDS_ACC_SELECT_CHANNEL);
    m_hardwareNameCaption.EnableWindow(enable);
    m_hardwareNameField.EnableWindow(enable);
    m_hardwareNameText = text;
    UpdateData(FALSE);
}

void CDlgPgChannels::OnChannelListItemChanged(NMHDR*, LRESULT* result) {
    *result = 0;
    if (m_channelList.IsRebuilding()) return;
    UpdateSelectedChannel();
}

void CDlgPgChannels::OnChannelListDoubleClick(NMHDR*, LRESULT* result) {
    *result = 0;
    RenameSelectedChannel();
}

void CDlgPgChannels::OnEditChannelName() {
    RenameSelectedChannel();
}

void CDlgPgChannels::OnIncludeDeviceNameClicked() {
    UpdateData(TRUE);
    // A box in a third state still means "on"; the driver only ever gets 0 or 1.
    const int include = m_includeDeviceName != 0 ? 1 : 0;
    theDrv.m_asioNameIncludesDevice = static_cast<uint32_t>(include);
    theDrv.SetAsioNameIncludesDevice(&theDrv.m_asioNameIncludesDevice);
    CVESK_CPLView* view = CVESK_CPLView::Active();
    if (view == nullptr) return;
    for (CDlgPgChannels* page : {&view->m_pageInputChannels, &view->m_pageOutputChannels}) {
        page->m_includeDeviceName = include;
        page->UpdateData(FALSE);
        page->ComposeAsioDisplayNames();
    }
}

void CDlgPgChannels::RenameSelectedChannel() {
    const int selected = m_channelList.GetSelectedIndex();
    if (selected < 0) return;
    const int channelIndex = static_cast<int>(m_channelList.GetItemData(selected));
    const _VESK_CHANNEL_PROPERTIES* channel = Channels().Find(channelIndex);
    if (channel == nullptr) return;
    // The dialog edits a copy, and everything but the name goes back as it was read.
    _VESK_CHANNEL_PROPERTIES edited = *channel;
    CSubDlgChannelNameEdit dialog(&edited);
    if (dialog.DoModal() != IDOK) return;
    theDrv.SetChannelProperties(&edited);
    RefreshChannels();
}
