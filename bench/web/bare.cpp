// The bare page of the web benchmarks: the main window's HTML controls and canvases, showing
// the same pictures at the same places, built with the page's flags; no forms runtime, no
// events. Its script (bare.js) decodes the pictures and loads the fonts as the page does, then
// runs main(), which lays the window out.
#include "runtime/web/embedded.h"

#include <emscripten.h>

#include <cstdint>
#include <cstring>

extern "C" {
void bare_window(int x, int y, int width, int height, const char *caption);
// Kinds as the runtime numbers them: 0 picture box, 1 text box, 2 label, 3 frame, 4 button,
// 5 check box, 6 option button. `container` is the index of a frame made before, or -1.
void bare_control(int kind, int container, int x, int y, int width, int height, const char *text,
                  int picture, int border, int checked);
}

namespace {

struct Control
{
    int kind, container, x, y, width, height;
    const char *text;
    const char *picture;
    bool border = false;
    bool checked = false;
};

// The main window's visible controls in pixels, in the page's order (each made in front of the
// ones before it in its container).
const Control kControls[] = {
    {0, -1, 235, 321, 94, 39, "", "Picture8", true},
    {0, -1, 139, 321, 94, 39, "", "Picture5", true},
    {3, -1, 7, 121, 322, 195, "Zennorak Design Quorvel technics examples", nullptr},
    {0, 2, 208, 79, 26, 26, "", "ImageList2-4"},
    {0, 2, 208, 51, 26, 26, "", "ImageList2-4"},
    {0, 2, 208, 23, 26, 26, "", "ImageList2-6"},
    {0, 2, 12, 161, 26, 26, "", "ImageList2-1"},
    {0, 2, 145, 129, 164, 51, "", "pic3"},
    {1, 2, 54, 18, 78, 24, "", nullptr},
    {0, 2, 8, 50, 171, 106, "", "Picture1"},
    {2, 2, 44, 167, 68, 20, "qvCheck1", nullptr},
    {2, 2, 241, 84, 68, 20, "qvOption1(2)", nullptr},
    {2, 2, 241, 56, 68, 20, "qvOption1(1)", nullptr},
    {2, 2, 241, 28, 68, 20, "qvOption1(0)", nullptr},
    {2, 2, 14, 21, 36, 21, "Action:", nullptr},
    {3, -1, 8, 5, 321, 104, "Standard MS Custom Controls", nullptr},
    {1, 15, 137, 70, 138, 23, "Text1", nullptr},
    {6, 15, 16, 76, 78, 23, "Option1(1)", nullptr},
    {6, 15, 16, 54, 78, 23, "Option1(0)", nullptr, false, true},
    {5, 15, 199, 23, 71, 21, "Check1", nullptr},
    {4, 15, 17, 19, 138, 31, "Command1", nullptr},
    {2, 15, 95, 74, 35, 23, "Label1", nullptr},
};

int pictureIndex(const char *name)
{
    const auto files = Runtime::Web::storedPictures();
    for (std::size_t i = 0; name && i < files.size(); ++i) {
        if (std::strcmp(files[i].name, name) == 0)
            return int(i);
    }
    return -1;
}

} // namespace

// The embedded files for the script, as the page's own C++ half gives them to it.
extern "C" EMSCRIPTEN_KEEPALIVE int qv_embedded_file(int which, int index, std::uintptr_t *entry)
{
    const auto files = which == 0 ? Runtime::Web::storedPictures() : Runtime::Web::fontFiles();
    if (index >= 0 && std::size_t(index) < files.size()) {
        entry[0] = reinterpret_cast<std::uintptr_t>(files[std::size_t(index)].name);
        entry[1] = reinterpret_cast<std::uintptr_t>(files[std::size_t(index)].bytes);
        entry[2] = files[std::size_t(index)].size;
    }
    return int(files.size());
}

int main()
{
    bare_window(156, 102, 335, 365, "Quorvel                             version1.1");
    for (const Control &c : kControls)
        bare_control(c.kind, c.container, c.x, c.y, c.width, c.height, c.text, pictureIndex(c.picture),
                     c.border, c.checked);
    return 0;
}
