// The encodings a settings file may come in: what Windows' editors and shells write. Notepad
// writes UTF-8 (with a byte-order mark before Windows 10 1903); Windows PowerShell 5.1's `>`
// and Out-File write UTF-16 LE with one; PowerShell 7 writes UTF-8 without.
#pragma once

#include <string>

namespace vesk {

// The file's text as UTF-8. False with `error` naming what was found when the bytes are
// neither UTF-8 (with or without a byte-order mark) nor UTF-16 with a byte-order mark.
bool DecodeSettingsBytes(const std::string& bytes, std::string& utf8, std::string& error);

}  // namespace vesk
