#include "pages/DlgPgStreams.h"

#include "app/MainFrame.h"
#include "model/Drv.h"
#include "model/StreamText.h"
#include "model/TextField.h"
#include "res/StringIds.h"
#include "res/resource.h"

namespace {

constexpr DWORD kListExtendedStyle =
    LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

struct Column {
    uint32_t headerId;
    int width;
};
constexpr Column kColumns[] = {
    {vesk::IDS_COL_DEVICE_NAME, 140},  {vesk::IDS_COL_AUDIO_OUT_PLUG, 90},
    {vesk::IDS_COL_AUDIO_IN_PLUG, 90}, {vesk::IDS_COL_SYNCH_OUT_PLUG, 90},
    {vesk::IDS_COL_SYNCH_IN_PLUG, 90},
};

}  // namespace

BEGIN_MESSAGE_MAP(CDlgPgStreams, CDialogPage)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_STREAM_LIST, &CDlgPgStreams::ShowStreamDetails)
END_MESSAGE_MAP()

CDlgPgStreams::CDlgPgStreams(CWnd* parent) : CDialogPage(IDD_PAGE_STREAMS, parent) {}

void CDlgPgStreams::DoDataExchange(CDataExchange* dx) {
    CDialogPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_STREAM_LIST, m_streamList);
    DDX_Text(dx, IDC_STREAM_DETAIL, m_detailText);
}

BOOL CDlgPgStreams::OnInitDialog() {
    CDialogPage::OnInitDialog();
    NameControl(m_streamListAccessible, m_streamList, vesk::IDS_ACC_STREAMS);
    {
        const CListCtrlEx::Rebuild rebuild(m_streamList);
        int index = 0;
        for (const Column& column : kColumns)
            m_streamList.InsertColumn(index++, LoadStringText(column.headerId), LVCFMT_LEFT,
                                      ScaleForWindow(m_hWnd, column.width));
    }
    m_streamList.FitColumnsToWidth();
    m_streamList.SetExtendedStyle(m_streamList.GetExtendedStyle() | kListExtendedStyle);
    RefreshStreams();
    return TRUE;
}

void CDlgPgStreams::RefreshStreams() {
    const int selectedRow = m_streamList.GetSelectedIndex();
    m_detailText.Empty();
    bool allStreaming = true;
    {
        const CListCtrlEx::Rebuild rebuild(m_streamList);
        m_streamList.DeleteAllItems();
        if (theDrv.LoadDevices() == 0) {
            for (int i = 0; i < theDrv.m_devices.GetSize(); ++i) {
                const _VESK_DEVICE_PROPERTIES* device = theDrv.m_devices[i];
                const int row = m_streamList.InsertItem(i, vesk::FieldText(device->DeviceName),
                                                        static_cast<LPARAM>(i));
                if (row < 0) continue;
                _VESK_STREAM_INFO info{};
                if (theDrv.GetStreamInfo(&device->DeviceId, &info) != 0) continue;
                for (int plug = 0; plug < static_cast<int>(VESK_PLUG_COUNT); ++plug)
                    m_streamList.SetItemText(row, plug + 1, vesk::PlugCellText(info.Plugs[plug]));
                if (!vesk::IsDeviceStreaming(info)) allStreaming = false;
            }
        }
    }

    const int rowCount = m_streamList.GetItemCount();
    if (rowCount > 0)
        m_streamList.SelectRow(selectedRow >= 0 && selectedRow < rowCount ? selectedRow : 0);

    CMainFrame::SetStatusPaneText(StatusPane::Streams,
                                  vesk::StreamsSummaryText(rowCount, allStreaming));
    UpdateData(FALSE);
}

void CDlgPgStreams::ShowStreamDetails(NMHDR*, LRESULT* result) {
    if (result != nullptr) *result = 0;
    // Rows being inserted are never selected: the refresh shows the selection's detail after.
    if (m_streamList.IsRebuilding()) return;
    m_detailText.Empty();
    const int row = m_streamList.GetSelectedIndex();
    if (row >= 0) {
        // Another page may have reloaded the devices since the list was built: an index that
        // names no record any more gets no detail.
        const int index = static_cast<int>(m_streamList.GetItemData(row));
        _VESK_STREAM_INFO info{};
        if (const _VESK_DEVICE_PROPERTIES* device = theDrv.m_devices.Find(index);
            device != nullptr && theDrv.GetStreamInfo(&device->DeviceId, &info) == 0)
            m_detailText = vesk::StreamDetailText(info);
    }
    UpdateData(FALSE);
}
