// The request trace: one line for everything that crosses between panel and driver, kept in
// memory and/or written to a file that is flushed after every line. Guarded by the
// simulator's lock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sim {

class Trace {
  public:
    Trace() = default;
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    void SetMemory(bool enabled) { m_memory = enabled; }
    const std::vector<std::string>& Lines() const { return m_lines; }
    void Clear() { m_lines.clear(); }
    // Starts a new file at `path` (replacing any earlier one); false when it cannot be created.
    bool ToFile(const std::string& path);
    void CloseFile();
    bool Enabled() const { return m_memory || m_file != nullptr; }

    void Write(const std::string& line);

    void Open(uint32_t connection, const char* path, uint32_t status);
    void Ioctl(uint32_t connection, uint32_t code, const void* input, uint32_t inputSize,
               uint32_t status, const void* output, uint32_t outputSize);
    void Close(uint32_t connection);

  private:
    bool m_memory = false;
    std::vector<std::string> m_lines;
    std::FILE* m_file = nullptr;
};

// "0x" and eight lower-case hex digits.
std::string Hex32(uint32_t value);
// Bytes as lower-case hex without separators.
std::string HexBytes(const void* data, size_t size);

}  // namespace sim
