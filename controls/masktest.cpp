// The mask test and the hot flag.
#include "controls/masktest.h"

#include "app/form1.h"
#include "runtime/values.h"

using namespace Runtime;

bool maskTest(const PictureBox *mask, float X, float Y)
{
    return iif(mask->Point(X, Y) == 0, false, true);
}

void setHotFlag(PictureBox *control, const PictureBox *mask, float X, float Y)
{
    control->setTag(boolToText(maskTest(mask, X, Y)));
}

bool isHot(const PictureBox *control)
{
    return isTrueText(control->tag());
}

void Form1::Chk1_MouseMove(std::int16_t, std::int16_t, float X, float Y)
{
    setHotFlag(Chk1, PicM, X, Y);
}

void Form1::Opt1_MouseMove(std::int16_t Index, std::int16_t, std::int16_t, float X, float Y)
{
    setHotFlag(option(Index), PicM, X, Y);
}

void Form1::pic1_MouseMove(std::int16_t, std::int16_t, float X, float Y)
{
    setHotFlag(pic1, pic2, X, Y);
}
