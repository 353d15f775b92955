// What a screen reader would read of the panel's controls, from another process: the client
// object's name and value, and the events the controls raise.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

namespace probe {

struct AccessibleTexts {
    bool read = false;  // false when the object could not be reached
    std::string name;   // in the system's 8-bit text, like the controls' own texts
    std::string value;
};

// The control's client object, as AccessibleObjectFromWindow gives it.
AccessibleTexts ReadAccessible(HWND control);

// The controls a user can tab to in the window: visible, enabled, with WS_TABSTOP, in
// z-order (the pages of a view are searched too, the hidden ones left out).
std::vector<HWND> FocusableControls(HWND top);

// Counts the `event` WinEvents of `control`'s client object (an out-of-context hook on its
// process) raised while `action` runs and until the control's thread has handled what it
// was sent meanwhile.
template <class Action>
int CountEventsDuring(HWND control, DWORD event, Action action);

// While an action of CountEventsDuring runs: the events counted so far (their messages are
// handled first).
int EventsSoFar();

int CountEventsDuringImpl(HWND control, DWORD event, bool (*action)(void*), void* context);

// The value-change events a screen reader hears when `action` moves `slider`, as Windows
// raises them: the panel's own, and the one Windows' slider raises itself for a new position.
// Wine's slider raises none (a slider of the probe's own, moved under a hook, tells): there the
// slider's own event is counted for it when the position changed.
template <class Action>
int CountSliderValueEvents(HWND slider, Action action);
bool SliderAnnouncesItself();

template <class Action>
int CountSliderValueEvents(HWND slider, Action action) {
    const LRESULT before = ::SendMessageA(slider, TBM_GETPOS, 0, 0);
    const int events = CountEventsDuring(slider, EVENT_OBJECT_VALUECHANGE, action);
    if (events < 0) return events;
    const bool moved = ::SendMessageA(slider, TBM_GETPOS, 0, 0) != before;
    return events + (moved && !SliderAnnouncesItself() ? 1 : 0);
}

template <class Action>
int CountEventsDuring(HWND control, DWORD event, Action action) {
    return CountEventsDuringImpl(
        control, event, [](void* c) { return (*static_cast<Action*>(c))(); }, &action);
}

}  // namespace probe
