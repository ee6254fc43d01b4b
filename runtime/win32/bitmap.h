// A picture as Windows decoded it: the DIB section LoadImage made from a BITMAP resource, for
// painting, and its pixels converted by GetDIBits to 32 bits, for reading colours. Most pictures
// are only ever painted: their pixels are read the first time a colour is asked for.
#pragma once

#include "runtime/picture.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Runtime::Win32 {

class Win32Bitmap final : public Bitmap
{
public:
    // The BITMAP resource `name` of `module`; nullptr when there is none, or Windows cannot
    // read it.
    static std::shared_ptr<const Win32Bitmap> load(HINSTANCE module, const std::wstring &name);

    ~Win32Bitmap() override;
    Win32Bitmap(const Win32Bitmap &) = delete;
    Win32Bitmap &operator=(const Win32Bitmap &) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    std::uint32_t colourAt(int x, int y) const override;
    HBITMAP handle() const { return m_handle; }

private:
    Win32Bitmap(HBITMAP handle, int width, int height) : m_handle(handle), m_width(width), m_height(height) { }

    HBITMAP m_handle;
    int m_width;
    int m_height;
    mutable std::vector<std::uint32_t> m_pixels; // 0x00RRGGBB, top row first; read when first asked
};

} // namespace Runtime::Win32
