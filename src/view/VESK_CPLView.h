// The frame's one view: a form with the navigation tree on the left and one settings page at a
// time to its right. It owns the pages and the driver-event notificator, and turns device
// notifications and driver events into page refreshes.
#pragma once

#include <cstdint>

#include "driver/Vesk1394Notificator.h"
#include "framework/AccessibleText.h"
#include "framework/Framework.h"
#include "pages/DlgPgASIOSettings.h"
#include "pages/DlgPgChannels.h"
#include "pages/DlgPgDevices.h"
#include "pages/DlgPgStreams.h"
#include "pages/DlgPgSynchronisation.h"
#include "view/TreeCtrlEx.h"

class CVESK_CPLView : public CFormView {
  public:
    // Where every page sits in the view's client area, in pixels at 96 DPI.
    static constexpr int kPageX = 140;
    static constexpr int kPageY = 2;
    // The separator right of the tree in the English form, in dialog units.
    static constexpr int kEnglishSeparatorX = 91;
    // The navigation tree's images, square, in pixels at 96 DPI.
    static constexpr int kTreeImageSize = 16;
    // One WM_DRIVER_EVENT reads at most this many records: a driver that never runs out of
    // events must not hold the user interface in the draining loop. Records left over are
    // read at the driver's next signal.
    static constexpr int kMaxEventsPerMessage = 64;

    CVESK_CPLView();
    ~CVESK_CPLView() override;

    // The main frame's active view, or null (the pages reach their siblings through it).
    static CVESK_CPLView* Active();

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;

    // Every page re-reads the driver: Devices, Input and Output Channels, Streams, ASIO
    // settings, Synchronisation.
    void RefreshAllPages();
    // After the Devices page changed names or ranking: both Channels pages and the
    // synchronisation list.
    void OnDeviceSettingsChanged();
    // Opens the main connection if it is closed, starts the notificator with it, refreshes.
    void ReconnectDriver();
    // The frame moved to a monitor of another DPI: pages, tree images and list columns follow.
    void OnDpiChanged(UINT dpi);

    CTreeCtrlEx m_navigationTree;
    CAccessibleText m_navigationTreeAccessible;
    HTREEITEM m_devicesItem = nullptr;
    HTREEITEM m_settingsItem = nullptr;
    CImageList m_treeImages;
    // Constructed in this order and destroyed in the reverse one.
    CDlgPgStreams m_pageStreams;
    CDlgPgChannels m_pageInputChannels;
    CDlgPgChannels m_pageOutputChannels;
    CDlgPgDevices m_pageDevices;
    CDlgPgASIOSettings m_pageAsioSettings;
    CDlgPgSynchronisation m_pageSynchronisation;
    bool m_firstInitialUpdate = true;
    CVesk1394Notificator m_notificator;
    void* m_deviceNotification = nullptr;
    // The DPI the pixel lengths of the view and its pages are scaled for.
    UINT m_dpi = kBaseDpi;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnTreeSelectionChanged(NMHDR* header, LRESULT* result);
    void OnDestroy();
    BOOL OnDeviceChange(UINT event, DWORD_PTR data);
    LRESULT OnDriverEvent(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

  private:
    void CreatePages();
    // Where the pages' left edge is, in pixels at `dpi`.
    int PageLeft(UINT dpi) const;
    void LoadTreeImages();
    void FillNavigationTree();
    void HideAllPages();
    void StartNotificator();
    bool PagesCreated() const;
};
