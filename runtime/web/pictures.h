// The stored pictures, decoded by the browser: once each, before the program starts
// (startup.js), from the PNG files embedded in the program (embedded.h).
#pragma once

#include "runtime/picture.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Runtime::Web {

// A decoded picture: its pixels for Point, and the number the page draws it by.
class WebBitmap final : public Bitmap
{
public:
    // `rgba`: width * height pixels, four bytes each, as the browser's canvas gives them.
    WebBitmap(int index, int width, int height, std::unique_ptr<std::uint8_t[], void (*)(void *)> rgba)
        : m_index(index), m_width(width), m_height(height), m_rgba(std::move(rgba))
    {
    }

    int index() const { return m_index; }
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    Rgb colourAt(int x, int y) const override
    {
        const std::uint8_t *p = m_rgba.get() + (std::size_t(y) * std::size_t(m_width) + std::size_t(x)) * 4;
        return Rgb::of(p[0], p[1], p[2]);
    }

private:
    int m_index;
    int m_width;
    int m_height;
    std::unique_ptr<std::uint8_t[], void (*)(void *)> m_rgba;
};

// The stored picture `name`, decoded; a null picture when there is none, or when the browser
// could not decode it. The same picture every time: decoded once, shared.
Picture storedPicture(const std::string &name);

} // namespace Runtime::Web
