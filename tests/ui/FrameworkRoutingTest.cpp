// The document/view framework on its own: creation through the template, command routing
// from the frame through view and document to the application, message-map inheritance, and
// the frame's end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PanelHarness.h"
#include "framework/Framework.h"

namespace uitest {
namespace {

std::vector<std::string>& Calls() {
    static std::vector<std::string> calls;
    return calls;
}

constexpr UINT kViewAndApp = 40001;
constexpr UINT kDocumentAndApp = 40002;
constexpr UINT kFrameOnly = 40003;
constexpr UINT kAppOnly = 40004;
constexpr UINT kNobody = 40005;
constexpr UINT kRangeFirst = 40010;
constexpr UINT kRangeLast = 40019;
constexpr UINT kAskFrame = WM_APP + 77;

class RoutingDoc : public CDocument {
  protected:
    void OnDocumentCommand() { Calls().push_back("document"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RoutingDoc, CDocument)
ON_COMMAND(kDocumentAndApp, &RoutingDoc::OnDocumentCommand)
END_MESSAGE_MAP()

class RoutingView : public CFormView {
  public:
    RoutingView() : CFormView(IDD_VESK_CPL_FORM) {}
    void OnInitialUpdate() override {
        CFormView::OnInitialUpdate();
        Calls().push_back("initial update");
    }

  protected:
    void OnViewCommand() { Calls().push_back("view"); }
    void OnRange(UINT id) { Calls().push_back("range " + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RoutingView, CFormView)
ON_COMMAND(kViewAndApp, &RoutingView::OnViewCommand)
ON_COMMAND_RANGE(kRangeFirst, kRangeLast, &RoutingView::OnRange)
END_MESSAGE_MAP()

class BaseFrame : public CFrameWnd {
  protected:
    LRESULT OnAsk(WPARAM wParam, LPARAM) { return static_cast<LRESULT>(wParam) + 1; }
    void OnFrameCommand() { Calls().push_back("base frame"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseFrame, CFrameWnd)
ON_MESSAGE(kAskFrame, &BaseFrame::OnAsk)
ON_COMMAND(kFrameOnly, &BaseFrame::OnFrameCommand)
END_MESSAGE_MAP()

class RoutingFrame : public BaseFrame {
  protected:
    int OnCreate(LPCREATESTRUCTA cs) {
        Calls().push_back("frame create");
        return BaseFrame::OnCreate(cs);
    }
    void OnDestroy() {
        Calls().push_back("frame destroy");
        BaseFrame::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RoutingFrame, BaseFrame)
ON_WM_CREATE()
ON_WM_DESTROY()
END_MESSAGE_MAP()

class RoutingApp : public CWinApp {
  protected:
    void OnAppCommand() { Calls().push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RoutingApp, CWinApp)
ON_COMMAND(kViewAndApp, &RoutingApp::OnAppCommand)
ON_COMMAND(kDocumentAndApp, &RoutingApp::OnAppCommand)
ON_COMMAND(kAppOnly, &RoutingApp::OnAppCommand)
ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

TEST(Framework, TemplateCreatesFrameViewAndDocumentAndCommandsRouteInOrder) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    Calls().clear();
    ForgetQuit();
    RoutingApp app;
    app.m_hInstance = ::GetModuleHandleA(nullptr);
    app.m_nCmdShow = SW_SHOWNOACTIVATE;
    app.AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, RUNTIME_CLASS(RoutingDoc), RUNTIME_CLASS(RoutingFrame),
        RUNTIME_CLASS(RoutingView)));
    CCommandLineInfo info;
    ASSERT_TRUE(app.ProcessShellCommand(info));
    auto* frame = dynamic_cast<RoutingFrame*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    auto* view = dynamic_cast<RoutingView*>(frame->GetActiveView());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(dynamic_cast<RoutingDoc*>(view->GetDocument()), nullptr);
    EXPECT_EQ(view->GetParentFrame(), frame);
    EXPECT_EQ(::GetDlgCtrlID(view->m_hWnd), AFX_IDW_PANE_FIRST);
    EXPECT_EQ(Calls(), (std::vector<std::string>{"frame create", "initial update"}));
    // The first activation used the start-up show state, and only the first.
    EXPECT_TRUE(::IsWindowVisible(frame->m_hWnd));
    EXPECT_EQ(app.m_nCmdShow, -1);
    // The frame's title field of string 128, extended with nothing: the document has no name.
    EXPECT_EQ(WindowText(frame->m_hWnd), "VESK_CPL");

    auto command = [&](UINT id) {
        Calls().clear();
        ::SendMessageA(frame->m_hWnd, WM_COMMAND, id, 0);
        return Calls();
    };
    using Seen = std::vector<std::string>;
    EXPECT_EQ(command(kViewAndApp), Seen{"view"});
    EXPECT_EQ(command(kDocumentAndApp), Seen{"document"});
    EXPECT_EQ(command(kFrameOnly), Seen{"base frame"});
    EXPECT_EQ(command(kAppOnly), Seen{"app"});
    EXPECT_EQ(command(kNobody), Seen{});
    EXPECT_EQ(command(kRangeFirst + 3), Seen{"range 40013"});
    EXPECT_EQ(command(kRangeLast + 1), Seen{});
    // An accelerator's command (code 1) is a command like a menu's.
    Calls().clear();
    ::SendMessageA(frame->m_hWnd, WM_COMMAND, MAKEWPARAM(kAppOnly, 1), 0);
    EXPECT_EQ(Calls(), Seen{"app"});
    // A message entry of the base class's map answers with its handler's result.
    EXPECT_EQ(::SendMessageA(frame->m_hWnd, kAskFrame, 41, 0), 42);

    // New again reuses document, frame and view and runs the initial update again.
    CDocument* document = view->GetDocument();
    EXPECT_EQ(command(ID_FILE_NEW), Seen{"initial update"});
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_EQ(view->GetDocument(), document);

    // Closing the main frame ends the loop; the view leaves its document.
    Calls().clear();
    ::SendMessageA(frame->m_hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(Calls(), Seen{"frame destroy"});
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(document->GetFirstView(), nullptr);
    EXPECT_TRUE(PumpUntil([] { return QuitSeen(); }));
    ForgetQuit();
}

// A frame whose creation is refused never shows and leaves nothing behind.
class RefusingFrame : public CFrameWnd {
  public:
    BOOL PreCreateWindow(CREATESTRUCTA&) override { return FALSE; }
};

class FailingCreateFrame : public CFrameWnd {
  protected:
    int OnCreate(LPCREATESTRUCTA) { return -1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(FailingCreateFrame, CFrameWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

TEST(Framework, FailedFrameCreationFailsTheNewCommand) {
    ASSERT_EQ(AfxGetApp(), nullptr);
    for (const CRuntimeClass* frameClass :
         {RUNTIME_CLASS(RefusingFrame), RUNTIME_CLASS(FailingCreateFrame)}) {
        CWinApp app;
        app.m_hInstance = ::GetModuleHandleA(nullptr);
        app.AddDocTemplate(std::make_unique<CSingleDocTemplate>(
            IDR_MAINFRAME, RUNTIME_CLASS(RoutingDoc), frameClass, RUNTIME_CLASS(RoutingView)));
        CCommandLineInfo info;
        EXPECT_FALSE(app.ProcessShellCommand(info));
        EXPECT_EQ(app.m_pMainWnd, nullptr);
        auto* docTemplate = dynamic_cast<CSingleDocTemplate*>(app.GetFirstDocTemplate());
        ASSERT_NE(docTemplate, nullptr);
        EXPECT_EQ(docTemplate->GetOnlyDocument(), nullptr);
    }
    PumpPending();
    ForgetQuit();
}

}  // namespace
}  // namespace uitest
