#include "pages/DlgPgSynchronisation.h"

#include <cstring>
#include <optional>

#include "app/MainFrame.h"
#include "model/Drv.h"
#include "model/SyncText.h"
#include "model/TextField.h"
#include "pages/SubDlgDeviceSynch.h"
#include "res/StringIds.h"
#include "res/resource.h"

namespace {

constexpr DWORD kListExtendedStyle = LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT;
constexpr DWORD_PTR kPcDriverItemData = static_cast<DWORD_PTR>(-1);
constexpr int kPcDriverRow = 0;

struct Column {
    uint32_t headerId;
    int width;
};
constexpr Column kColumns[] = {
    {vesk::IDS_COL_CLK_MASTER, 70},
    {vesk::IDS_COL_DEVICES, 160},
    {vesk::IDS_COL_CURRENT_SYNC_SOURCE, 250},
};

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPgSynchronisation, CDialogPage)
ON_NOTIFY(NM_DBLCLK, IDC_SYNC_LIST, &CDlgPgSynchronisation::OnListDoubleClick)
ON_BN_CLICKED(IDC_SYNC_CHANGE_MODE, &CDlgPgSynchronisation::OnChangeSyncMode)
ON_BN_CLICKED(IDC_SYNC_APPLY, &CDlgPgSynchronisation::OnSyncApply)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_SYNC_LIST, &CDlgPgSynchronisation::OnListItemChanged)
ON_CBN_SELCHANGE(IDC_SAMPLE_RATE_COMBO, &CDlgPgSynchronisation::OnSampleRateSelected)
ON_BN_CLICKED(IDC_RATE_APPLY, &CDlgPgSynchronisation::OnRateApply)
ON_BN_CLICKED(IDC_RATE_MANUAL, &CDlgPgSynchronisation::OnManualRateClicked)
ON_BN_CLICKED(IDC_RATE_AUTOMATIC, &CDlgPgSynchronisation::OnAutomaticRateClicked)
END_MESSAGE_MAP()

CDlgPgSynchronisation::CDlgPgSynchronisation(CWnd* parent)
    : CDialogPage(IDD_PAGE_SYNCHRONISATION, parent) {}

void CDlgPgSynchronisation::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_RATE_MANUAL, m_manualRateButton);
    DDX_Control(dx, IDC_RATE_AUTOMATIC, m_automaticRateButton);
    DDX_Control(dx, IDC_RATE_APPLY, m_rateApplyButton);
    DDX_Control(dx, IDC_SYNC_APPLY, m_syncApplyButton);
    DDX_Control(dx, IDC_SYNC_CHANGE_MODE, m_changeModeButton);
    DDX_Control(dx, IDC_SYNC_LIST, m_syncList);
    DDX_Control(dx, IDC_SAMPLE_RATE_COMBO, m_sampleRateCombo);
    DDX_Radio(dx, IDC_RATE_MANUAL, m_rateModeRadio);
}

BOOL CDlgPgSynchronisation::OnInitDialog() {
    CDialogPage::OnInitDialog();
    NameControl(m_syncListAccessible, m_syncList, vesk::IDS_ACC_SYNC_SOURCES);
    NameControl(m_sampleRateComboAccessible, m_sampleRateCombo, vesk::IDS_ACC_SAMPLE_RATE);
    NameControl(m_rateApplyAccessible, m_rateApplyButton, vesk::IDS_ACC_APPLY_SAMPLE_RATE);
    NameControl(m_syncApplyAccessible, m_syncApplyButton, vesk::IDS_ACC_APPLY_SYNC);
    m_changeModeAccessible.Attach(m_changeModeButton);
    m_syncList.SetExtendedStyle(m_syncList.GetExtendedStyle() | kListExtendedStyle);
    {
        const CListCtrlEx::Rebuild rebuild(m_syncList);
        int index = 0;
        for (const Column& column : kColumns)
            m_syncList.InsertColumn(index++, LoadStringText(column.headerId), LVCFMT_LEFT,
                                    ScaleForWindow(m_hWnd, column.width));
    }
    m_syncList.FitColumnsToWidth();
    RefreshSyncList();
    RefreshSampleRates();
    m_rateApplyButton.EnableWindow(FALSE);
    m_syncApplyButton.EnableWindow(FALSE);
    m_notificationsArmed = true;
    return TRUE;
}

