// Logical and device pixels at the usual scales: where a logical pixel lands, how many device
// pixels each covers, and the device pixel mapped back to the logical pixel drawn there.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#define DOCTEST_CONFIG_NO_MULTITHREADING
#include <doctest/doctest.h>

#include "runtime/scale.h"

using Runtime::Dpi::toDevice;
using Runtime::Dpi::toLogical;

TEST_CASE("a logical pixel covers whole device pixels, and each device pixel maps back to the one drawn there")
{
    struct Row
    {
        int dpi;
        int clientWidth;  // the main window's 335 logical pixels
        int leastSpan;    // device pixels a logical pixel covers, each way
        int mostSpan;
        int deviceOf7;    // where logical pixel 7 starts
        int deviceOfMinus3;
    };
    const Row rows[] = {
        {96, 335, 1, 1, 7, -3},
        {120, 419, 1, 2, 9, -4},  // 418.75; 8.75; -3.75
        {144, 503, 1, 2, 11, -4}, // 502.5 and 10.5 round up; -4.5 too
        {192, 670, 2, 2, 14, -6},
    };
    for (const Row &row : rows) {
        CAPTURE(row.dpi);
        CHECK(toDevice(335, row.dpi) == row.clientWidth);
        CHECK(toDevice(7, row.dpi) == row.deviceOf7);
        CHECK(toDevice(-3, row.dpi) == row.deviceOfMinus3);
        // Left of and above the drawing area too: a pointer held outside it.
        for (int i = -40; i < 400; ++i) {
            CAPTURE(i);
            const int span = toDevice(i + 1, row.dpi) - toDevice(i, row.dpi);
            CHECK(span >= row.leastSpan);
            CHECK(span <= row.mostSpan);
            CHECK(toLogical(toDevice(i, row.dpi), row.dpi) == i);
        }
        for (int d = -60; d < 800; ++d) {
            CAPTURE(d);
            const int i = toLogical(d, row.dpi);
            CHECK(toDevice(i, row.dpi) <= d);
            CHECK(d < toDevice(i + 1, row.dpi));
        }
    }
}
