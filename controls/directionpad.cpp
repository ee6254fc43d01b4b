// The direction pad: the key under the pointer is worked out on every move, lit while
// pressed, and named in the Action box on a click.
#include "app/form1.h"
#include "controls/masktest.h"

namespace {
// The inner edges of the four arrow keys, in pixels.
constexpr float kLeftEdge = 41, kRightEdge = 129, kUpEdge = 27, kDownEdge = 79;

constexpr int kUnlit = 1, kUpLit = 2, kRightLit = 3, kDownLit = 4, kLeftLit = 5, kHomeLit = 6;
} // namespace

void Form1::Picture1_MouseMove(std::int16_t, std::int16_t, float X, float Y)
{
    const bool onKey = maskTest(Picture2, X, Y);
    if (!onKey) {
        PadAction = "";
        return;
    }
    PadAction = "Home";
    if (X >= kRightEdge)
        PadAction = "Right";
    else if (X <= kLeftEdge)
        PadAction = "Left";
    // Tested second, so the vertical keys win.
    if (Y >= kDownEdge)
        PadAction = "Down";
    else if (Y <= kUpEdge)
        PadAction = "Up";
}

void Form1::Picture1_MouseDown(std::int16_t, std::int16_t, float, float)
{
    static const struct { const char *action; int image; } kLit[] = {
        {"Home", kHomeLit}, {"Up", kUpLit}, {"Down", kDownLit}, {"Left", kLeftLit}, {"Right", kRightLit},
    };
    for (const auto &key : kLit) {
        if (PadAction == key.action) {
            Picture1->setPicture(ImageList1.picture(key.image));
            return;
        }
    }
}

void Form1::Picture1_MouseUp(std::int16_t, std::int16_t, float, float)
{
    Picture1->setPicture(ImageList1.picture(kUnlit));
}

void Form1::Picture1_Click()
{
    Text2->setText(PadAction);
}
