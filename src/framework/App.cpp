#include "framework/App.h"

#include "framework/DocTemplate.h"
#include "framework/Frame.h"
#include "framework/Wnd.h"
#include "os/win32/SystemLibrary.h"

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_currentApp;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_currentApp != nullptr && g_currentApp->m_hInstance != nullptr)
        return g_currentApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

CWinApp::CWinApp() {
    if (g_currentApp == nullptr) g_currentApp = this;
}

CWinApp::~CWinApp() {
    // Windows still open (a test that never quit) are closed while their objects exist.
    if (m_pMainWnd != nullptr && m_pMainWnd->m_hWnd != nullptr) m_pMainWnd->DestroyWindow();
    m_templates.clear();
    CWnd::DeleteTempMap();
    if (g_currentApp == this) g_currentApp = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
END_MESSAGE_MAP()

int CWinApp::ExitInstance() {
    return m_exitCode;
}

BOOL CWinApp::OnCmdMsg(UINT id, int code) {
    return CCmdTarget::OnCmdMsg(id, code);
}

BOOL CWinApp::PreTranslateMessage(MSG* msg) {
    // From the target up to the main frame. Windows outside the frame (the simulated build's
    // Driver Simulator window) keep their keys: the frame's accelerators are not theirs.
    HWND stop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    for (HWND hWnd = msg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hWnd); wnd && wnd->PreTranslateMessage(msg))
            return TRUE;
        if (hWnd == stop) break;
    }
    return FALSE;
}

void CWinApp::ProcessMessage(MSG& msg) {
    if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

BOOL CWinApp::OnIdle(LONG count) {
    if (count == 0) {
        if (auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd)) frame->OnIdleUpdate();
        CWnd::DeleteTempMap();
    }
    return FALSE;
}

int CWinApp::Run() {
    MSG msg{};
    for (;;) {
        LONG idleCount = 0;
        while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) break;
        }
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        ProcessMessage(msg);
    }
    m_exitCode = static_cast<int>(msg.wParam);
    return ExitInstance();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate) {
    if (docTemplate) m_templates.push_back(std::move(docTemplate));
}

CDocTemplate* CWinApp::GetFirstDocTemplate() const {
    return m_templates.empty() ? nullptr : m_templates.front().get();
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen: {
            CDocTemplate* docTemplate = GetFirstDocTemplate();
            return docTemplate != nullptr &&
                   docTemplate->OpenDocumentFile(info.m_strFileName.c_str()) != nullptr;
        }
        case CCommandLineInfo::FileNothing:
            return TRUE;
    }
    return FALSE;
}

void CWinApp::OnFileNew() {
    if (CDocTemplate* docTemplate = GetFirstDocTemplate()) docTemplate->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
    CDocTemplate* docTemplate = GetFirstDocTemplate();
    if (docTemplate == nullptr) return;
    // "All Files (*.*)" and its pattern, each ended by a zero, the list by a second one.
    std::string filter = LoadStringText(AFX_IDS_FILTER_ALL).str();
    filter.push_back('\0');
    filter += "*.*";
    filter.push_back('\0');
    filter.push_back('\0');
    char fileName[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = fileName;
    ofn.nMaxFile = sizeof(fileName);
    ofn.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    // The common dialogs are loaded only when the user asks for one: every start would pay for
    // them otherwise.
    using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
    HMODULE commonDialogs = os::LoadSystemLibrary("comdlg32.dll");
    const auto getOpenFileName =
        commonDialogs == nullptr
            ? nullptr
            : reinterpret_cast<GetOpenFileNameFunction>(
                  reinterpret_cast<void*>(::GetProcAddress(commonDialogs, "GetOpenFileNameA")));
    const BOOL chosen = getOpenFileName != nullptr && getOpenFileName(&ofn);
    if (commonDialogs != nullptr) ::FreeLibrary(commonDialogs);
    if (!chosen) return;
    docTemplate->OpenDocumentFile(fileName);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd != nullptr) m_pMainWnd->SendMessage(WM_CLOSE);
}

int AfxWinMain(HINSTANCE instance, LPSTR commandLine, int cmdShow) {
    os::RestrictDllSearchToSystem();
    CWinApp* app = AfxGetApp();
    if (app == nullptr) return -1;
    app->m_hInstance = instance;
    app->m_lpCmdLine = commandLine ? commandLine : "";
    app->m_nCmdShow = cmdShow;
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
}
