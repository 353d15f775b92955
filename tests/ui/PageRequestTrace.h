// The requests a page sent, as the simulated driver traced them, and the hex form of the
// records they carry.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "sim/Simulator.h"

namespace uitest {

struct Request {
    std::string code;    // "0x80882a04"
    std::string in;      // input bytes as lower-case hex
    std::string status;  // "0x00000000"
    std::string out;     // output bytes as lower-case hex
};

// Every request traced since the trace was last cleared, in order.
inline std::vector<Request> Requests() {
    std::vector<Request> requests;
    for (const std::string& line : sim::Simulator::Instance().TraceLines()) {
        if (line.rfind("ioctl ", 0) != 0) continue;
        // ioctl N CODE in=HEX -> STATUS out=HEX
        std::vector<std::string> words;
        size_t start = 0;
        for (;;) {
            const size_t end = line.find(' ', start);
            words.push_back(line.substr(start, end - start));
            if (end == std::string::npos) break;
            start = end + 1;
        }
        if (words.size() >= 7)
            requests.push_back({words[2], words[3].substr(3), words[5], words[6].substr(4)});
    }
    return requests;
}

inline std::vector<std::string> Codes(const std::vector<Request>& requests) {
    std::vector<std::string> codes;
    for (const Request& request : requests) codes.push_back(request.code);
    return codes;
}

inline size_t CountOf(const std::vector<Request>& requests, const std::string& code) {
    size_t count = 0;
    for (const Request& request : requests) count += request.code == code ? 1 : 0;
    return count;
}

inline bool Sent(const std::vector<Request>& requests, const std::string& code) {
    return CountOf(requests, code) > 0;
}

inline std::string Hex(const void* bytes, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<const unsigned char*>(bytes)[i];
        text += digits[byte >> 4];
        text += digits[byte & 0xF];
    }
    return text;
}

// Little-endian 32-bit words, as the records hold them.
inline std::string HexWords(std::initializer_list<uint32_t> words) {
    std::string text;
    for (uint32_t word : words) text += Hex(&word, sizeof word);
    return text;
}

}  // namespace uitest
