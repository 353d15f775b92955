// The main frame: a fixed-size window around the navigation view with a menu, a status bar of
// four panes and an icon in the notification area. Closing it only hides it.
#pragma once

#include "app/TrayIcon.h"
#include "framework/Framework.h"

// The status bar's panes, in their order.
enum class StatusPane : int { PageTitle = 0, DeviceCount, SampleRate, Streams };

class CMainFrame : public CFrameWnd {
  public:
    static constexpr int kPaneCount = 4;

    // Writes `text` into a pane of the main frame's status bar, painted with the next paint;
    // nothing without a main frame or bar. The page title is the frame's message text, which menu
    // prompts replace while a menu is open.
    static void SetStatusPaneText(StatusPane pane, LPCSTR text);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    // The shell's "TaskbarCreated" broadcast (Explorer started again, or for the first time
    // after the panel) has no fixed number: it is looked for here.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    CStatusBar m_wndStatusBar;
    CTrayIcon m_trayIcon;

  protected:
    int OnCreate(LPCREATESTRUCTA cs);
    LRESULT OnSelectAsioPage(WPARAM, LPARAM);
    // The registered message of settings/PanelMessage.h (kNoMessage if it could not be
    // registered).
    static UINT DriverSettingsChangedMessage();
    static UINT TaskbarCreatedMessage();
    // What a registered message is when it could not be registered: no message has it.
    static constexpr UINT kNoMessage = 0xFFFFFFFF;
    static UINT RegisteredMessage(const char* name);
    LRESULT OnDriverSettingsChanged(WPARAM, LPARAM);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnThemeChanged(WPARAM wParam, LPARAM lParam);
    LRESULT ColoursChanged(UINT message, WPARAM wParam, LPARAM lParam);
    static BOOL CALLBACK TellChild(HWND child, LPARAM message);
    LRESULT OnTrayNotify(WPARAM iconId, LPARAM mouseMessage);
    // Moved to a monitor of another DPI: wParam the new DPI, lParam the suggested rectangle.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    void OnTrayOpen();
    void OnTrayQuit();
    void OnFileHide();
    void OnSysCommand(UINT command, LPARAM lParam);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

  private:
    void ShowTrayMenu();
    void SetPaneWidths(UINT dpi);
    // Adds the icon to the notification area; again after a new shell has started.
    void AddTrayIcon();
};
