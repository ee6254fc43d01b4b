// The bitmap option group: a press shows the narrow stripe on the pressed and the selected
// button, a release over the ball moves the selection.
#include "form1.h"
#include "masktest.h"

namespace {
constexpr int kUnselected = 4, kMoving = 5, kSelected = 6;
} // namespace

Runtime::PictureBox *Form1::option(qint16 Index) const
{
    if (Index < 0 || Index >= qint16(Opt1.size()))
        throw Runtime::RuntimeError(Runtime::Err::ControlArrayElementMissing,
                                    QStringLiteral("Control array element '%1' doesn't exist").arg(Index));
    return Opt1[Index];
}

void Form1::showSelection(qint16 selected)
{
    for (qint16 i = 0; i < qint16(Opt1.size()); ++i)
        Opt1[i]->setPicture(ImageList2.picture(i == selected ? kSelected : kUnselected));
}

void Form1::Opt1_MouseDown(qint16 Index, qint16, qint16, float, float)
{
    if (!isHot(option(Index)))
        return;
    if (Index == OptIndex)
        return;
    option(Index)->setPicture(ImageList2.picture(kMoving));
    option(OptIndex)->setPicture(ImageList2.picture(kMoving));
}

void Form1::Opt1_MouseUp(qint16 Index, qint16, qint16, float, float)
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
