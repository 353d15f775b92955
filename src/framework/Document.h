// A document: the data a frame's views show. The framework creates it through its template.
#pragma once

#include <string>
#include <vector>

#include "framework/CmdTarget.h"

class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
  public:
    ~CDocument() override;

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(LPCSTR pathName);
    // Clears the document before it is reused for a new or opened one.
    virtual void DeleteContents() {}

    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const char* title) { m_title = title ? title : ""; }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(const char* path) { m_pathName = path ? path : ""; }
    CDocTemplate* GetDocTemplate() const { return m_docTemplate; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    CView* GetFirstView() const { return m_views.empty() ? nullptr : m_views.front(); }

  protected:
    DECLARE_MESSAGE_MAP()

  private:
    friend class CDocTemplate;
    std::string m_title;
    std::string m_pathName;
    CDocTemplate* m_docTemplate = nullptr;
    std::vector<CView*> m_views;
};
