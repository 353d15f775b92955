// The frame's one view: a form with the navigation tree on the left.
#pragma once

#include "framework/Framework.h"
#include "view/TreeCtrlEx.h"

class CVESK_CPLView : public CFormView {
  public:
    CVESK_CPLView();
    ~CVESK_CPLView() override;

    BOOL PreCreateWindow(CREATESTRUCTA& cs) override;
    void OnInitialUpdate() override;

    CTreeCtrlEx m_navigationTree;
    HTREEITEM m_devicesItem = nullptr;
    HTREEITEM m_settingsItem = nullptr;

  protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnTreeSelectionChanged(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

  private:
    void FillNavigationTree();
    bool m_firstInitialUpdate = true;
};
