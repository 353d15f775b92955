// The application object: the command-line switches, the single instance, and the
// single-document window of the first instance.
#pragma once

#include "framework/Framework.h"

// The single-instance mutex (local object namespace).
constexpr const char SINGLE_INSTANCE_MUTEX_NAME[] = "b15657be-162e-4b7b-9ff7-31a4a39cc091";

class CVESK_CPLApp : public CWinApp {
  public:
    CVESK_CPLApp();
    ~CVESK_CPLApp() override;

    // The current application object.
    static CVESK_CPLApp* Current();

    BOOL InitInstance() override;

    // Whether `commandLine` holds `switchText` as a whole token (white space separates tokens,
    // quotes are ordinary characters), in any letter case.
    static bool FindCommandLineSwitch(const char* commandLine, const char* switchText);

    // "-asio" was given: the view opens on the ASIO settings page.
    bool m_asioPageRequested = false;
    HANDLE m_singleInstanceMutex = nullptr;
    // Icon 128, shown in the notification area; never destroyed.
    HICON m_appIcon = nullptr;

  protected:
    void OnAppAbout();
    DECLARE_MESSAGE_MAP()

  private:
    BOOL StartFirstInstance();
    void HandOverToRunningInstance();
    // "-exit": Quit posted to the running panel, then its process waited for, so that an
    // installer may replace its files as soon as this start ends. 0 when no panel runs or it
    // ended; 1 when it could not be told or did not end within the bound.
    static int EndRunningInstance();
};
