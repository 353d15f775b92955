// The base of everything that has a message map: windows, documents and the application.
#pragma once

#include "framework/MessageMap.h"
#include "framework/Object.h"

class CCmdTarget : public CObject {
  public:
    // Looks for a handler of command `id` with `code` in this object's map and runs it; true
    // when one ran. Frames and views override it to route commands on.
    virtual BOOL OnCmdMsg(UINT id, int code);

  protected:
    static const MessageMap* GetThisMessageMap();
    virtual const MessageMap* GetMessageMap() const;
    // Runs the entry of this object's map for a message, command or notification, if any.
    bool DispatchEntry(UINT message, UINT code, UINT id, WPARAM wParam, LPARAM lParam,
                       LRESULT* result);
};
