#include "ui/win32/window_capture.h"

namespace win32ui {

RgbImage captureClientArea(HWND window) {
    RgbImage image;
    RECT client;
    if (!::GetClientRect(window, &client)) return image;
    image.width = client.right;
    image.height = client.bottom;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    if (!bitmap) {
        ::DeleteDC(dc);
        return RgbImage{};
    }
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    // Copied from what the window has drawn: Wine's PrintWindow leaves out every child
    // window, so the window must be on the screen, uncovered.
    HDC windowDc = ::GetDC(window);
    ::BitBlt(dc, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
    ::ReleaseDC(window, windowDc);
    ::GdiFlush();

    const auto* bgrx = static_cast<const std::uint8_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    image.pixels.resize(count * 3);
    for (std::size_t i = 0; i < count; ++i) {
        image.pixels[i * 3] = bgrx[i * 4 + 2];
        image.pixels[i * 3 + 1] = bgrx[i * 4 + 1];
        image.pixels[i * 3 + 2] = bgrx[i * 4];
    }
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return image;
}

}  // namespace win32ui
