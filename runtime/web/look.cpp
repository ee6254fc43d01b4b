// Colours and fonts as CSS.
#include "runtime/web/look.h"

#include <cmath>
#include <cstdio>
#include <strings.h>

namespace Runtime::Web::Look {

namespace {

// The face embedded in the page (startup.js), which "MS Sans Serif" and "Arial" are laid out
// for; the browser's own sans-serif face shows what it lacks.
constexpr char kFamily[] = "\"Quorvel Sans\", sans-serif";

} // namespace

std::string css(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", unsigned(colour.value & 0xFFFFFFu));
    return text;
}

std::string css(const Font &font)
{
    std::string family = kFamily;
    if (strcasecmp(font.family, "MS Sans Serif") != 0 && strcasecmp(font.family, "Arial") != 0)
        family = "\"" + std::string(font.family) + "\", " + kFamily;
    std::string value;
    if (font.bold)
        value += "bold ";
    if (font.italic)
        value += "italic ";
    return value + std::to_string(std::lround(font.points * 96.0 / 72.0)) + "px " + family;
}

} // namespace Runtime::Web::Look
