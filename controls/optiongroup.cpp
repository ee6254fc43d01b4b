// The bitmap option group: a press shows the narrow stripe on the pressed and the selected
// button, a release over the ball moves the selection.
#include "app/form1.h"
#include "controls/masktest.h"

namespace {
constexpr int kUnselected = 4, kMoving = 5, kSelected = 6;
} // namespace

Runtime::PictureBox *Form1::option(std::int16_t Index) const
{
    if (Index < 0 || Index >= std::int16_t(Opt1.size()))
        throw Runtime::RuntimeError(Runtime::Err::ControlArrayElementMissing,
                                    "Control array element '" + std::to_string(Index) + "' doesn't exist");
    return Opt1[std::size_t(Index)];
}

void Form1::showSelection(std::int16_t selected)
{
    for (std::int16_t i = 0; i < std::int16_t(Opt1.size()); ++i)
        Opt1[std::size_t(i)]->setPicture(ImageList2.picture(i == selected ? kSelected : kUnselected));
}

void Form1::Opt1_MouseDown(std::int16_t Index, std::int16_t, std::int16_t, float, float)
{
    if (!isHot(option(Index)))
        return;
    if (Index == OptIndex)
        return;
    option(Index)->setPicture(ImageList2.picture(kMoving));
    option(OptIndex)->setPicture(ImageList2.picture(kMoving));
}

void Form1::Opt1_MouseUp(std::int16_t Index, std::int16_t, std::int16_t, float, float)
{
    if (!isHot(option(Index))) {
        // A press let go off the ball completes nothing: the selection shows as it was.
        showSelection(OptIndex);
        return;
    }
    if (Index == OptIndex)
        return;
    showSelection(Index);
    OptIndex = Index;
}
