#include "Trace.h"

namespace sim {

std::string Hex32(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

std::string HexBytes(const void* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    if (!data) return text;
    text.reserve(size * 2);
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

Trace::~Trace() {
    CloseFile();
}

bool Trace::ToFile(const std::string& path) {
    CloseFile();
    // Binary, so that lines end in a bare newline on every system.
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

void Trace::CloseFile() {
    if (m_file) std::fclose(m_file);
    m_file = nullptr;
}

void Trace::Write(const std::string& line) {
    if (m_memory) m_lines.push_back(line);
    if (m_file) {
        // Flushed at once, so that a reader sees every line even if the process is killed.
        std::fputs(line.c_str(), m_file);
        std::fputc('\n', m_file);
        std::fflush(m_file);
    }
}

static std::string ConnectionText(uint32_t connection) {
    return connection ? std::to_string(connection) : std::string("-");
}

void Trace::Open(uint32_t connection, const char* path, uint32_t status) {
    if (!Enabled()) return;
    Write("open " + ConnectionText(connection) + " " + (path ? path : "") + " -> " + Hex32(status));
}

void Trace::Ioctl(uint32_t connection, uint32_t code, const void* input, uint32_t inputSize,
                  uint32_t status, const void* output, uint32_t outputSize) {
    if (!Enabled()) return;
    Write("ioctl " + ConnectionText(connection) + " " + Hex32(code) +
          " in=" + HexBytes(input, inputSize) + " -> " + Hex32(status) +
          " out=" + (status == 0 ? HexBytes(output, outputSize) : std::string()));
}

void Trace::Close(uint32_t connection) {
    if (!Enabled()) return;
    Write("close " + ConnectionText(connection));
}

}  // namespace sim
