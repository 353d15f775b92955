// Document templates: which document, frame and view classes belong together, and the
// New and Open commands that create or reuse them.
#pragma once

#include <memory>

#include "framework/CmdTarget.h"

class CDocument;
class CFrameWnd;
class CDocTemplate;

// What a frame needs to create its view.
struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
};

class CDocTemplate : public CCmdTarget {
  public:
    CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                 const CRuntimeClass* frameClass, const CRuntimeClass* viewClass);

    // New (null path) or Open: returns the document shown, or null on failure.
    virtual CDocument* OpenDocumentFile(LPCSTR pathName, BOOL makeVisible = TRUE) = 0;

    UINT GetResourceId() const { return m_resourceId; }

  protected:
    CDocument* CreateNewDocument();
    CFrameWnd* CreateNewFrame(CDocument* document);

    UINT m_resourceId;
    const CRuntimeClass* m_documentClass;
    const CRuntimeClass* m_frameClass;
    const CRuntimeClass* m_viewClass;
};

// One document at a time in one frame: the first New creates document, frame and view; later
// New and Open reuse them and run the view's initial update again.
class CSingleDocTemplate : public CDocTemplate {
  public:
    using CDocTemplate::CDocTemplate;
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(LPCSTR pathName, BOOL makeVisible = TRUE) override;
    CDocument* GetOnlyDocument() const { return m_onlyDocument.get(); }

  private:
    std::unique_ptr<CDocument> m_onlyDocument;
};
