// The frame window: menu, icon and accelerators from one resource id, the view as its pane,
// a status bar, command routing, and the status texts (menu prompts, idle text).
#pragma once

#include "framework/Wnd.h"

class CDocument;
class CStatusBar;
class CView;
struct CCreateContext;

class CFrameWnd : public CWnd {
  public:
    ~CFrameWnd() override;

    // Creates the frame with menu, icon, accelerators and title of resource `resourceId`.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                   CWnd* parent = nullptr, CCreateContext* context = nullptr);
    // Gives a new frame its sunken client edge, and puts the document's name first in the
    // title when it is added (LoadFrame registers the frame's class).
    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;

    // Puts the status bar at the bottom and the view into the rest of the client area.
    virtual void RecalcLayout(BOOL notify = TRUE);
    CView* GetActiveView() const { return m_activeView; }
    void SetActiveView(CView* view) { m_activeView = view; }
    // Shows the frame; the first activation of the main frame uses the application's show state.
    virtual void ActivateFrame(int cmdShow = -1);
    // Runs the view's initial update, activates the frame and sets its title.
    void InitialUpdateFrame(CDocument* document, BOOL makeVisible);

    // Pane 0 of the status bar: a text, or the first line of string `id` (0: empty).
    void SetMessageText(LPCSTR text);
    void SetMessageText(UINT id);
    // The status bar, or null.
    CStatusBar* GetMessageBar() const;
    // Idle work: shows the text of the command that is being tracked if it is not on show.
    void OnIdleUpdate();

    BOOL PreTranslateMessage(MSG* msg) override;
    // Commands go to the active view (and its document), then to the frame, then to the
    // application.
    BOOL OnCmdMsg(UINT id, int code) override;

    HACCEL m_hAccelTable = nullptr;
    CString m_strTitle;

  protected:
    int OnCreate(LPCREATESTRUCTA cs);
    void OnSize(UINT type, int cx, int cy);
    void OnClose();
    void OnMenuSelect(UINT itemId, UINT flags, HMENU menu);
    // The keyboard focus belongs in the view: the control that had it when the frame was
    // last deactivated, or the view's first control.
    void OnSetFocus(CWnd* previous);
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    void PostNcDestroy() override { delete this; }
    virtual BOOL OnCreateClient(LPCREATESTRUCTA cs, CCreateContext* context);
    DECLARE_MESSAGE_MAP()

  private:
    friend class CDocTemplate;
    void UpdateFrameTitle(CDocument* document);
    static UINT PromptIdForMenuItem(UINT itemId, UINT flags);

    CView* m_activeView = nullptr;
    HWND m_savedFocus = nullptr;
    // The string id of what pane 0 should show, and of what it shows (0: a free text).
    UINT m_idTracking = AFX_IDS_IDLEMESSAGE;
    UINT m_idLastMessage = 0;
    // Set by a creator that must learn whether a failed creation already deleted the frame.
    bool* m_deletedFlag = nullptr;
};
