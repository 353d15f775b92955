// The base of every settings page: a modeless child dialog of the navigation view, made from
// its own template, on which Enter and Escape do nothing.
#pragma once

#include "framework/Framework.h"

class CDialogPage : public CDialog {
  public:
    CDialogPage(UINT templateId, CWnd* parent = nullptr)
        : CDialog(templateId, parent), m_pageTemplateId(templateId) {}

    // Creates the page window as a child of `parent`; runs the page's OnInitDialog.
    BOOL Create(CWnd* parent) { return CDialog::Create(m_pageTemplateId, parent); }

    // A page is never ended: Enter and Escape leave it as it is.
    void OnOK() override {}
    void OnCancel() override {}

    UINT GetTemplateId() const { return m_pageTemplateId; }

    // Scales the column widths of the page's lists from one DPI to another.
    void RescaleListColumns(UINT fromDpi, UINT toDpi);

  protected:
    // Before the page shows, its lists draw again (see CListCtrlEx::EndDeferredRebuild).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    const UINT m_pageTemplateId;
    DECLARE_MESSAGE_MAP()
};
