// Dialogs from templates: modeless (Create) and modal (DoModal), with data exchange at
// initialisation and on OK, and keyboard navigation for the modeless ones.
#pragma once

#include "framework/Wnd.h"

class CDialog : public CWnd {
  public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr)
        : m_templateId(templateId), m_pParentWnd(parent) {}

    // A modeless dialog; its OnInitDialog runs before this returns.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    // Runs the dialog modally, owned by the parent or else by the main window; returns the
    // value given to EndDialog, or -1 when the dialog could not be created.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    // Base initialisation: copies the members into the controls. TRUE lets the system set the
    // focus.
    virtual BOOL OnInitDialog();
    // Copies the controls into the members, then ends the dialog with IDOK.
    virtual void OnOK();
    // Ends the dialog with IDCANCEL.
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* msg) override;

  protected:
    UINT m_templateId = 0;
    CWnd* m_pParentWnd = nullptr;
    DECLARE_MESSAGE_MAP()

  private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Centres a top-level dialog over its visible owner, else on the screen, kept on the screen.
    static void CenterOverOwner(HWND hWnd);
    HWND OwnerWindow() const;
};
