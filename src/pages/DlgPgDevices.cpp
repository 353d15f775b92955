#include "pages/DlgPgDevices.h"

#include "app/MainFrame.h"
#include "model/DeviceText.h"
#include "model/Drv.h"
#include "model/TextField.h"
#include "pages/SubDlgDeviceNameEdit.h"
#include "res/StringIds.h"
#include "view/VESK_CPLView.h"

namespace {

constexpr int kNameColumnWidth = 235;
constexpr int kSerialColumnWidth = 220;
// Full-row select, header drag-and-drop and grid lines.
constexpr DWORD kListStyleBits = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES;
static_assert(kListStyleBits == 0x31);

void ShowDeviceCount(int deviceCount) {
    CMainFrame::SetStatusPaneText(StatusPane::DeviceCount, vesk::DevicesConnectedText(deviceCount));
}

void TellViewDeviceSettingsChanged() {
    if (CVESK_CPLView* view = CVESK_CPLView::Active()) view->OnDeviceSettingsChanged();
}

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPgDevices, CDialogPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_DEVICE_LIST, &CDlgPgDevices::OnDeviceListItemChanged)
ON_NOTIFY(NM_DBLCLK, IDC_DEVICE_LIST, &CDlgPgDevices::OnDeviceListDoubleClick)
ON_BN_CLICKED(IDC_DEVICE_EDIT_NAME, &CDlgPgDevices::OnEditDeviceName)
ON_BN_CLICKED(IDC_DEVICE_UP, &CDlgPgDevices::OnUp)
ON_BN_CLICKED(IDC_DEVICE_DOWN, &CDlgPgDevices::OnDown)
ON_BN_CLICKED(IDC_DEVICE_APPLY, &CDlgPgDevices::OnApply)
END_MESSAGE_MAP()

CDlgPgDevices::CDlgPgDevices(CWnd* parent) : CDialogPage(IDD_PAGE_DEVICES, parent) {}

void CDlgPgDevices::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_DEVICE_HINT, m_hintStatic);
    DDX_Control(dx, IDC_DEVICE_UP, m_upButton);
    DDX_Control(dx, IDC_DEVICE_DOWN, m_downButton);
    DDX_Control(dx, IDC_DEVICE_APPLY, m_applyButton);
    DDX_Control(dx, IDC_DEVICE_EDIT_NAME, m_editNameButton);
    DDX_Control(dx, IDC_DEVICE_LIST, m_deviceList);
    DDX_Text(dx, IDC_DEVICE_HINT, m_hintText);
}

BOOL CDlgPgDevices::OnInitDialog() {
    CDialogPage::OnInitDialog();
    NameControl(m_deviceListAccessible, m_deviceList, vesk::IDS_ACC_DEVICES);
    NameControl(m_applyAccessible, m_applyButton, vesk::IDS_ACC_APPLY_RANKING);
    m_editNameAccessible.Attach(m_editNameButton);
    m_upAccessible.Attach(m_upButton);
    m_downAccessible.Attach(m_downButton);
    {
        const CListCtrlEx::Rebuild rebuild(m_deviceList);
        m_deviceList.InsertColumn(0, LoadStringText(vesk::IDS_COL_DEVICE_NAME), LVCFMT_LEFT,
                                  ScaleForWindow(m_hWnd, kNameColumnWidth));
        m_deviceList.InsertColumn(1, LoadStringText(vesk::IDS_COL_SERIAL_NUMBER), LVCFMT_LEFT,
                                  ScaleForWindow(m_hWnd, kSerialColumnWidth));
    }
    m_deviceList.FitColumnsToWidth();
    m_deviceList.SetExtendedStyle(m_deviceList.GetExtendedStyle() | kListStyleBits);
    m_hintText = LoadStringText(vesk::IDS_DEVICES_HINT);
    m_applyButton.EnableWindow(FALSE);
    RefreshDevices();
    UpdateData(FALSE);
    return TRUE;
}

void CDlgPgDevices::InsertDeviceRow(int row, const _VESK_DEVICE_PROPERTIES& device,
                                    int deviceIndex) {
    // Names are shown as stored and never beyond their fields.
    const int inserted = m_deviceList.InsertItem(row, vesk::FieldText(device.DeviceName),
                                                 static_cast<LPARAM>(deviceIndex));
    if (inserted < 0) return;
    m_deviceList.SetItemText(inserted, 1, vesk::FieldText(device.SerialNumber));
}

