// Views: the child window of a frame that shows its document. A form view is a child dialog
// made from a template.
#pragma once

#include "framework/Dialog.h"
#include "framework/Wnd.h"

class CDocument;
class CFrameWnd;
struct CCreateContext;

class CView : public CWnd {
  public:
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // Runs when a document is attached: at the first New and again at every later New or Open.
    virtual void OnInitialUpdate() {}
    // Creates the view's window as the frame's pane.
    virtual BOOL CreateView(CWnd* parent, const RECT& rect, UINT id, CCreateContext* context);

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    BOOL OnCmdMsg(UINT id, int code) override;

  protected:
    void PostNcDestroy() override { delete this; }
    // Joins the document of the creation context and remembers the frame.
    void JoinFrameAndDocument(CWnd* parent, CCreateContext* context);
    DECLARE_MESSAGE_MAP()

  private:
    friend class CDocument;
    CDocument* m_pDocument = nullptr;
    CFrameWnd* m_parentFrame = nullptr;
};

class CFormView : public CView {
  public:
    explicit CFormView(UINT templateId) : m_templateId(templateId) {}

    BOOL CreateView(CWnd* parent, const RECT& rect, UINT id, CCreateContext* context) override;
    // Binds the controls (data exchange into the controls).
    void OnInitialUpdate() override;
    // Keyboard navigation among the form's controls.
    BOOL PreTranslateMessage(MSG* msg) override;
    // Resizes the parent frame so that the form fits it; with `shrinkOnly` the frame only ever
    // gets smaller, in each direction separately.
    void ResizeParentToFit(BOOL shrinkOnly = TRUE);

    UINT GetTemplateId() const { return m_templateId; }
    SIZE GetFormSize() const { return m_formSize; }

  protected:
    DECLARE_MESSAGE_MAP()

  private:
    static INT_PTR CALLBACK FormDialogProc(HWND, UINT, WPARAM, LPARAM);
    UINT m_templateId;
    SIZE m_formSize{};
};
