// Pictures decoded by Windows.
#include "runtime/win32/pictures.h"

namespace Runtime::Win32 {

std::shared_ptr<const Win32Bitmap> Win32Bitmap::load(HINSTANCE module, const std::wstring &name)
{
    HRSRC resource = FindResourceW(module, name.c_str(), MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
    const auto *header = data ? static_cast<const BITMAPINFOHEADER *>(LockResource(data)) : nullptr;
    if (!header || SizeofResource(module, resource) < sizeof *header || header->biSize < sizeof *header ||
        header->biWidth <= 0 || header->biHeight == 0)
        return nullptr;
    const int height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
    return std::shared_ptr<const Win32Bitmap>(new Win32Bitmap(module, name, header->biWidth, height));
}

Win32Bitmap::~Win32Bitmap()
{
    if (m_handle)
        DeleteObject(m_handle);
}

HBITMAP Win32Bitmap::handle() const
{
    if (!m_decoded) {
        m_decoded = true;
        m_handle = static_cast<HBITMAP>(LoadImageW(m_module, m_name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    return m_handle;
}

Rgb Win32Bitmap::colourAt(int x, int y) const
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
        if (HBITMAP bitmap = handle()) {
            HDC screen = GetDC(nullptr);
            GetDIBits(screen, bitmap, 0, UINT(m_height), m_pixels.data(), &request, DIB_RGB_COLORS);
            ReleaseDC(nullptr, screen);
        }
    }
    // 0x00RRGGBB, the top byte left undefined by 32-bit BI_RGB.
    return Rgb{m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)] & 0xFFFFFFu};
}

} // namespace Runtime::Win32
