// Whether a control shows its text whole, measured as the control lays it out: push buttons on
// one line inside their edges, check boxes and radio buttons beside their box, group boxes in
// their top edge, static texts wrapped at their width unless they say otherwise. Shared by the
// probe (from outside the panel) and the resource tests (inside).
#pragma once

#include <windows.h>

#include <string>

namespace probe {

// What is wrong, or empty when `text` fits `control` in `font` at `dpi`.
std::string TextFitProblem(HWND control, const std::string& text, HFONT font, int dpi);

// The size `text` needs in `font` (DrawText's measure with `format`, wrapped at `wrapWidth`).
SIZE MeasureText(HFONT font, const std::string& text, UINT format, int wrapWidth);

}  // namespace probe
