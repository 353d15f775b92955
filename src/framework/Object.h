// The root of the framework's classes and the run-time class record that lets a document
// template create documents, frames and views of classes it only knows by their record.
#pragma once

class CObject {
  public:
    CObject() = default;
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

struct CRuntimeClass {
    CObject* (*m_pfnCreateObject)();
    // A new object of the class; the caller takes ownership.
    CObject* CreateObject() const { return m_pfnCreateObject(); }
};

template <class T>
const CRuntimeClass* RuntimeClassOf() {
    static const CRuntimeClass runtimeClass{[]() -> CObject* { return new T; }};
    return &runtimeClass;
}

#define RUNTIME_CLASS(theClass) (RuntimeClassOf<theClass>())
