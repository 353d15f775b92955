// Numbers and byte strings as scenarios and commands write them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Decimal or "0x" hexadecimal, with an optional leading minus; nothing else on the text.
// False for anything else, or for magnitudes beyond 64 bits.
bool ParseInteger(const std::string& text, int64_t* value);

// Bytes as hex digits without separators (either case); false for odd lengths or non-digits.
bool ParseHexBytes(const std::string& text, std::vector<uint8_t>* bytes);

}  // namespace sim