void CDlgPgSynchronisation::RefreshSynchronisation() {
    RefreshSyncList();
    RefreshSampleRates();
}

void CDlgPgSynchronisation::RefreshSyncList() {
    m_notificationsArmed = false;
    const int selectedRow = m_syncList.GetSelectedIndex();
    m_clockMasterRow = -1;
    {
        const CListCtrlEx::Rebuild rebuild(m_syncList);
        m_syncList.DeleteAllItems();

        const uint32_t devicesStatus = theDrv.LoadDevices();
        const uint32_t modesStatus = theDrv.LoadSyncModes();
        if (devicesStatus == 0 && modesStatus == 0 && theDrv.m_devices.GetSize() > 0) {
            m_syncList.InsertItem(kPcDriverRow, "", static_cast<LPARAM>(kPcDriverItemData));
            m_syncList.SetItemText(kPcDriverRow, 1, LoadStringText(vesk::IDS_PC_DRIVER));
            // Read into a local record: a failed read must leave the model's values as they were.
            _VESK_CLOCK_MASTER master{};
            if (theDrv.GetClockMaster(&master) == 0) {
                theDrv.m_clockMaster = master;
                m_syncList.SetItemText(kPcDriverRow, 2,
                                       vesk::ClockMasterText(theDrv.m_clockMaster.MasterType));
            }
            if (theDrv.m_clockMaster.MasterType == 0) {
                m_syncList.SetCheck(kPcDriverRow, TRUE);
                m_clockMasterRow = kPcDriverRow;
            }
            for (int i = 0; i < theDrv.m_devices.GetSize(); ++i) {
                const _VESK_DEVICE_PROPERTIES* device = theDrv.m_devices[i];
                const int row = i + 1;
                m_syncList.InsertItem(row, "", static_cast<LPARAM>(i));
                m_syncList.SetItemText(row, 1, vesk::FieldText(device->DeviceName));
                // The device list may have changed between the two loads; a device without its
                // sync-mode record keeps an empty source column.
                if (const _DEVICE_SYNC_MODE_INFO* modes = theDrv.m_syncModes.Find(i))
                    m_syncList.SetItemText(row, 2, vesk::SyncModeText(modes->CurrentMode));
                m_syncList.SetCheck(row, FALSE);
                if (theDrv.m_clockMaster.MasterType == 1 &&
                    device->DeviceId == theDrv.m_clockMaster.MasterDeviceId) {
                    m_syncList.SetCheck(row, TRUE);
                    m_clockMasterRow = row;
                }
            }
        }
    }
    if (selectedRow >= 0 && selectedRow < m_syncList.GetItemCount())
        m_syncList.SelectRow(selectedRow);

    uint32_t automatic = 0;
    if (theDrv.GetSampleRateMode(&automatic) == 0) theDrv.m_sampleRateMode = automatic;
    ShowRateModeInRadios();
    ApplyEnablingRules();
    m_notificationsArmed = true;
}

void CDlgPgSynchronisation::RefreshSampleRates() {
    std::optional<uint32_t> currentRate;
    const bool comboExists = m_sampleRateCombo.m_hWnd != nullptr;
    // Filled with its drawing off: otherwise every added rate has the combo box's drop-down
    // list invalidated, a round trip to the window server apiece under Wine.
    if (comboExists) m_sampleRateCombo.SendMessage(WM_SETREDRAW, FALSE, 0);
    if (comboExists) m_sampleRateCombo.ResetContent();

    _VESK_SAMPLE_RATE_INFO rates{};
    if (theDrv.LoadDevices() == 0 && theDrv.m_devices.GetSize() > 0 &&
        theDrv.GetSampleRate(&rates) == 0) {
        theDrv.m_sampleRates = rates;
        currentRate = rates.CurrentRate;
        if (comboExists) {
            const vesk::SampleRateChoice choice = vesk::SampleRateChoices(theDrv.m_sampleRates);
            m_sampleRateCombo.SetCurSel(-1);
            int selectedIndex = -1;
            for (size_t i = 0; i < choice.entries.size(); ++i) {
                const int added = m_sampleRateCombo.AddString(choice.entries[i].text);
                if (added < 0) continue;
                m_sampleRateCombo.SetItemData(added, choice.entries[i].itemData);
                if (static_cast<int>(i) == choice.selected) selectedIndex = added;
            }
            m_sampleRateCombo.SetCurSel(selectedIndex);
        }
    }
    if (comboExists) {
        m_sampleRateCombo.SendMessage(WM_SETREDRAW, TRUE, 0);
        m_sampleRateCombo.Invalidate();
    }

    CMainFrame::SetStatusPaneText(StatusPane::SampleRate, vesk::SampleRatePaneText(currentRate));
    if (comboExists)
        EnableSampleRateCombo(m_sampleRateCombo.GetCount() > 0 && theDrv.m_sampleRateMode != 1);
}

