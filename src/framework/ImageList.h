// An image list that destroys its images with it.
#pragma once

#include "framework/Win32.h"

class CImageList {
  public:
    CImageList() = default;
    ~CImageList() { DeleteImageList(); }
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
    // Appends an icon; returns its index or -1.
    int Add(HICON icon);
    int GetImageCount() const;
    BOOL DeleteImageList();
    HIMAGELIST GetSafeHandle() const { return m_hImageList; }

  private:
    HIMAGELIST m_hImageList = nullptr;
};