void CDlgPgDevices::RefreshDevices() {
    const int selected = m_deviceList.GetSelectedIndex();
    {
        const CListCtrlEx::Rebuild rebuild(m_deviceList);
        m_deviceList.DeleteAllItems();
        if (theDrv.LoadDevices() == 0) {
            for (int i = 0; i < theDrv.m_devices.GetSize(); ++i)
                InsertDeviceRow(i, *theDrv.m_devices[i], i);
        }
    }
    if (selected >= 0) m_deviceList.SelectRow(selected);
    UpdateDeviceButtons();
    // After a partial failure the list is empty but the count is that of the devices read.
    ShowDeviceCount(theDrv.m_devices.GetSize());
}

void CDlgPgDevices::UpdateDeviceButtons() {
    const int selected = m_deviceList.GetSelectedIndex();
    const int rows = m_deviceList.GetItemCount();
    const bool any = selected >= 0;
    const bool canMoveUp = any && rows >= 2 && selected != 0;
    const bool canMoveDown = any && rows >= 2 && selected != rows - 1;
    m_editNameButton.EnableWindow(any);
    m_upButton.EnableWindow(canMoveUp);
    m_downButton.EnableWindow(canMoveDown);
    for (CAccessibleText* text : {&m_editNameAccessible, &m_upAccessible, &m_downAccessible})
        DescribeDisabled(*text, any, vesk::IDS_ACC_SELECT_DEVICE);
    m_hintStatic.ShowWindow(canMoveUp || canMoveDown ? SW_SHOW : SW_HIDE);
}

void CDlgPgDevices::OnDeviceListItemChanged(NMHDR*, LRESULT* result) {
    *result = 0;
    if (m_deviceList.IsRebuilding()) return;
    UpdateDeviceButtons();
}

void CDlgPgDevices::OnDeviceListDoubleClick(NMHDR*, LRESULT* result) {
    *result = 0;
    RenameSelectedDevice();
}

void CDlgPgDevices::OnEditDeviceName() {
    RenameSelectedDevice();
}

void CDlgPgDevices::OnUp() {
    MoveSelectedRow(true);
}

void CDlgPgDevices::OnDown() {
    MoveSelectedRow(false);
}

void CDlgPgDevices::MoveSelectedRow(bool up) {
    const int selected = m_deviceList.GetSelectedIndex();
    if (selected < 0) return;
    const int deviceIndex = static_cast<int>(m_deviceList.GetItemData(selected));
    const _VESK_DEVICE_PROPERTIES* device = theDrv.m_devices.Find(deviceIndex);
    if (device == nullptr) return;
    const int last = m_deviceList.GetItemCount() - 1;
    int target = selected;
    if (up && selected > 0) target = selected - 1;
    if (!up && selected < last) target = selected + 1;
    m_deviceList.DeleteItem(selected);
    InsertDeviceRow(target, *device, deviceIndex);
    m_deviceList.SelectRow(target);
    // The list's own notices update the buttons too, but not every list sends them for rows
    // that are inserted and selected by the program.
    UpdateDeviceButtons();
    m_applyButton.EnableWindow(TRUE);
}

void CDlgPgDevices::OnApply() {
    // The row order is the ranking: the first row ranks 0.
    for (int row = 0; row < m_deviceList.GetItemCount(); ++row) {
        const int deviceIndex = static_cast<int>(m_deviceList.GetItemData(row));
        if (_VESK_DEVICE_PROPERTIES* device = theDrv.m_devices.Find(deviceIndex))
            device->Rank = static_cast<uint32_t>(row);
    }
    theDrv.SaveDevices();
    RefreshDevices();
    TellViewDeviceSettingsChanged();
    m_applyButton.EnableWindow(FALSE);
}

void CDlgPgDevices::RenameSelectedDevice() {
    const int selected = m_deviceList.GetSelectedIndex();
    if (selected < 0) return;
    const int deviceIndex = static_cast<int>(m_deviceList.GetItemData(selected));
    const _VESK_DEVICE_PROPERTIES* device = theDrv.m_devices.Find(deviceIndex);
    if (device == nullptr) return;
    // The dialog edits a copy: the model's record may be freed by a refresh meanwhile, and
    // everything but the name goes back as it was read.
    _VESK_DEVICE_PROPERTIES edited = *device;
    CSubDlgDeviceNameEdit dialog(&edited);
    if (dialog.DoModal() != IDOK) return;
    theDrv.SetDeviceProperties(&edited);
    RefreshDevices();
    TellViewDeviceSettingsChanged();
}
