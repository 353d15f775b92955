// The application object: start-up, the document templates, the message loop with its idle
// work, and the framework's File commands.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/CmdTarget.h"

class CDocTemplate;
class CWnd;

// What the shell asks the application to do at start-up; the default is a new document.
class CCommandLineInfo {
  public:
    enum ShellCommand { FileNew, FileOpen, FileNothing };
    ShellCommand m_nShellCommand = FileNew;
    std::string m_strFileName;
};

class CWinApp : public CCmdTarget {
  public:
    // The first application object constructed becomes the current one (AfxGetApp).
    CWinApp();
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    // The command-line text after the program name.
    std::string m_lpCmdLine;
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();
    // The message loop; returns the exit code.
    virtual int Run();
    // Idle work between messages: the main frame's status text and temporary objects.
    virtual BOOL OnIdle(LONG count);
    // Offers a message to the windows from its target up to the main window.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Translates and dispatches one message that was already taken from the queue.
    void ProcessMessage(MSG& msg);

    void AddDocTemplate(std::unique_ptr<CDocTemplate> docTemplate);
    CDocTemplate* GetFirstDocTemplate() const;
    BOOL ProcessShellCommand(CCommandLineInfo& info);

    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();

    BOOL OnCmdMsg(UINT id, int code) override;

    DECLARE_MESSAGE_MAP()

  protected:
    // The process's exit code: the quit message's, or what a start that ends in InitInstance
    // set.
    int m_exitCode = 0;

  private:
    std::vector<std::unique_ptr<CDocTemplate>> m_templates;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// The body of WinMain: hands the start parameters to the current application object, runs
// InitInstance and, when it succeeds, the message loop.
int AfxWinMain(HINSTANCE instance, LPSTR commandLine, int cmdShow);
