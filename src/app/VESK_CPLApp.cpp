#include "app/VESK_CPLApp.h"

#include <mbstring.h>

#include <memory>
#include <string>

#include "app/AboutDlg.h"
#include "app/AppMessages.h"
#include "app/FirstInstanceHook.h"
#include "app/MainFrame.h"
#include "app/VESK_CPLDoc.h"
#include "framework/Language.h"
#include "res/StringIds.h"
#include "view/VESK_CPLView.h"

BEGIN_MESSAGE_MAP(CVESK_CPLApp, CWinApp)
ON_COMMAND(ID_APP_ABOUT, &CVESK_CPLApp::OnAppAbout)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

CVESK_CPLApp::CVESK_CPLApp() = default;

CVESK_CPLApp::~CVESK_CPLApp() {
    if (m_singleInstanceMutex != nullptr) ::CloseHandle(m_singleInstanceMutex);
}

CVESK_CPLApp* CVESK_CPLApp::Current() {
    return dynamic_cast<CVESK_CPLApp*>(AfxGetApp());
}

namespace {

// The C library's white space, whatever the locale says.
bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

HWND FindRunningInstance() {
    return ::FindWindowA(nullptr, LoadStringText(vesk::IDS_WINDOW_TITLE));
}

}  // namespace

bool CVESK_CPLApp::FindCommandLineSwitch(const char* commandLine, const char* switchText) {
    if (commandLine == nullptr || switchText == nullptr) return false;
    const auto* position = reinterpret_cast<const unsigned char*>(commandLine);
    while (*position != '\0') {
        while (*position != '\0' && IsSpace(*position)) ++position;
        const unsigned char* start = position;
        while (*position != '\0' && !IsSpace(*position)) ++position;
        if (position == start) continue;
        const std::string token(start, position);
        if (_mbsicmp(reinterpret_cast<const unsigned char*>(token.c_str()),
                     reinterpret_cast<const unsigned char*>(switchText)) == 0)
            return true;
    }
    return false;
}

BOOL CVESK_CPLApp::InitInstance() {
    const char* commandLine = m_lpCmdLine.c_str();
    if (FindCommandLineSwitch(commandLine, "-exit")) {
        m_exitCode = EndRunningInstance();
        return FALSE;
    }
    if (FindCommandLineSwitch(commandLine, "-asio")) m_asioPageRequested = true;

    m_singleInstanceMutex = ::CreateMutexA(nullptr, TRUE, SINGLE_INSTANCE_MUTEX_NAME);
    const DWORD error = ::GetLastError();
    if (m_singleInstanceMutex != nullptr && error != ERROR_ALREADY_EXISTS)
        return StartFirstInstance();
    HandOverToRunningInstance();
    return FALSE;
}

BOOL CVESK_CPLApp::StartFirstInstance() {
    OnFirstInstanceStarting(m_hInstance);
    AfxChooseUserInterfaceLanguage();

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);

    m_appIcon = static_cast<HICON>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP),
                                                IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR));
    // The switch decides; whatever the launcher asked for is replaced.
    m_nCmdShow = FindCommandLineSwitch(m_lpCmdLine.c_str(), "-hide") ? SW_HIDE : SW_SHOW;

    AddDocTemplate(std::make_unique<CSingleDocTemplate>(IDR_MAINFRAME, RUNTIME_CLASS(CVESK_CPLDoc),
                                                        RUNTIME_CLASS(CMainFrame),
                                                        RUNTIME_CLASS(CVESK_CPLView)));
    // A default description means "new document": the switches never reach the framework.
    CCommandLineInfo shellCommand;
    if (!ProcessShellCommand(shellCommand)) return FALSE;
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CVESK_CPLApp::EndRunningInstance() {
    // Long enough for a panel that is busy with a driver request; an installer that gets 1
    // says so instead of replacing files that are still in use.
    constexpr DWORD kEndTimeoutMs = 10000;
    HWND running = FindRunningInstance();
    if (running == nullptr) return 0;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(running, &processId);
    HANDLE process = processId != 0 ? ::OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    if (!::PostMessageA(running, WM_COMMAND, ID_TRAY_QUIT, 0)) {
        if (process != nullptr) ::CloseHandle(process);
        return 1;
    }
    if (process == nullptr) {
        // Without a handle on the process its window is all there is to watch.
        for (DWORD waited = 0; ::IsWindow(running) && waited < kEndTimeoutMs; waited += 50)
            ::Sleep(50);
        return ::IsWindow(running) ? 1 : 0;
    }
    const DWORD waited = ::WaitForSingleObject(process, kEndTimeoutMs);
    ::CloseHandle(process);
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

void CVESK_CPLApp::HandOverToRunningInstance() {
    HWND running = FindRunningInstance();
    if (running == nullptr) return;
    // Taken first: a modal dialog of the running instance is what must come to the front.
    HWND popup = ::GetLastActivePopup(running);
    if (::IsIconic(running)) ::ShowWindow(running, SW_RESTORE);
    if (m_asioPageRequested) ::PostMessageA(running, WM_SELECT_ASIO_PAGE, 0, 0);
    ::ShowWindow(popup, SW_SHOW);
    ::SetForegroundWindow(popup);
}

void CVESK_CPLApp::OnAppAbout() {
    CAboutDlg about;
    about.DoModal();
}
