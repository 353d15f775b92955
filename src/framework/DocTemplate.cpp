#include "framework/DocTemplate.h"

#include "framework/App.h"
#include "framework/Document.h"
#include "framework/Frame.h"
#include "framework/View.h"

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* documentClass,
                           const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : m_resourceId(resourceId),
      m_documentClass(documentClass),
      m_frameClass(frameClass),
      m_viewClass(viewClass) {}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_documentClass == nullptr) return nullptr;
    std::unique_ptr<CObject> object(m_documentClass->CreateObject());
    auto* document = dynamic_cast<CDocument*>(object.get());
    if (document == nullptr) return nullptr;
    object.release();
    document->m_docTemplate = this;
    return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document) {
    if (m_frameClass == nullptr) return nullptr;
    std::unique_ptr<CObject> object(m_frameClass->CreateObject());
    auto* frame = dynamic_cast<CFrameWnd*>(object.get());
    if (frame == nullptr) return nullptr;
    // From here the frame deletes itself when its window goes.
    object.release();
    CCreateContext context;
    context.m_pNewViewClass = m_viewClass;
    context.m_pCurrentDoc = document;
    context.m_pNewDocTemplate = this;
    bool deleted = false;
    frame->m_deletedFlag = &deleted;
    const BOOL loaded =
        frame->LoadFrame(m_resourceId, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context);
    if (deleted) return nullptr;
    frame->m_deletedFlag = nullptr;
    if (!loaded) {
        // Refused before a window existed: nobody else will delete it.
        if (frame->m_hWnd == nullptr)
            delete frame;
        else
            frame->DestroyWindow();
        return nullptr;
    }
    return frame;
}

CSingleDocTemplate::~CSingleDocTemplate() = default;

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR pathName, BOOL makeVisible) {
    bool created = false;
    if (!m_onlyDocument) {
        m_onlyDocument.reset(CreateNewDocument());
        if (!m_onlyDocument) return nullptr;
        created = true;
    }
    CDocument* document = m_onlyDocument.get();
    CView* view = document->GetFirstView();
    CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
    if (frame == nullptr) {
        frame = CreateNewFrame(document);
        if (frame == nullptr) {
            if (created) m_onlyDocument.reset();
            return nullptr;
        }
    }
    const BOOL ready =
        pathName == nullptr ? document->OnNewDocument() : document->OnOpenDocument(pathName);
    if (!ready) return nullptr;
    CWinApp* app = AfxGetApp();
    if (app != nullptr && app->m_pMainWnd == nullptr) app->m_pMainWnd = frame;
    frame->InitialUpdateFrame(document, makeVisible);
    return document;
}
