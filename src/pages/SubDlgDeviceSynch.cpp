#include "pages/SubDlgDeviceSynch.h"

#include "model/SyncText.h"
#include "res/StringIds.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CSubDlgDeviceSynch, CDialog)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_SYNC_LIST, &CSubDlgDeviceSynch::OnModeListItemChanged)
END_MESSAGE_MAP()

CSubDlgDeviceSynch::CSubDlgDeviceSynch(_DEVICE_SYNC_MODE_INFO* syncModeInfo, CWnd* parent)
    : CDialog(IDD_DEVICE_SYNCH, parent), m_syncModeInfo(syncModeInfo) {}

void CSubDlgDeviceSynch::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SYNC_LIST, m_modeList);
}

BOOL CSubDlgDeviceSynch::OnInitDialog() {
    CDialog::OnInitDialog();
    NameControl(m_modeListAccessible, m_modeList, vesk::IDS_ACC_SYNC_MODES);
    m_modeList.SetExtendedStyle(m_modeList.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    m_modeList.InsertColumn(0, "", LVCFMT_LEFT, ScaleForWindow(m_hWnd, 20));
    m_modeList.InsertColumn(1, LoadStringText(vesk::IDS_COL_MODE), LVCFMT_LEFT,
                            ScaleForWindow(m_hWnd, 290));
    m_modeList.FitColumnsToWidth();
    if (m_syncModeInfo != nullptr) {
        const int count = static_cast<int>(vesk::UsableModeCount(*m_syncModeInfo));
        for (int i = 0; i < count; ++i) {
            m_modeList.InsertItem(i, "");
            m_modeList.SetItemText(i, 1, vesk::SyncModeText(m_syncModeInfo->Modes[i]));
            m_modeList.SetItemData(i, static_cast<DWORD_PTR>(i));
            m_modeList.SetCheck(i, FALSE);
        }
        const int current = vesk::CurrentModeIndex(*m_syncModeInfo);
        for (int row = 0; current >= 0 && row < m_modeList.GetItemCount(); ++row)
            if (m_modeList.GetItemData(row) == static_cast<DWORD_PTR>(current))
                m_modeList.SetCheck(row, TRUE);
    }
    m_notificationsArmed = true;
    return TRUE;
}

void CSubDlgDeviceSynch::OnModeListItemChanged(NMHDR* header, LRESULT* result) {
    *result = 0;
    if (!m_notificationsArmed || m_syncModeInfo == nullptr) return;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    const int row = change->iItem;
    if (row < 0 || row >= m_modeList.GetItemCount()) return;
    // The list gives the focus to a row of its own accord when it first gets the keyboard
    // focus; only a changed check box or a new selection is the user's pick, so that the
    // dialog opens with the current mode still the chosen one.
    const bool checkChanged = (change->uChanged & LVIF_STATE) != 0 &&
                              ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) != 0;
    const bool selected = (change->uChanged & LVIF_STATE) != 0 &&
                          (change->uNewState & LVIS_SELECTED) != 0 &&
                          (change->uOldState & LVIS_SELECTED) == 0;
    if (!checkChanged && !selected) return;
    m_notificationsArmed = false;
    for (int other = 0; other < m_modeList.GetItemCount(); ++other)
        m_modeList.SetCheck(other, other == row ? TRUE : FALSE);
    m_notificationsArmed = true;
    const DWORD_PTR modeIndex = m_modeList.GetItemData(row);
    if (modeIndex != CListCtrl::kNoItemData)
        vesk::ChooseSyncMode(*m_syncModeInfo, static_cast<int>(modeIndex));
}
