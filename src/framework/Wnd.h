// A window object over a window handle: the handle map, the window procedure that dispatches
// through the message maps, and the common window calls.
#pragma once

#include <utility>
#include <vector>

#include "base/CString.h"
#include "framework/CmdTarget.h"

class CAccessibleText;
class CDataExchange;
class CFrameWnd;

class CWnd : public CCmdTarget {
  public:
    CWnd() = default;
    // A window this object created is destroyed with it; a window it only subclassed is handed
    // back to its own window procedure.
    ~CWnd() override;

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }  // NOLINT: used like a handle
    HWND GetSafeHwnd() const { return m_hWnd; }

    // The object of a window: the permanent one when the window has one, else a temporary one
    // that lives until the message loop is next idle. Null for a null handle.
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    static void DeleteTempMap();

    // Routes the window's messages through this object (the window keeps its own procedure
    // for everything this object does not handle).
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    virtual BOOL PreCreateWindow(CREATESTRUCTA& cs);
    BOOL CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, LPVOID param = nullptr);
    virtual BOOL DestroyWindow();

    // Offered every message before it is dispatched; true means it was handled.
    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (WM_NCDESTROY); frames and views delete themselves here.
    virtual void PostNcDestroy() {}

    virtual void DoDataExchange(CDataExchange*) {}
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // The default handling of the message being handled.
    LRESULT Default();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL ShowWindow(int cmdShow);
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    BOOL EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const;
    void SetWindowText(LPCSTR text);
    int GetWindowText(LPSTR buffer, int size) const;
    void GetWindowText(CString& text) const;
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void GetClientRect(LPRECT rect) const;
    void GetWindowRect(LPRECT rect) const;
    CWnd* GetDlgItem(int id) const;
    // The child window with this id, like ::GetDlgItem, remembered between calls.
    HWND GetDlgItemHandle(int id) const;
    int GetDlgCtrlID() const;
    CWnd* GetParent() const;
    CFrameWnd* GetParentFrame() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD remove, DWORD add);
    BOOL ModifyStyleEx(DWORD remove, DWORD add);
    void UpdateWindow();
    void Invalidate(BOOL erase = TRUE);
    BOOL SetForegroundWindow();
    CWnd* SetFocus();
    HICON SetIcon(HICON icon, BOOL big);
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC timerProc = nullptr);
    BOOL KillTimer(UINT_PTR id);
    // A message box owned by this window; the caption defaults to the application's name.
    int MessageBox(LPCSTR text, LPCSTR caption = nullptr, UINT type = MB_OK);

  protected:
    // Default handlers of the ON_WM_... entries: each hands the message to Default().
    int OnCreate(LPCREATESTRUCTA) { return static_cast<int>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    BOOL OnDeviceChange(UINT, DWORD_PTR) { return static_cast<BOOL>(Default()); }
    void OnMenuSelect(UINT, UINT, HMENU) { Default(); }
    void OnSetFocus(CWnd*) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }

    // The creation helpers of dialogs: `create` runs with this object waiting to be attached
    // to the first window the thread creates.
    template <class Create>
    auto WithCreationHook(Create create) {
        BeginCreationHook();
        auto result = create();
        EndCreationHook();
        return result;
    }
    void BeginCreationHook();
    void EndCreationHook();

    // For a control this object subclassed: hands a message for which this object has no entry
    // straight to the control's own procedure, where it would end up anyway. That skips the
    // window manager's send (under Wine a trip through it per message, three a row when a list
    // is filled), and with it the hooks that watch sends.
    LRESULT SendToControl(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

    WNDPROC m_superWindowProc = nullptr;
    bool m_ownsWindow = false;

  private:
    friend class CAccessibleText;
    // The texts a screen reader gets for this control's client object (WM_GETOBJECT), if any.
    CAccessibleText* m_accessibleText = nullptr;

    friend struct WndRegistry;
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CreationHookProc(int code, WPARAM wParam, LPARAM lParam);
    static void RemoveCreationHook();
    void Attach(HWND hWnd);
    void Detach();
    void AfterNcDestroy();

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_currentMessage{};
    bool m_temporary = false;
    // Children found by id. Each ::GetDlgItem is a round trip to the window server under
    // Wine, and the data exchange looks the same controls up on every refresh.
    mutable std::vector<std::pair<int, HWND>> m_knownItems;
};

// The window of the application's main frame, or null.
CWnd* AfxGetMainWnd();
