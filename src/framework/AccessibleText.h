// An accessible name, value and description for a control whose own texts say too little to a
// screen reader (a list without a caption, a slider whose value is shown in a static beside it,
// one of several "Apply" buttons). The control's client object answers with these texts and
// leaves everything else (role, state, children, location) to the system's standard object.
#pragma once

#include <cstdint>
#include <memory>

#include "base/CString.h"
#include "framework/Win32.h"
#include "framework/Wnd.h"

class CAccessibleText {
  public:
    CAccessibleText();
    ~CAccessibleText();
    CAccessibleText(const CAccessibleText&) = delete;
    CAccessibleText& operator=(const CAccessibleText&) = delete;

    // From now on `control` (a window this program routes through its object) answers
    // accessibility requests for its client object with these texts, until either ends. A text
    // left empty is the standard object's.
    void Attach(CWnd& control);
    void SetName(const CString& name);
    void SetDescription(const CString& description);
    // A changed value is announced (EVENT_OBJECT_VALUECHANGE) unless the control announced it
    // itself (a slider that moved); the same value again is not.
    void SetValue(const CString& value);

    // The client objects handed out and not yet released, for tests of their reference counts.
    static long ObjectsAlive();

    // For CWnd: the answer to WM_GETOBJECT (0: the standard route), and the end of the control.
    LRESULT Answer(HWND control, WPARAM wParam, LPARAM lParam);
    void ControlGone();

    struct Texts;

  private:
    std::shared_ptr<Texts> m_texts;
    CWnd* m_window = nullptr;
};

// Attaches `text` to `control` and names it with the string-table text `nameId`.
void NameControl(CAccessibleText& text, CWnd& control, uint32_t nameId);

// The description of a control that is disabled for a reason: `reasonId`'s text while it is
// disabled, none while it is enabled.
void DescribeDisabled(CAccessibleText& text, bool enabled, uint32_t reasonId);

// Announces that a control's text (its accessible name) changed, for statics that change while
// the user is not on them (Windows announces a status bar's, a button's or a list's new texts
// itself, but not a static's). Does nothing for a null window.
void NotifyAccessibleNameChange(HWND control, LONG childId = 0);