void CDlgPgSynchronisation::ShowRateModeInRadios() {
    m_rateModeRadio = theDrv.m_sampleRateMode != 0 ? 1 : 0;
    UpdateData(FALSE);
}

void CDlgPgSynchronisation::ApplyEnablingRules() {
    const BOOL deviceIsMaster = theDrv.m_clockMaster.MasterType == 1;
    m_manualRateButton.EnableWindow(deviceIsMaster);
    m_automaticRateButton.EnableWindow(deviceIsMaster);
    EnableSampleRateCombo(m_sampleRateCombo.GetCount() > 0 && theDrv.m_sampleRateMode != 1);
    const bool deviceSelected = m_syncList.GetSelectedIndex() > 0;
    m_changeModeButton.EnableWindow(deviceSelected);
    DescribeDisabled(m_changeModeAccessible, deviceSelected, vesk::IDS_ACC_SELECT_DEVICE);
}

void CDlgPgSynchronisation::EnableSampleRateCombo(bool enable) {
    m_sampleRateCombo.EnableWindow(enable);
    // Disabled with rates to choose from: the automatic mode lets the clock master set it.
    DescribeDisabled(m_sampleRateComboAccessible,
                     enable || theDrv.m_sampleRateMode == 0 || m_sampleRateCombo.GetCount() == 0,
                     vesk::IDS_ACC_RATE_SET_BY_MASTER);
}

void CDlgPgSynchronisation::OnManualRateClicked() {
    OnRateModeClicked(IDC_RATE_MANUAL);
}

void CDlgPgSynchronisation::OnAutomaticRateClicked() {
    OnRateModeClicked(IDC_RATE_AUTOMATIC);
}

void CDlgPgSynchronisation::OnRateModeClicked(int clickedId) {
    // An automatic radio button unchecks only the visible buttons of its group, and the
    // automatic one is never visible: once checked by the driver's mode it would stay checked
    // and the group would always read as automatic.
    ::CheckRadioButton(m_hWnd, IDC_RATE_MANUAL, IDC_RATE_AUTOMATIC, clickedId);
    UpdateData(TRUE);
    theDrv.m_sampleRateMode = m_rateModeRadio != 0 ? 1 : 0;
    EnableSampleRateCombo(theDrv.m_sampleRateMode == 0);
    m_syncApplyButton.EnableWindow(TRUE);
}

void CDlgPgSynchronisation::OnSampleRateSelected() {
    m_rateApplyButton.EnableWindow(FALSE);
    const int selected = m_sampleRateCombo.GetCurSel();
    if (selected >= 0 && m_sampleRateCombo.GetItemData(selected) != 0)
        m_rateApplyButton.EnableWindow(TRUE);
}

