// The main frame: a fixed-size window around the navigation view with a menu, a status bar of
// four panes and an icon in the notification area. Closing it only hides it.
#pragma once

#include "app/TrayIcon.h"
#include "framework/Framework.h"

class CMainFrame : public CFrameWnd {
  public:
    // The panes: 0 the page on show, 1 the device count, 2 the sampling rate, 3 the streams.
    static constexpr int kPaneCount = 4;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    CStatusBar m_wndStatusBar;
    CTrayIcon m_trayIcon;

  protected:
    int OnCreate(LPCREATESTRUCTA cs);
    LRESULT OnSelectAsioPage(WPARAM, LPARAM);
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    void OnTrayOpen();
    void OnTrayQuit();
    void OnFileHide();
    void OnSysCommand(UINT command, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

  private:
    void ShowTrayMenu();
};
