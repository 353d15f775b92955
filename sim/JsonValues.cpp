#include "JsonValues.h"

#include <cstdio>
#include <cstring>

#include "Numbers.h"
#include "os/TextEncoding.h"

namespace sim {

void Refuse(const std::string& where, const std::string& why) {
    throw ScenarioError(where.empty() ? why : where + ": " + why);
}

int64_t ReadInteger(const Json& value, const std::string& where) {
    if (value.is_number_unsigned()) {
        const uint64_t n = value.get<uint64_t>();
        if (n > static_cast<uint64_t>(INT64_MAX)) Refuse(where, "number out of range");
        return static_cast<int64_t>(n);
    }
    if (value.is_number_integer()) return value.get<int64_t>();
    if (value.is_number_float()) {
        const double n = value.get<double>();
        if (!(n > -9.0e18 && n < 9.0e18)) Refuse(where, "number out of range");
        if (n != static_cast<double>(static_cast<int64_t>(n))) Refuse(where, "not a whole number");
        return static_cast<int64_t>(n);
    }
    int64_t n = 0;
    if (value.is_string() && ParseInteger(value.get<std::string>(), &n)) return n;
    Refuse(where, "not a number");
}

uint32_t ReadU32(const Json& value, const std::string& where) {
    const int64_t n = ReadInteger(value, where);
    if (n < 0 || n > 0xFFFFFFFFll) Refuse(where, "not an unsigned 32-bit number");
    return static_cast<uint32_t>(n);
}

int32_t ReadI32(const Json& value, const std::string& where) {
    const int64_t n = ReadInteger(value, where);
    if (n < INT32_MIN || n > 0xFFFFFFFFll) Refuse(where, "not a 32-bit number");
    return static_cast<int32_t>(static_cast<uint32_t>(n));
}

uint8_t ReadU8(const Json& value, const std::string& where) {
    const int64_t n = ReadInteger(value, where);
    if (n < 0 || n > 255) Refuse(where, "not an 8-bit number");
    return static_cast<uint8_t>(n);
}

bool ReadBool(const Json& value, const std::string& where) {
    if (value.is_boolean()) return value.get<bool>();
    const int64_t n = ReadInteger(value, where);
    if (n != 0 && n != 1) Refuse(where, "not true or false");
    return n == 1;
}

std::string ReadText(const Json& value, const std::string& where, size_t maxLength) {
    if (!value.is_string()) Refuse(where, "not a text");
    // A driver holds its texts in the system's 8-bit code page, as the panel writes them.
    std::string text;
    if (!os::Utf8ToAnsi(value.get_ref<const std::string&>(), &text))
        Refuse(where, "a character the system's code page cannot hold");
    return text.substr(0, std::min({text.find('\0'), maxLength, text.size()}));
}

Json TextJson(const std::string& text) {
    return os::AnsiToUtf8(text);
}

std::vector<uint8_t> ReadBytes(const Json& value, const std::string& where, size_t maxSize) {
    std::vector<uint8_t> bytes;
    if (!value.is_string() || !ParseHexBytes(value.get<std::string>(), &bytes))
        Refuse(where, "not hex bytes");
    if (bytes.size() > maxSize) Refuse(where, "more than " + std::to_string(maxSize) + " bytes");
    return bytes;
}

std::vector<uint32_t> ReadRates(const Json& value, const std::string& where, size_t maxCount) {
    if (!value.is_array()) Refuse(where, "not a list");
    if (value.size() > maxCount) Refuse(where, "more than " + std::to_string(maxCount) + " rates");
    std::vector<uint32_t> rates;
    for (size_t i = 0; i < value.size(); ++i)
        rates.push_back(ReadU32(value[i], where + "[" + std::to_string(i) + "]"));
    return rates;
}

Members::Members(const Json& object, std::string where, std::initializer_list<const char*> known)
    : m_object(object), m_where(std::move(where)) {
    if (!object.is_object()) Refuse(m_where, "not an object");
    for (const auto& item : object.items()) {
        bool isKnown = false;
        for (const char* name : known) isKnown = isKnown || item.key() == name;
        if (!isKnown) Refuse(Where(item.key().c_str()), "unknown member");
    }
}

const Json* Members::Get(const char* name) const {
    const auto found = m_object.find(name);
    if (found == m_object.end() || found->is_null()) return nullptr;
    return &*found;
}

std::string Members::Where(const char* name) const {
    return m_where.empty() ? std::string(name) : m_where + "." + name;
}

std::string HexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(value));
    return text;
}

std::string Hex32Text(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

}  // namespace sim