void CDlgPgSynchronisation::OnListItemChanged(NMHDR* header, LRESULT* result) {
    *result = 0;
    // The rebuild brings the radios and buttons up to date once, at its end.
    if (m_syncList.IsRebuilding()) return;
    const int row = reinterpret_cast<const NMLISTVIEW*>(header)->iItem;
    const int rowCount = m_syncList.GetItemCount();
    if (m_notificationsArmed) {
        m_notificationsArmed = false;
        // A notification for all rows at once (-1) names no row whose box could have changed;
        // checking "row -1" would check every row.
        if (row >= 0 && row < rowCount) {
            if (m_syncList.GetCheck(row)) {
                if (row != m_clockMasterRow) {
                    m_clockMasterRow = row;
                    for (int other = 0; other < rowCount; ++other)
                        if (other != row) m_syncList.SetCheck(other, FALSE);
                    m_syncApplyButton.EnableWindow(TRUE);
                }
            } else if (row == m_clockMasterRow) {
                // The clock master cannot be unchecked; only another row can take its place.
                m_syncList.SetCheck(row, TRUE);
            }
        }
        if (m_clockMasterRow >= rowCount) m_clockMasterRow = -1;
        if (m_clockMasterRow >= 0) {
            const DWORD_PTR itemData = m_syncList.GetItemData(m_clockMasterRow);
            if (itemData == kPcDriverItemData) {
                theDrv.m_clockMaster.MasterType = 0;
                theDrv.m_clockMaster.MasterDeviceId = 0;
                theDrv.m_sampleRateMode = 0;
            } else if (const _VESK_DEVICE_PROPERTIES* device =
                           theDrv.m_devices.Find(static_cast<int>(itemData))) {
                theDrv.m_clockMaster.MasterDeviceId = device->DeviceId;
                theDrv.m_clockMaster.MasterType = 1;
            }
            m_syncList.SetItemText(kPcDriverRow, 2,
                                   vesk::ClockMasterText(theDrv.m_clockMaster.MasterType));
        }
        m_notificationsArmed = true;
    }
    ShowRateModeInRadios();
    ApplyEnablingRules();
}

void CDlgPgSynchronisation::OnListDoubleClick(NMHDR*, LRESULT* result) {
    *result = 0;
    ChangeModeOfSelectedDevice();
}

void CDlgPgSynchronisation::OnChangeSyncMode() {
    ChangeModeOfSelectedDevice();
}

void CDlgPgSynchronisation::ChangeModeOfSelectedDevice() {
    const int row = m_syncList.GetSelectedIndex();
    if (row < 0) return;
    const DWORD_PTR itemData = m_syncList.GetItemData(row);
    if (itemData == kPcDriverItemData) return;
    const int index = static_cast<int>(itemData);
    const _DEVICE_SYNC_MODE_INFO* record = theDrv.m_syncModes.Find(index);
    if (record == nullptr) return;

    _DEVICE_SYNC_MODE_INFO copy;
    std::memcpy(&copy, record, sizeof copy);
    const uint32_t generation = theDrv.m_syncModesGeneration;
    const std::weak_ptr<const bool> alive = LifetimeToken();
    CSubDlgDeviceSynch dialog(&copy, this);
    if (dialog.DoModal() != IDOK || alive.expired() || m_hWnd == nullptr) return;

    // While the dialog ran, a refresh may have reloaded the records (and the list): the one we
    // copied may be freed. Its result then belongs to nothing the user still sees; drop it.
    _DEVICE_SYNC_MODE_INFO* target = theDrv.m_syncModes.Find(index);
    if (generation != theDrv.m_syncModesGeneration || target == nullptr ||
        target->DeviceId != copy.DeviceId)
        return;
    std::memcpy(target, &copy, sizeof copy);
    m_notificationsArmed = false;
    m_syncList.SetItemText(row, 2, vesk::SyncModeText(target->CurrentMode));
    m_notificationsArmed = true;
    m_syncApplyButton.EnableWindow(TRUE);
}

void CDlgPgSynchronisation::OnSyncApply() {
    if (theDrv.StopStreaming() == 0) {
        theDrv.SetClockMaster(&theDrv.m_clockMaster);
        theDrv.SetSampleRateMode(theDrv.m_sampleRateMode);
        theDrv.SaveSyncModes();
        theDrv.StartStreaming();
        RefreshSyncList();
        RefreshSampleRates();
    }
    m_syncApplyButton.EnableWindow(FALSE);
}

void CDlgPgSynchronisation::OnRateApply() {
    const int selected = m_sampleRateCombo.GetCurSel();
    if (selected >= 0) {
        const uint32_t rate = static_cast<uint32_t>(m_sampleRateCombo.GetItemData(selected));
        if (rate != 0) {
            theDrv.m_sampleRates.CurrentRate = rate;
            if (theDrv.SetSampleRate(rate) == VESK_E_WDM_DEVICE_IN_USE) {
                const std::weak_ptr<const bool> alive = LifetimeToken();
                MessageBox(LoadStringText(vesk::IDS_WDM_IN_USE), nullptr,
                           MB_ICONEXCLAMATION | MB_OK);
                if (alive.expired() || m_hWnd == nullptr) return;
            }
        }
    }
    RefreshSyncList();
    RefreshSampleRates();
    m_rateApplyButton.EnableWindow(FALSE);
}
