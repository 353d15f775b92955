// The Devices page: the connected devices with their names and serial numbers, renaming, and
// the ranking that orders their channels in ASIO hosts. Keeps the status bar's device count.
#pragma once

#include "driver/DeviceRecords.h"
#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "view/DialogPage.h"
#include "view/ListCtrlEx.h"

class CDlgPgDevices : public CDialogPage {
  public:
    explicit CDlgPgDevices(CWnd* parent = nullptr);

    BOOL OnInitDialog() override;

    // Reloads the devices and rebuilds the list in the driver's order; the selected row index
    // is kept when the new list has it.
    void RefreshDevices();

    CStatic m_hintStatic;
    CButton m_upButton;
    CButton m_downButton;
    CButton m_applyButton;
    CButton m_editNameButton;
    CListCtrlEx m_deviceList;
    CAccessibleText m_deviceListAccessible;
    CAccessibleText m_applyAccessible;
    CAccessibleText m_editNameAccessible;
    CAccessibleText m_upAccessible;
    CAccessibleText m_downAccessible;
    CString m_hintText;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnDeviceListItemChanged(NMHDR* header, LRESULT* result);
    void OnDeviceListDoubleClick(NMHDR* header, LRESULT* result);
    void OnEditDeviceName();
    void OnUp();
    void OnDown();
    void OnApply();
    DECLARE_MESSAGE_MAP()

  private:
    void UpdateDeviceButtons();
    void MoveSelectedRow(bool up);
    void RenameSelectedDevice();
    // Puts a device row at `row`: name, serial number and its index in the model as data.
    void InsertDeviceRow(int row, const _VESK_DEVICE_PROPERTIES& device, int deviceIndex);
};
