// Logical and device pixels at the usual scales: where the main window's width lands, how many
// device pixels each logical pixel covers, and each device pixel mapped back to the logical
// pixel drawn there.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#define DOCTEST_CONFIG_NO_MULTITHREADING
#include <doctest/doctest.h>

#include "runtime/scale.h"

using Runtime::Dpi::toDevice;
using Runtime::Dpi::toLogical;

TEST_CASE("a logical pixel covers whole device pixels, and each device pixel maps back to the one drawn there")
{
    const struct
    {
        int dpi;
        int clientWidth; // of 335 logical pixels
        int leastSpan;   // device pixels a logical pixel covers, each way
        int mostSpan;
    } rows[] = {{96, 335, 1, 1}, {120, 419, 1, 2}, {144, 503, 1, 2}, {192, 670, 2, 2}};
    for (const auto &row : rows) {
        CAPTURE(row.dpi);
        CHECK(toDevice(335, row.dpi) == row.clientWidth); // 418.75 and 502.5 to the nearest
        // Left of and above the origin too: a pointer held outside the drawing area.
        for (int i = -40; i < 400; ++i) {
            CAPTURE(i);
            const int span = toDevice(i + 1, row.dpi) - toDevice(i, row.dpi);
            CHECK((span >= row.leastSpan && span <= row.mostSpan));
            CHECK(toLogical(toDevice(i, row.dpi), row.dpi) == i);
        }
        for (int d = -60; d < 800; ++d) {
            CAPTURE(d);
            const int i = toLogical(d, row.dpi);
            CHECK((toDevice(i, row.dpi) <= d && d < toDevice(i + 1, row.dpi)));
        }
    }
}
