// Reading scenario values with a path in every complaint ("devices[1].rank: not a number").
// A complaint is thrown as ScenarioError and turned into a refusal where a scenario is read.
#pragma once

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

#include "Scenario.h"

namespace sim {

struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Refuse(const std::string& where, const std::string& why);

int64_t ReadInteger(const Json& value, const std::string& where);
uint32_t ReadU32(const Json& value, const std::string& where);
// Signed 32-bit; hexadecimal up to 0xffffffff is taken as its two's complement.
int32_t ReadI32(const Json& value, const std::string& where);
uint8_t ReadU8(const Json& value, const std::string& where);
bool ReadBool(const Json& value, const std::string& where);
// Text as a driver keeps it: up to the first zero character, at most `maxLength` characters.
// A text of the driver (8-bit, in the system's code page) from the scenario's UTF-8, and back.
std::string ReadText(const Json& value, const std::string& where, size_t maxLength);
Json TextJson(const std::string& text);
std::vector<uint8_t> ReadBytes(const Json& value, const std::string& where, size_t maxSize);
std::vector<uint32_t> ReadRates(const Json& value, const std::string& where, size_t maxCount);

// The members of one object, refusing any that the object may not have. Null members count as
// absent (a merge patch uses null to remove).
class Members {
  public:
    Members(const Json& object, std::string where, std::initializer_list<const char*> known);
    const Json* Get(const char* name) const;
    std::string Where(const char* name) const;

  private:
    const Json& m_object;
    std::string m_where;
};

std::string HexText(uint32_t value);    // "0x1001"
std::string Hex32Text(uint32_t value);  // "0x00001001"

}  // namespace sim
