// The empty page of the web benchmarks, the floor every page stands on: Emscripten's runtime
// with the page's flags, shell and style sheet, and a main() that draws one canvas into another
// (the end point the benchmark marks), with no program, pictures or fonts.
#include <emscripten.h>

EM_JS(void, empty_frame, (), {
    var from = document.createElement('canvas');
    var to = document.createElement('canvas');
    from.width = from.height = to.width = to.height = 1;
    document.getElementById('qv-desktop').appendChild(to);
    to.getContext('2d').drawImage(from, 0, 0);
});

int main()
{
    empty_frame();
}
