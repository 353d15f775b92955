// Whole-file reads and writes for scenarios and dumps. Plain C stdio, so that the simulator
// needs nothing of the C++ streams and their locales.
#pragma once

#include <string>

namespace sim {

bool ReadTextFile(const std::string& path, std::string* text);
// Replaces the file; binary, so that lines end in a bare newline on every system.
bool WriteTextFile(const std::string& path, const std::string& text);

}  // namespace sim
