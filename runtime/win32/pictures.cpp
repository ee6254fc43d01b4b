// Pictures decoded by Windows.
#include "runtime/win32/pictures.h"

#include "runtime/scale.h"

namespace Runtime::Win32 {

namespace {
// A 32-bit device-independent bitmap of `width` × `height` pixels, top row first.
BITMAPINFO topDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
} // namespace

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
    for (const auto &[dpi, bitmap] : m_scaled)
        DeleteObject(bitmap);
}

HBITMAP Win32Bitmap::handle() const
{
    if (!m_decoded) {
        m_decoded = true;
        m_handle = static_cast<HBITMAP>(LoadImageW(m_module, m_name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    return m_handle;
}

HBITMAP Win32Bitmap::scaled(int dpi) const
{
    if (dpi == Dpi::Logical)
        return handle();
    if (const auto it = m_scaled.find(dpi); it != m_scaled.end())
        return it->second;
    colourAt(0, 0); // the stored pixels, decoded
    const int width = Dpi::toDevice(m_width, dpi);
    const int height = Dpi::toDevice(m_height, dpi);
    const BITMAPINFO info = topDown32(width, height);
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        // Each device pixel takes the stored pixel the pointer finds there.
        std::vector<int> columns(std::size_t(width), 0);
        for (int x = 0; x < width; ++x)
            columns[std::size_t(x)] = Dpi::toLogical(x, dpi);
        auto *out = static_cast<std::uint32_t *>(bits);
        for (int y = 0; y < height; ++y) {
            const std::uint32_t *row = m_pixels.data() + std::size_t(Dpi::toLogical(y, dpi)) * std::size_t(m_width);
            for (int x = 0; x < width; ++x)
                *out++ = row[columns[std::size_t(x)]];
        }
    }
    m_scaled.emplace(dpi, bitmap);
    return bitmap;
}

Rgb Win32Bitmap::colourAt(int x, int y) const
{
    if (m_pixels.empty()) {
        // Windows converts whatever it holds (1, 8 or 24 bits a pixel) to 32 bits.
        m_pixels.assign(std::size_t(m_width) * std::size_t(m_height), 0);
        BITMAPINFO request = topDown32(m_width, m_height);
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
