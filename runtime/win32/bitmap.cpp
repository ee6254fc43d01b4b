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
    const int width = info.bmWidth;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height; // top row first
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, handle, 0, UINT(height), pixels.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) {
        DeleteObject(handle);
        return nullptr;
    }
    for (auto &p : pixels)
        p &= 0x00FFFFFFu; // 32-bit BI_RGB leaves the top byte undefined
    return std::shared_ptr<const Win32Bitmap>(new Win32Bitmap(handle, width, height, std::move(pixels)));
}

Win32Bitmap::~Win32Bitmap()
{
    DeleteObject(m_handle);
}

} // namespace Runtime::Win32
