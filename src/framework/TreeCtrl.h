// The tree-view control.
#pragma once

#include "framework/ImageList.h"
#include "framework/Wnd.h"

class CTreeCtrl : public CWnd {
  public:
    // Inserts an item with its text, normal and selected image and item data; returns it or null.
    HTREEITEM InsertItem(LPCSTR text, int image, int selectedImage, LPARAM data,
                         HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    HTREEITEM InsertItem(LPCSTR text, HTREEITEM parent = TVI_ROOT, HTREEITEM after = TVI_LAST);
    BOOL SetItemData(HTREEITEM item, DWORD_PTR data);
    DWORD_PTR GetItemData(HTREEITEM item) const;
    CString GetItemText(HTREEITEM item) const;
    BOOL GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;
    // Makes `item` the caret selection; the tree then notifies TVN_SELCHANGED.
    BOOL SelectItem(HTREEITEM item);
    HTREEITEM GetSelectedItem() const;
    HTREEITEM GetRootItem() const;
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const;
    UINT GetCount() const;
    // Sets the list for `type` (TVSIL_NORMAL); returns the one it replaced.
    HIMAGELIST SetImageList(CImageList* images, int type);
    HIMAGELIST GetImageList(int type) const;
};
