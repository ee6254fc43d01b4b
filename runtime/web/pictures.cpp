// The stored pictures, as the browser decoded them.
#include "runtime/web/pictures.h"

#include "runtime/web/embedded.h"

#include <emscripten.h>

#include <cstdlib>
#include <vector>

namespace Runtime::Web {

namespace {

// One for each stored picture, in the order of storedPictures(); null until decoded.
std::vector<std::shared_ptr<const WebBitmap>> &decoded()
{
    static std::vector<std::shared_ptr<const WebBitmap>> pictures(storedPictures().size());
    return pictures;
}

} // namespace

Picture storedPicture(const std::string &name)
{
    const auto files = storedPictures();
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (name == files[i].name)
            return Picture(decoded()[i]);
    }
    return {};
}

} // namespace Runtime::Web

// ---- what the page reports of pictures and fonts -----------------------------------------

extern "C" {

// The embedded files the page decodes before the program starts: `which` 0 for the stored
// pictures, 1 for the fonts. Their number; with `index` in range, the file's name, bytes and
// size in `entry`.
EMSCRIPTEN_KEEPALIVE int qv_embedded_file(int which, int index, std::uintptr_t *entry)
{
    const auto files = which == 0 ? Runtime::Web::storedPictures() : Runtime::Web::fontFiles();
    if (index >= 0 && std::size_t(index) < files.size()) {
        const Runtime::Web::EmbeddedFile &file = files[std::size_t(index)];
        entry[0] = reinterpret_cast<std::uintptr_t>(file.name);
        entry[1] = reinterpret_cast<std::uintptr_t>(file.bytes);
        entry[2] = file.size;
    }
    return int(files.size());
}

// Stored picture `index` decoded by the browser: `rgba` from malloc(), which the picture owns
// from now on.
EMSCRIPTEN_KEEPALIVE void qv_report_picture(int index, int width, int height, std::uint8_t *rgba)
{
    auto &pictures = Runtime::Web::decoded();
    std::unique_ptr<std::uint8_t[], void (*)(void *)> pixels(rgba, std::free);
    if (index < 0 || std::size_t(index) >= pictures.size() || width <= 0 || height <= 0)
        return;
    pictures[std::size_t(index)] = std::make_shared<const Runtime::Web::WebBitmap>(index, width, height, std::move(pixels));
}

} // extern "C"
