// A stored picture as Windows decodes it: LoadImage makes a DIB section of the BITMAP resource,
// for painting, and GetDIBits converts its pixels to 32 bits, for reading colours. Both happen
// when first needed: of the 25 pictures the main window loads, 7 are painted at start and 3
// (the masks) are ever read. Until then only the resource's header is read, for the size.
#pragma once

#include "runtime/picture.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Runtime::Win32 {

class Win32Bitmap final : public Bitmap
{
public:
    // The BITMAP resource `name` of `module`; nullptr when there is none, or its header is not a
    // bitmap's.
    static std::shared_ptr<const Win32Bitmap> load(HINSTANCE module, const std::wstring &name);

    ~Win32Bitmap() override;
    Win32Bitmap(const Win32Bitmap &) = delete;
    Win32Bitmap &operator=(const Win32Bitmap &) = delete;

    int width() const override { return m_width; }
    int height() const override { return m_height; }
    Rgb colourAt(int x, int y) const override;
    // The DIB section to paint; nullptr when Windows could not decode the resource.
    HBITMAP handle() const;
    // The same at a scale, drawn by nearest neighbour (runtime/scale.h): each stored pixel a
    // block of whole device pixels, no colour the picture lacks. Made once for each scale.
    HBITMAP scaled(int dpi) const;

private:
    Win32Bitmap(HINSTANCE module, std::wstring name, int width, int height)
        : m_module(module), m_name(std::move(name)), m_width(width), m_height(height)
    {
    }

    HINSTANCE m_module;
    std::wstring m_name;
    int m_width;
    int m_height;
    mutable HBITMAP m_handle = nullptr;
    mutable bool m_decoded = false;
    mutable std::vector<std::uint32_t> m_pixels; // 0x00RRGGBB, top row first
    mutable std::map<int, HBITMAP> m_scaled;     // by dots per inch
};

} // namespace Runtime::Win32
