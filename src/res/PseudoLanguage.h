// The pseudo-language of test builds, made from English the way Windows' pseudo-locale makes
// its texts: about 40% longer, accented, bracketed. A text that shows without brackets does not
// come from the string table; a control that cuts one off is too tight for a longer language.
#pragma once

#include "res/StringIds.h"

namespace vesk {

// LANGID 0x0501 (qps-ploc), code page 1252.
const Language& PseudoLanguage();

}  // namespace vesk
