// A block of memory inside another process, for the control messages whose structures and
// texts the target reads and writes through pointers (status-bar, tree-view, list-view and
// combo-box texts). Freed when the object goes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace probe {

class RemoteMemory {
  public:
    // Reserves `size` bytes in the process that owns `window`; Valid() tells whether it worked.
    RemoteMemory(HWND window, size_t size);
    ~RemoteMemory();
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    bool Valid() const { return m_address != nullptr; }
    // The block's address as the target sees it, offset by `offset` bytes.
    void* At(size_t offset = 0) const { return static_cast<char*>(m_address) + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(At(offset)); }

    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;
    // Reads the zero-terminated text at `offset`, never past the block's end.
    std::string ReadText(size_t offset) const;

  private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_size = 0;
};

}  // namespace probe
