#include "tools/probe/Screenshot.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace probe {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct ScreenDc {
    HDC dc = ::GetDC(nullptr);
    ~ScreenDc() {
        if (dc != nullptr) ::ReleaseDC(nullptr, dc);
    }
};

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& bmpPath) {
    RECT rect{};
    if (window == nullptr || !::GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;

    ScreenDc screen;
    if (screen.dc == nullptr) return false;
    HDC memory = ::CreateCompatibleDC(screen.dc);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.dc, width, height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    const bool copied =
        ::BitBlt(memory, 0, 0, width, height, screen.dc, rect.left, rect.top, SRCCOPY) != FALSE;
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as a BMP file keeps it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    std::vector<unsigned char> pixels(rowBytes * static_cast<size_t>(height));
    const int rows = ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                 reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    if (!copied || rows != height) return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(bmpPath.c_str(), "wb"));
    if (!out) return false;
    return std::fwrite(&file, sizeof file, 1, out.get()) == 1 &&
           std::fwrite(&info, sizeof info, 1, out.get()) == 1 &&
           std::fwrite(pixels.data(), 1, pixels.size(), out.get()) == pixels.size();
}

}  // namespace probe
