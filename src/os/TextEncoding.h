// The driver's texts are 8-bit text in the system's code page; files and scripts speak UTF-8.
#pragma once

#include <string>

namespace os {

// The system's 8-bit text as UTF-8: the ANSI code page on Windows, Latin-1 in native builds.
std::string AnsiToUtf8(const std::string& text);

// UTF-8 as the system's 8-bit text. False when `utf8` is not valid UTF-8 or holds a character
// the code page cannot hold (no look-alike is put in its place).
bool Utf8ToAnsi(const std::string& utf8, std::string* ansi);

// The system's 8-bit text for messages: "code page 1252" ("Latin-1" in native builds).
std::string AnsiCodePageName();

}  // namespace os
