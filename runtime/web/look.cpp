// Described colours and fonts as CSS.
#include "runtime/web/look.h"

#include "runtime/backend.h"

#include <cmath>
#include <cstdio>
#include <strings.h>

namespace Runtime::Web::Look {

namespace {

// The face embedded in the page (startup.js), which "MS Sans Serif" and "Arial" are laid out
// for; the browser's own sans-serif face shows what it lacks.
constexpr char kFamily[] = "\"Liberation Sans\", sans-serif";

} // namespace

std::uint32_t rgb(const Colour &colour, Colour::Source fallback, const Backend &backend)
{
    switch (colour.source) {
    case Colour::Source::Rgb: return colour.rgb.value;
    case Colour::Source::Default: return backend.systemColour(fallback).value;
    default: return backend.systemColour(colour.source).value;
    }
}

std::string css(const Colour &colour, const Backend &backend)
{
    if (colour.isDefault())
        return {};
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", unsigned(rgb(colour, colour.source, backend) & 0xFFFFFFu));
    return text;
}

std::string css(const FontDescription &font)
{
    if (!font.family && font.points <= 0 && !font.bold && !font.italic)
        return {};
    std::string family = kFamily;
    if (font.family && strcasecmp(font.family, "MS Sans Serif") != 0 && strcasecmp(font.family, "Arial") != 0)
        family = "\"" + std::string(font.family) + "\", " + kFamily;
    const long pixels = font.points > 0 ? std::lround(font.points * 96.0 / 72.0) : 11;
    std::string value;
    if (font.bold)
        value += "bold ";
    if (font.italic)
        value += "italic ";
    return value + std::to_string(pixels) + "px " + family;
}

} // namespace Runtime::Web::Look
