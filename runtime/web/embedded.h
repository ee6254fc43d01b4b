// Files embedded in the page, which has no files of its own to read: the stored pictures (the
// program's build embeds them, assets/CMakeLists.txt) and the fonts (this back end's build).
// cmake/embed.cmake writes the tables.
#pragma once

#include <cstddef>
#include <span>

namespace Runtime::Web {

struct EmbeddedFile
{
    const char *name;
    const unsigned char *bytes;
    std::size_t size;
};

// Every stored picture: its name ("PicM") and the bytes of its PNG file.
std::span<const EmbeddedFile> storedPictures();

// The faces of the page's font: "regular", "bold", "bold-italic", each a WOFF file.
std::span<const EmbeddedFile> fontFiles();

} // namespace Runtime::Web
