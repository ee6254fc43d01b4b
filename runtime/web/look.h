// The one place that turns described colours and fonts into the page's: CSS values, with
// page.css holding the classic grey look of every kind of element.
#pragma once

#include "runtime/types.h"

#include <cstdint>
#include <string>

namespace Runtime {
class Backend;
}

namespace Runtime::Web::Look {

// A colour as 0xRRGGBB: explicit, or a system colour; `fallback` for the default.
std::uint32_t rgb(const Colour &colour, Colour::Source fallback, const Backend &backend);

// A colour as CSS ("#c0c0c0"); empty for the default, which page.css gives.
std::string css(const Colour &colour, const Backend &backend);

// A described font as CSS ("bold italic 13px ..."), its family mapped to Liberation Sans and
// its size taken in pixels at 96 dots per inch; empty for the default font (11 pixels).
std::string css(const FontDescription &font);

} // namespace Runtime::Web::Look
