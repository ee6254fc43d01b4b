// The one place that turns the runtime's colours and fonts into the page's: CSS values.
#pragma once

#include "runtime/types.h"

#include <string>

namespace Runtime::Web::Look {

// "#c0c0c0".
std::string css(Rgb colour);

// "bold italic 11px ...": the family mapped to the face the page embeds (Quorvel Sans) where
// it is laid out for it, the size in the page's pixels, 96 to the inch.
std::string css(const Font &font);

} // namespace Runtime::Web::Look
