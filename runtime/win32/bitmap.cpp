// Pictures decoded by Windows.
#include "runtime/win32/bitmap.h"

namespace Runtime::Win32 {

std::shared_ptr<const Win32Bitmap> Win32Bitmap::load(HINSTANCE module, const std::wstring &name)
{
    if (!FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */))
        return nullptr;
    auto handle = static_cast<HBITMAP>(LoadImageW(module, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!handle)
        return nullptr;
    BITMAP info{};
    if (!GetObjectW(handle, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight == 0) {
        DeleteObject(handle);
        return nullptr;
    }
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return std::shared_ptr<const Win32Bitmap>(new Win32Bitmap(handle, info.bmWidth, height));
}

std::uint32_t Win32Bitmap::colourAt(int x, int y) const
{
    if (m_pixels.empty()) {
        // Windows converts whatever it holds (1, 8 or 24 bits a pixel) to 32 bits.
        m_pixels.assign(std::size_t(m_width) * std::size_t(m_height), 0);
        BITMAPINFO request{};
        request.bmiHeader.biSize = sizeof request.bmiHeader;
        request.bmiHeader.biWidth = m_width;
        request.bmiHeader.biHeight = -m_height; // top row first
        request.bmiHeader.biPlanes = 1;
        request.bmiHeader.biBitCount = 32;
        request.bmiHeader.biCompression = BI_RGB;
        HDC screen = GetDC(nullptr);
        GetDIBits(screen, m_handle, 0, UINT(m_height), m_pixels.data(), &request, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    // 0x00RRGGBB, the top byte left undefined by 32-bit BI_RGB; the runtime wants red in the
    // low byte, as COLORREF has it.
    const std::uint32_t p = m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}

Win32Bitmap::~Win32Bitmap()
{
    DeleteObject(m_handle);
}

} // namespace Runtime::Win32
